#include "config/SettingsFile.h"
#include "labels/BarcodeChoice.h"
#include "labels/LabelArticles.h"
#include "labels/LabelLayout.h"
#include "labels/LabelSettings.h"
#include "model/Columns.h"
#include "model/RowScope.h"
#include "model/TextTable.h"
#include "transfer/Records.h"
#include "transfer/TableSnapshot.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Symbology = BarcodeChoice::Symbology;

void Put(TextTable& plu, int row, const QString& barcode, const QString& name, const QString& price,
         const QString& department = QStringLiteral("1"))
{
    plu.SetCell(PLUColumn::Barcode, row, barcode);
    plu.SetCell(PLUColumn::Name, row, name);
    plu.SetCell(PLUColumn::UnitPrice, row, price);
    plu.SetCell(PLUColumn::Department, row, department);
}

// What a download of the given rows would leave as the known state.
TableSnapshot KnownOf(const TextTable& plu, int first, int last, quint8 decimals)
{
    TableSnapshot known;
    known.priceDecimals = decimals;
    for (int row = first; row <= last; ++row)
        known.plus.emplace(row, EncodePLURecord(PLURowCells(plu, row), decimals));
    return known;
}

} // namespace

TEST(LabelLayoutTest, NamedLayoutsFitTheirPagesWithTheGivenLabelSizes)
{
    const std::vector<std::tuple<QString, int, int, double, double>> expected{
        {"a4-3x8", 3, 8, 70.0, 37.0},     {"a4-3x7", 3, 7, 70.0, 42.3},      {"a4-2x8", 2, 8, 105.0, 37.0},
        {"a4-4x10", 4, 10, 48.5, 25.4},   {"letter-3x10", 3, 10, 66.7, 25.4}, {"roll-58x40", 1, 1, 58.0, 40.0}};
    ASSERT_EQ(NamedLayouts().size(), expected.size());
    for (const auto& [name, columns, rows, width, height] : expected) {
        const auto layout = NamedLayout(name.toUpper());
        ASSERT_TRUE(layout) << name.toStdString();
        EXPECT_EQ(layout->columns, columns);
        EXPECT_EQ(layout->rows, rows);
        EXPECT_DOUBLE_EQ(layout->label.width(), width);
        EXPECT_DOUBLE_EQ(layout->label.height(), height);
        EXPECT_EQ(LayoutProblem(*layout), QString()) << name.toStdString();
        // The last label ends inside the page.
        const QRectF last = layout->LabelRect(layout->LabelsPerPage() - 1);
        EXPECT_LE(last.right(), layout->page.width() + 1e-9) << name.toStdString();
        EXPECT_LE(last.bottom(), layout->page.height() + 1e-9) << name.toStdString();
    }
    EXPECT_FALSE(NamedLayout(QStringLiteral("a5-1x1")));
}

TEST(LabelLayoutTest, LabelRectanglesInMillimetres)
{
    const LabelLayout a4 = *NamedLayout(QStringLiteral("a4-3x8"));
    EXPECT_EQ(a4.LabelRect(0), QRectF(0, 0.5, 70, 37));
    EXPECT_EQ(a4.LabelRect(4), QRectF(70, 37.5, 70, 37));
    EXPECT_EQ(a4.LabelRect(23), QRectF(140, 259.5, 70, 37));
    const LabelLayout letter = *NamedLayout(QStringLiteral("letter-3x10"));
    EXPECT_DOUBLE_EQ(letter.LabelRect(2).left(), 4.8 + 2 * (66.7 + 3.2));
    EXPECT_DOUBLE_EQ(letter.LabelRect(29).top(), 12.7 + 9 * 25.4);
    const LabelLayout custom = CustomLayout({100, 100}, 2, 2, {40, 30}, 5, 6, 4, 3);
    EXPECT_EQ(custom.LabelRect(3), QRectF(6 + 44, 5 + 33, 40, 30));
}

