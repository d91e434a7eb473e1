#include "exchange/CsvSheet.h"
#include "exchange/SheetFiles.h"
#include "exchange/TableImport.h"
#include "exchange/XlsxReader.h"
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

    static void Fill(TextTable& table, const QList<CellChange>& cells)
    {
        for (const CellChange& cell : cells)
            table.SetCell(cell.column, cell.row, cell.text);
    }

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

TEST_F(TableExchange, NumbersEqualToTheCellsAndEmptyCellsChangeNothing)
{
    TextTable plu(TableKind::PLU);
    Fill(plu, {{PLUColumn::Name, 1, "Tea"},
               {PLUColumn::UnitPrice, 1, "2.00"},
               {PLUColumn::Quantity, 1, "12.000"},
               {PLUColumn::Total, 1, "11.00"},
               {PLUColumn::Name, 2, "Milk"}});

    // As a spreadsheet gives the numbers back, and cells left empty.
    const ImportPlan same = PlanCsv(plu, "NO.,Name,Unit price,Quantity,Total,Department\n"
                                         "1,Tea,2,12,11,\n"
                                         "2,,,0,0, \n");
    ASSERT_TRUE(same.Accepted()) << same.Refusal().toStdString();
    EXPECT_EQ(same.Summary(), QStringLiteral("Nothing changes."));

    // Quantity and Total come in with their decimals, like prices and stocks.
    const ImportPlan changed = PlanCsv(plu, "NO.,Quantity,Total\n2,4,17.5\n3,1-2,\n");
    ASSERT_TRUE(changed.Accepted()) << changed.Refusal().toStdString();
    ApplyImport(plu, changed);
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 2), QStringLiteral("4.000"));
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 2), QStringLiteral("17.50"));
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 3), QStringLiteral("1-2")); // not a number: taken as typing takes it
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 3), QStringLiteral("0"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), QStringLiteral("Milk"));
}

TEST_F(TableExchange, XlsxCellsThatAreNotWhatTheyLookLikeAreRefused)
{
    // Style 1 shows a built-in date, 2 a date of its own, 3 two decimals.
    const QByteArray styles =
        "<styleSheet><numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"#,##0.00\\ &quot;kg&quot;;[Red]\\-#,##0.00\"/></numFmts>"
        "<cellXfs count=\"5\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"2\"/>"
        "<xf numFmtId=\"165\"/></cellXfs></styleSheet>";
    const auto header = QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>NO.</t></is></c>"
                                   "<c r=\"B1\" t=\"inlineStr\"><is><t>Name</t></is></c>"
                                   "<c r=\"C1\" t=\"inlineStr\"><is><t>Unit price</t></is></c></row>");
    const auto plan = [&](const QByteArray& rows) {
        const SheetRead read = ReadXlsxSheet(ZipOf({{"xl/styles.xml", styles},
                                                    {"xl/worksheets/sheet1.xml", WorksheetXml(header + rows)}}));
        EXPECT_TRUE(read.Ok()) << read.error.toStdString();
        TextTable plu(TableKind::PLU);
        plu.SetCell(PLUColumn::Name, 4, QStringLiteral("Tea"));
        return PlanImport(plu, read.sheet);
    };

    const ImportPlan refused = plan(
        "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\" s=\"2\"><v>45306.4375</v></c><c r=\"C2\"><f>1+1</f></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>2</v></c><c r=\"B3\" t=\"e\"><f>VLOOKUP(A3,X:Y,2)</f><v>#N/A</v></c>"
        "<c r=\"C3\" s=\"1\"><v>45306</v></c></row>"
        "<row r=\"4\"><c r=\"A4\"><v>3</v></c><c r=\"B4\" t=\"b\"><v>0</v></c><c r=\"C4\" t=\"d\"><v>2024-01-15</v></c></row>"
        "<row r=\"5\"><c r=\"A5\" s=\"1\"><v>4</v></c></row>");
    const QStringList expected{
        "Line 2, Name: it is a date or a time, not a number or a text.",
        "Line 2, Unit price: it is a formula whose result the file does not hold;",
        "Line 3, Name: it holds the error value #N/A.",
        "Line 3, Unit price: it is a date or a time",
        "Line 4, Name: it holds the truth value FALSE, not a number or a text.",
        "Line 4, Unit price: it is a date or a time",
        "Line 5, NO.: it is a date or a time"};
    ASSERT_EQ(refused.refusals.size(), expected.size()) << refused.Refusal().toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(refused.refusals[i].startsWith(expected[i])) << refused.refusals[i].toStdString();

    // A formula with its result takes the result; numbers in other formats are numbers.
    const ImportPlan taken = plan(
        "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\" t=\"str\"><f>\"Te\"&amp;\"a\"</f><v>Tea</v></c>"
        "<c r=\"C2\" s=\"3\"><f>1+1</f><v>2</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>2</v></c><c r=\"C3\" s=\"4\"><v>3.5</v></c></row>");
    ASSERT_TRUE(taken.Accepted()) << taken.Refusal().toStdString();
    ASSERT_EQ(taken.changes.size(), 3);
    EXPECT_EQ(taken.changes[0].text, QStringLiteral("Tea"));
    EXPECT_EQ(taken.changes[1].text, QStringLiteral("2.00"));
    EXPECT_EQ(taken.changes[2].text, QStringLiteral("3.50"));
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
    Fill(plu, {{PLUColumn::Name, 1, "Tea"},
               {PLUColumn::Barcode, 1, "4006381333931"},
               {PLUColumn::UnitPrice, 1, "2.50"},
               {PLUColumn::Stocks, 1, "oops"},
               {PLUColumn::Quantity, 1, "12.000"},
               {PLUColumn::Total, 1, "13.80"},
               {PLUColumn::Name, 2, "Milk"},
               {PLUColumn::UnitPrice, 2, "1.5"},
               {PLUColumn::Total, 2, "11.00"}});
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
    // Every number is a number, whatever decimals its text shows, so SUM works.
    EXPECT_TRUE(cell("H2").contains("<v>12</v>") && !cell("H2").contains("t=")) << cell("H2").toStdString();
    EXPECT_TRUE(cell("I2").contains("<v>13.8</v>") && !cell("I2").contains("t=")) << cell("I2").toStdString();
    EXPECT_TRUE(cell("I3").contains("<v>11</v>") && !cell("I3").contains("t=")) << cell("I3").toStdString();
    EXPECT_TRUE(cell("D3").contains("<v>1.5</v>") && !cell("D3").contains("t=")) << cell("D3").toStdString();
    // ... shown with the column's decimals.
    const QString styles = QString::fromUtf8(ZipPartOf(path, QStringLiteral("xl/styles.xml")));
    EXPECT_TRUE(styles.contains("formatCode=\"0.000\"") && styles.contains("formatCode=\"0.00\"")) << styles.toStdString();
    EXPECT_TRUE(sheet.contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
}

} // namespace
