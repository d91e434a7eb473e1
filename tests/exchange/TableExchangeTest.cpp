#include "exchange/CsvSheet.h"
#include "exchange/SheetFiles.h"
#include "exchange/TableImport.h"
#include "files/TableFiles.h"
#include "model/Numbers.h"
#include "model/RecyTable.h"
#include "model/TestData.h"
#include "model/TextTable.h"
#include "model/Texts.h"

#include "ZipParts.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TableExchange : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(u'.');
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override
    {
        SetDecimalSeparator(u'.');
        ResetTexts();
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    static ImportPlan PlanCsv(const TextTable& table, const QByteArray& csv)
    {
        const SheetRead read = ReadCsvSheet(csv);
        EXPECT_TRUE(read.Ok()) << read.error.toStdString();
        return PlanImport(table, read.sheet);
    }

    // Exports the filled tables, imports the files into new ones.
    void ExpectRoundTrip(const QString& extension, const ExportOptions& options)
    {
        TextTable plu(TableKind::PLU), dept(TableKind::Department);
        RecyTable recy;
        FillTestData(plu, dept, recy);
        plu.SetCell(PLUColumn::Name, 5, QStringLiteral("\"A\", b; Zoë"));
        plu.SetCell(PLUColumn::Barcode, 5, QStringLiteral("4006381333931"));
        plu.SetCell(PLUColumn::Quantity, 5, QStringLiteral("1-2"));
        plu.SetCell(PLUColumn::Barcode, 6, QString());
        // A row without a name before the last named one is in the table file too.
        plu.SetCell(PLUColumn::Name, 7, QString());
        dept.SetCell(DeptmentColumn::Name, 2, QString());
        for (TextTable* table : {&plu, &dept}) {
            const QString path = Path(QStringLiteral("table") + extension);
            ExportTableFile(*table, path, options);
            const SheetRead read = ReadSheetFile(path);
            ASSERT_TRUE(read.Ok()) << read.error.toStdString();
            TextTable fresh(table->Kind());
            const ImportPlan plan = PlanImport(fresh, read.sheet);
            ASSERT_TRUE(plan.Accepted()) << plan.Refusal().toStdString();
            ApplyImport(fresh, plan);
            EXPECT_EQ(TableFileBytes(fresh), TableFileBytes(*table)) << extension.toStdString();
        }
    }

    QTemporaryDir dir;
};

TEST_F(TableExchange, ExportThenImportGivesTheSameTableFiles)
{
    ExpectRoundTrip(QStringLiteral(".csv"), {});
    ExpectRoundTrip(QStringLiteral(".xlsx"), {});
    SetDecimalSeparator(u',');
    ExpectRoundTrip(QStringLiteral(".CSV"), {true, '\t'});
    ExpectRoundTrip(QStringLiteral(".xlsx"), {true, 0});
}

TEST_F(TableExchange, PriceOnlySheetChangesExactlyThosePrices)
{
    SetDecimalSeparator(u',');
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::Name, 3, QStringLiteral("Tea"));
    plu.SetCell(PLUColumn::UnitPrice, 3, QStringLiteral("2,00"));

    // Either "." or the operator's separator; the check writes two decimals.
    const ImportPlan plan = PlanCsv(plu, " no. ; UNIT PRICE \n3;2.5\n2999;1,5\n17;0\n");
    ASSERT_TRUE(plan.Accepted()) << plan.Refusal().toStdString();
    EXPECT_EQ(plan.Summary(), QStringLiteral("2 rows and 2 cells change."));
    ApplyImport(plu, plan);
    for (int row = 1; row < plu.RowCount(); ++row) {
        for (int col = 1; col < plu.ColCount(); ++col) {
            QString expected = col == PLUColumn::Name && row == 3 ? QStringLiteral("Tea") : plu.DefaultText(col);
            if (col == PLUColumn::UnitPrice && row == 3)
                expected = QStringLiteral("2,50");
            if (col == PLUColumn::UnitPrice && row == 2999)
                expected = QStringLiteral("1,50");
            ASSERT_EQ(plu.Cell(col, row), expected) << col << "," << row;
        }
    }
}