TEST(LabelLayoutTest, RefusesLayoutsThatDoNotFitWithTheReason)
{
    const auto problem = [](const LabelLayout& layout) { return LayoutProblem(layout).toStdString(); };
    EXPECT_EQ(problem(CustomLayout({210, 297}, 3, 8, {70, 37}, 0.5, 0, 0, 0)), "");
    EXPECT_EQ(problem(CustomLayout({58, 40}, 1, 1, {70, 37}, 0, 0, 0, 0)),
              "the label (70.0 x 37.0 mm) is larger than the page (58.0 x 40.0 mm)");
    EXPECT_EQ(problem(CustomLayout({210, 297}, 3, 8, {70, 37}, 1, 1, 0, 0)),
              "the grid of 3 x 8 labels with its margins needs 211.0 x 297.0 mm, the page is 210.0 x 297.0 mm");
    EXPECT_EQ(problem(CustomLayout({210, 297}, 3, 8, {70, 37}, 0, 0, 0, 0.2)),
              "the grid of 3 x 8 labels with its margins needs 210.0 x 297.4 mm, the page is 210.0 x 297.0 mm");
    EXPECT_EQ(problem(CustomLayout({210, 297}, 0, 8, {70, 37}, 0, 0, 0, 0)),
              "the grid needs at least 1 column and 1 row, not 0 x 8");
    EXPECT_EQ(problem(CustomLayout({210, 297}, 3, 0, {70, 37}, 0, 0, 0, 0)),
              "the grid needs at least 1 column and 1 row, not 3 x 0");
    EXPECT_NE(problem(CustomLayout({210, 297}, 1, 1, {0, 37}, 0, 0, 0, 0)), "");
    EXPECT_NE(problem(CustomLayout({210, 297}, 1, 1, {70, 37}, -1, 0, 0, 0)), "");
    EXPECT_NE(problem(CustomLayout({210, qInf()}, 1, 1, {70, 37}, 0, 0, 0, 0)), "");
}

TEST(LabelLayoutTest, CopiesAndSkipMustBeInRange)
{
    const LabelLayout layout = *NamedLayout(QStringLiteral("a4-3x8"));
    EXPECT_EQ(CountProblem(layout, 1, 0), QString());
    EXPECT_EQ(CountProblem(layout, kMaxCopies, 23), QString());
    EXPECT_EQ(CountProblem(layout, 0, 0), QStringLiteral("copies must be 1 to 100, not 0"));
    EXPECT_EQ(CountProblem(layout, 101, 0), QStringLiteral("copies must be 1 to 100, not 101"));
    EXPECT_EQ(CountProblem(layout, 1, 24),
              QStringLiteral("skip must be 0 to 23 (the labels of one sheet less one), not 24"));
    EXPECT_NE(CountProblem(layout, 1, -1), QString());
}

TEST(LabelLayoutTest, ParsesTheCommandLineForms)
{
    EXPECT_EQ(ParsePageSize(QStringLiteral("a4")), QSizeF(210, 297));
    EXPECT_EQ(ParsePageSize(QStringLiteral("Letter")), QSizeF(215.9, 279.4));
    EXPECT_EQ(ParsePageSize(QStringLiteral("100X50.5")), QSizeF(100, 50.5));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("100")));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("100x")));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("1x2x3")));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("infxnan")));
    EXPECT_EQ(ParseGrid(QStringLiteral("3x8")), (std::pair{3, 8}));
    EXPECT_FALSE(ParseGrid(QStringLiteral("3.5x8")));
    EXPECT_EQ(ParseMillimetres(QStringLiteral("10,5.5"), u','), QSizeF(10, 5.5));
}

TEST(BarcodeChoiceTest, SymbologyFollowsLengthAndCheckDigit)
{
    const auto choose = [](const char* cell) { return ChooseBarcode(QString::fromLatin1(cell)); };
    EXPECT_EQ(choose("4006381333931").symbology, Symbology::Ean13);
    EXPECT_EQ(choose("96385074").symbology, Symbology::Ean8);
    EXPECT_EQ(choose("036000291452").symbology, Symbology::UpcA);
    EXPECT_EQ(choose("123456").symbology, Symbology::Code128);
    EXPECT_EQ(choose("12345678901234").symbology, Symbology::Code128);
    EXPECT_EQ(choose("4006381333931").warning, QString());

    for (const char* wrong : {"4006381333932", "96385075", "036000291453"}) {
        const BarcodeChoice choice = choose(wrong);
        EXPECT_EQ(choice.symbology, Symbology::Code128) << wrong;
        EXPECT_EQ(choice.digits, QString::fromLatin1(wrong));
        EXPECT_FALSE(choice.warning.isEmpty()) << wrong;
    }
    EXPECT_EQ(choose("4006381333932").warning,
              QStringLiteral("the check digit of EAN-13 4006381333932 should be 1: it is printed as Code 128"));

    EXPECT_FALSE(choose("").HasBarcode());
    EXPECT_FALSE(choose("0").HasBarcode());
    EXPECT_FALSE(choose("12a4").HasBarcode());
    EXPECT_FALSE(choose("12a4").warning.isEmpty());
}

TEST(LabelArticlesTest, ArticlesCarryPriceWithRegisterDecimalsAndDepartmentName)
{
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    departments.SetCell(DeptmentColumn::Name, 2, QStringLiteral("Dairy"));
    Put(plu, 1, QStringLiteral("4006381333931"), QStringLiteral("Milk"), QStringLiteral("1.50"), QStringLiteral("2"));
    Put(plu, 2, QStringLiteral("4006381333932"), QStringLiteral("Bread"), QStringLiteral("2.675"));
    Put(plu, 5, QString(), QStringLiteral("Loose"), QStringLiteral("3.00"));

    const std::vector<LabelArticle> articles =
        LabelArticles(plu, departments, {1, 2, 3, 5, 9999, -1}, 3, QStringLiteral("EUR"));
    ASSERT_EQ(articles.size(), 3u);
    EXPECT_EQ(articles[0].price, QStringLiteral("1.500"));
    EXPECT_EQ(articles[0].department, QStringLiteral("Dairy"));
    EXPECT_EQ(articles[0].currency, QStringLiteral("EUR"));
    EXPECT_EQ(articles[1].price, QStringLiteral("2.675"));
    EXPECT_EQ(articles[2].plu, 5);
    EXPECT_FALSE(articles[2].barcode.HasBarcode());

    const std::vector<LabelArticle> noDecimals = LabelArticles(plu, departments, {1, 2}, 0, QString());
    EXPECT_EQ(noDecimals[0].price, QStringLiteral("1.5"));
    EXPECT_EQ(noDecimals[1].price, QStringLiteral("2.675")) << "a digit the register lacks is still shown";

    const QStringList warnings = BarcodeWarnings(articles);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("PLU 2: "))) << warnings[0].toStdString();
}

TEST(LabelArticlesTest, SequenceSkipsUsedLabelsAndRepeatsCopies)
{
    std::vector<LabelArticle> articles(2);
    articles[0].plu = 7;
    articles[1].plu = 9;
    const std::vector<LabelArticle> sequence = LabelSequence(articles, 3, 2);
    std::vector<int> plus;
    for (const LabelArticle& article : sequence)
        plus.push_back(article.plu);
    EXPECT_EQ(plus, (std::vector<int>{0, 0, 7, 7, 7, 9, 9, 9}));
    EXPECT_EQ(PageCount(3000, 24), 125);
    EXPECT_EQ(PageCount(24, 24), 1);
    EXPECT_EQ(PageCount(25, 24), 2);
    EXPECT_EQ(PageCount(0, 24), 0);
}