TEST_F(TableExchange, OneBadCellChangesNothingAndEveryRefusalNamesLineAndColumn)
{
    TextTable plu(TableKind::PLU);
    const QByteArray sheet = TableFileBytes(plu);
    const ImportPlan plan = PlanCsv(plu, "NO.,Barcode,Name,Unit price,Department,Stocks\n"
                                         "1,123,Fine,1.5,2,1\n"
                                         "2,2.00E+12,Bar,1000000,0,80000\n"
                                         "3,12a,Nineteen characters,x,1,1\n"
                                         "3,,\"tab\there\",,,\n"
                                         "0,,Zero,,,\n");
    EXPECT_FALSE(plan.Accepted());
    EXPECT_TRUE(plan.changes.isEmpty());
    ApplyImport(plu, plan);
    EXPECT_EQ(TableFileBytes(plu), sheet);
    const QStringList expected{
        "Line 3, Barcode: 2.00E+12 is a number in scientific notation",
        "Line 3, Unit price: at most 999999.99.",
        "Line 3, Department: a whole number from 1 to 9.",
        "Line 3, Stocks: from -79999.999 to 79999.999.",
        "Line 4, Barcode: \"a\" cannot be typed there: it takes digits only.",
        "Line 4, Name: it is longer than 18 characters.",
        "Line 4, Unit price: \"x\" cannot be typed there",
        "Line 5, NO.: 3 is already on line 4.",
        "Line 5, Name: it holds a control character (code 9).",
        "Line 6, NO.: \"0\" is not a number from 1 to 3000."};
    ASSERT_EQ(plan.refusals.size(), expected.size()) << plan.Refusal().toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(plan.refusals[i].startsWith(expected[i])) << plan.refusals[i].toStdString();
    EXPECT_NE(plan.Refusal().indexOf("format the column as text"), -1);

    QByteArray many = "NO.,Department\n";
    for (int i = 1; i <= 25; ++i)
        many += QByteArray::number(i) + ",0\n";
    const ImportPlan manyPlan = PlanCsv(plu, many);
    EXPECT_EQ(manyPlan.refusals.size(), ImportPlan::kListedRefusals);
    EXPECT_TRUE(manyPlan.Refusal().startsWith("25 cells are refused; nothing was changed:\nLine 2, Department:"));
    EXPECT_TRUE(manyPlan.Refusal().endsWith("... and 5 more."));
}

TEST_F(TableExchange, HeaderNeedsKnownTitlesAndTheNumberColumn)
{
    TextTable dept(TableKind::Department);
    Texts().DeptmentTitles[2] = QStringLiteral("Steuer");
    EXPECT_TRUE(PlanCsv(dept, "NO.,Steuer,Tax\n1,2,2\n").error.contains("appears twice"));
    EXPECT_TRUE(PlanCsv(dept, "NO.,Colour\n1,red\n").error.contains("\"Colour\" is not a column of the department table"));
    EXPECT_TRUE(PlanCsv(dept, "Name\nMeat\n").error.contains("no \"NO.\" column"));
    EXPECT_TRUE(PlanCsv(dept, "NO.,Name\n10,Meat\n").Refusal().contains("\"10\" is not a number from 1 to 9"));
    EXPECT_TRUE(PlanCsv(dept, "NO.,Name,\n1,Meat,note\n").Refusal().contains("Line 2, column C: the column has no title"));

    const ImportPlan plan = PlanCsv(dept, "NO.,Steuer,,Name\n9,3,,Drinks\n");
    ASSERT_TRUE(plan.Accepted()) << plan.Refusal().toStdString();
    ApplyImport(dept, plan);
    EXPECT_EQ(dept.Cell(DeptmentColumn::Tax, 9), QStringLiteral("3"));
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 9), QStringLiteral("Drinks"));
}

TEST_F(TableExchange, CsvExportWritesNamedRowsWithTheDelimiterOfTheSeparator)
{
    SetDecimalSeparator(u',');
    TextTable dept(TableKind::Department);
    dept.SetCell(DeptmentColumn::Name, 2, QStringLiteral("Fruit, fresh"));
    EXPECT_EQ(TableCsvBytes(dept, {}), QByteArray("\xEF\xBB\xBFNO.;Name;Tax;Unit price\r\n2;Fruit, fresh;1;0,00\r\n"));
    EXPECT_EQ(TableCsvBytes(dept, {true, ','}).count("\r\n"), 10);
}

TEST_F(TableExchange, XlsxKeepsBarcodesAsTextAndPricesAsNumbers)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::Name, 1, QStringLiteral("Tea"));
    plu.SetCell(PLUColumn::Barcode, 1, QStringLiteral("4006381333931"));
    plu.SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("2.50"));
    plu.SetCell(PLUColumn::Stocks, 1, QStringLiteral("oops"));
    const QString path = Path(QStringLiteral("plu.xlsx"));
    ExportTableFile(plu, path, {});
    const QString sheet = QString::fromUtf8(ZipPartOf(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    const QString strings = QString::fromUtf8(ZipPartOf(path, QStringLiteral("xl/sharedStrings.xml")));
    const auto cell = [&](const char* ref) {
        const QRegularExpression pattern(QStringLiteral("<c r=\"%1\"[^>]*>.*?</c>").arg(QLatin1String(ref)));
        return pattern.match(sheet).captured(0);
    };
    EXPECT_TRUE(cell("B2").contains("t=\"s\"")) << cell("B2").toStdString();   // the barcode: a string
    EXPECT_TRUE(strings.contains("<t>4006381333931</t>"));
    EXPECT_TRUE(cell("D2").contains("<v>2.5</v>") && !cell("D2").contains("t=")) << cell("D2").toStdString();
    EXPECT_TRUE(cell("E2").contains("<v>1</v>") && !cell("E2").contains("t="));
    EXPECT_TRUE(cell("F2").contains("t=\"s\""));   // not a number: kept as its text
    EXPECT_TRUE(sheet.contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
}

} // namespace