TEST(LabelArticlesTest, ChangedSinceTheRegisterComparesNamePriceAndBarcode)
{
    TextTable plu(TableKind::PLU);
    for (int row = 1; row <= 6; ++row)
        Put(plu, row, QString::number(1000 + row), QStringLiteral("Item %1").arg(row), QStringLiteral("1.00"));
    EXPECT_FALSE(RowsChangedSince(plu, TableSnapshot{})) << "nothing known";

    const TableSnapshot known = KnownOf(plu, 1, 5, 2);
    EXPECT_EQ(RowsChangedSince(plu, known), std::vector<int>{6}) << "PLU 6 was never sent";

    plu.SetCell(PLUColumn::Name, 1, QStringLiteral("Renamed"));
    plu.SetCell(PLUColumn::UnitPrice, 2, QStringLiteral("1.10"));
    plu.SetCell(PLUColumn::Barcode, 3, QStringLiteral("999"));
    plu.SetCell(PLUColumn::Stocks, 4, QStringLiteral("5.000"));    // not on a label
    plu.SetCell(PLUColumn::UnitPrice, 5, QStringLiteral("1.0"));    // the same price
    plu.SetCell(PLUColumn::Name, 6, QString());                      // no longer an article
    EXPECT_EQ(RowsChangedSince(plu, known), (std::vector<int>{1, 2, 3}));
}

TEST(LabelArticlesTest, RowScopesKeepNamedRowsOnly)
{
    TextTable plu(TableKind::PLU);
    Put(plu, 1, QString(), QStringLiteral("A"), QStringLiteral("1.00"), QStringLiteral("1"));
    Put(plu, 3, QString(), QStringLiteral("B"), QStringLiteral("1.00"), QStringLiteral("2"));
    Put(plu, 4, QString(), QStringLiteral("C"), QStringLiteral("1.00"), QStringLiteral("2"));
    EXPECT_EQ(ScopeRows(plu, RowScope::Selected, {4, 2, 1, 0, 3001}, {}, 1), (std::vector<int>{4, 1}));
    EXPECT_EQ(ScopeRows(plu, RowScope::Shown, {}, {3}, 1), std::vector<int>{3});
    EXPECT_EQ(ScopeRows(plu, RowScope::Department, {}, {}, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(ScopeRows(plu, RowScope::All, {}, {}, 1), (std::vector<int>{1, 3, 4}));
}

TEST(LabelSettingsTest, OptionsSurviveTheSettingsFileAndBadValuesReadAsDefaults)
{
    QTemporaryDir folder;
    SettingsFile settings(folder.filePath(QStringLiteral("SYSTEM.CFG")));
    LabelOptions options;
    options.layout = CustomLayout({100, 80}, 2, 3, {45, 25}, 2, 3, 1.5, 0.5);
    options.copies = 4;
    options.skip = 5;
    options.currency = QStringLiteral("CHF");
    options.rows = LabelRows::Changed;
    options.department = 7;
    WriteLabelOptions(settings, options);

    const LabelOptions read = ReadLabelOptions(settings);
    EXPECT_EQ(read.layout.name, QStringLiteral("custom"));
    EXPECT_EQ(read.layout.page, QSizeF(100, 80));
    EXPECT_EQ(read.layout.LabelRect(5), options.layout.LabelRect(5));
    EXPECT_EQ(read.copies, 4);
    EXPECT_EQ(read.skip, 5);
    EXPECT_EQ(read.currency, QStringLiteral("CHF"));
    EXPECT_EQ(read.rows, LabelRows::Changed);
    EXPECT_EQ(read.department, 7);

    settings.WriteTexts(QStringLiteral("Labels"), {{QStringLiteral("Layout"), QStringLiteral("a4-2x8")},
                                                   {QStringLiteral("Skip"), QStringLiteral("16")},
                                                   {QStringLiteral("Copies"), QStringLiteral("0")},
                                                   {QStringLiteral("Department"), QStringLiteral("12")}});
    const LabelOptions fallback = ReadLabelOptions(settings);
    EXPECT_EQ(fallback.layout.name, QStringLiteral("a4-2x8"));
    EXPECT_EQ(fallback.skip, 0) << "16 is past the 2 x 8 sheet";
    EXPECT_EQ(fallback.copies, 1);
    EXPECT_EQ(fallback.department, 1);

    settings.WriteText(QStringLiteral("Labels"), QStringLiteral("Layout"), QStringLiteral("custom"));
    settings.WriteText(QStringLiteral("Labels"), QStringLiteral("Label"), QStringLiteral("500x25"));
    EXPECT_EQ(ReadLabelOptions(settings).layout.name, NamedLayouts().front().name)
        << "a custom layout that does not fit is not taken";
}
