// The views of a sales report, and the report as CSV, XLSX and PDF files.

#include "reports/ReportFiles.h"
#include "reports/SalesPeriod.h"
#include "reports/SalesReport.h"

#include "exchange/SheetFiles.h"
#include "model/Columns.h"
#include "model/TextTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Shop
{
    Shop()
    {
        departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Dairy"));
        departments.SetCell(DeptmentColumn::Name, 2, QStringLiteral("Bakery"));
        departments.SetCell(DeptmentColumn::Name, 3, QStringLiteral("Drinks"));
        Article(1, "Milk", 1, "12.000");
        Article(2, "Cheese", 1, "2.000");
        Article(3, "Bread", 2, "0.000");
        Article(4, "Rolls", 2, "40.000");
        Article(5, "Water", 3, "-1.000");
    }

    void Article(int row, const char* name, int department, const char* stocks)
    {
        plu.SetCell(PLUColumn::Name, row, QString::fromLatin1(name));
        plu.SetCell(PLUColumn::Department, row, QString::number(department));
        plu.SetCell(PLUColumn::UnitPrice, row, QStringLiteral("1.00"));
        plu.SetCell(PLUColumn::Stocks, row, QString::fromLatin1(stocks));
    }

    SalesCatalogue Catalogue() const { return {plu, departments}; }

    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
};

SalesFigures Figures(std::vector<ArticleFigures> sales, int decimals = 2)
{
    SalesFigures figures;
    figures.priceDecimals = decimals;
    figures.sales = std::move(sales);
    figures.fromHistory = true;
    return figures;
}

QStringList Column(const SalesReport& report, int column)
{
    QStringList cells;
    for (const QStringList& row : report.rows)
        cells << row.value(column);
    return cells;
}

TEST(SalesReport, DepartmentsSumTheirArticlesWithShares)
{
    const Shop shop;
    const auto figures = Figures({{1, 3000, 357}, {2, 1000, 1250}, {4, 10000, 2393}, {9, 1000, 1000}});
    const SalesReport report = BuildSalesReport(SalesView::Departments, figures, shop.Catalogue(), Decimal());
    ASSERT_EQ(report.rows.size(), 4) << "three named departments and the total";
    EXPECT_EQ(report.rows[0], (QStringList{"1", "Dairy", "5.000", "26.07", "52.1"})) << "PLU 9 is in department 1";
    EXPECT_EQ(report.rows[1], (QStringList{"2", "Bakery", "10.000", "23.93", "47.9"}));
    EXPECT_EQ(report.rows[2], (QStringList{"3", "Drinks", "0.000", "0.00", "0.0"})) << "named, sold nothing";
    EXPECT_EQ(report.rows[3], (QStringList{"", "Total", "15.000", "50.00", "100.0"}));
    ASSERT_EQ(report.chart.size(), 3u);
    EXPECT_EQ(report.chart[1].label, "Bakery");
    EXPECT_EQ(report.chart[1].value, Decimal(2393, 2));

    // Decimals 0 and 3: money keeps the register's decimals.
    EXPECT_EQ(BuildSalesReport(SalesView::Departments, Figures({{1, 1000, 1250}}, 0), shop.Catalogue(), {})
                  .rows[0][3], "1250");
    EXPECT_EQ(BuildSalesReport(SalesView::Departments, Figures({{1, 1000, 1250}}, 3), shop.Catalogue(), {})
                  .rows[0][3], "1.250");
}

TEST(SalesReport, TopListsRankByTurnoverAndByQuantity)
{
    const Shop shop;
    std::vector<ArticleFigures> sales;
    for (int plu = 1; plu <= 30; ++plu)
        sales.push_back({plu, (31 - plu) * 1000, plu * 10});
    const SalesReport report =
        BuildSalesReport(SalesView::Articles, Figures(sales), shop.Catalogue(), Decimal());
    ASSERT_EQ(report.rows.size(), 2 * kTopArticles);
    EXPECT_EQ(report.rows[0], (QStringList{"By turnover", "1", "30", "", "1.000", "3.00"}));
    EXPECT_EQ(report.rows[19][2], "11");
    EXPECT_EQ(report.rows[20], (QStringList{"By quantity", "1", "1", "Milk", "30.000", "0.10"}));
    EXPECT_EQ(report.rows[39][2], "20");
    EXPECT_EQ(report.chart.size(), std::size_t(kChartArticles));
    EXPECT_EQ(report.chart.front().label, "30") << "an article without a name by its number";

    // Equal figures keep the lower PLU first; refunds are no top sellers.
    const SalesReport ties = BuildSalesReport(
        SalesView::Articles, Figures({{2, 1000, 500}, {4, 1000, 500}, {5, -1000, -100}}), shop.Catalogue(), {});
    EXPECT_EQ(Column(ties, 2), (QStringList{"2", "4", "2", "4"}));
}

TEST(SalesReport, UnsoldAndLowStockListNamedArticles)
{
    const Shop shop;
    SalesFigures figures = Figures({{1, 2000, 200}, {4, 1000, 100}});
    figures.range = {1, 3000};
    const SalesReport unsold = BuildSalesReport(SalesView::Unsold, figures, shop.Catalogue(), Decimal());
    EXPECT_EQ(Column(unsold, 0), (QStringList{"2", "3", "5"}));
    EXPECT_EQ(unsold.rows[0], (QStringList{"2", "Cheese", "1", "1.00", "2.000"}));
    figures.range = {1, 2};
    EXPECT_EQ(Column(BuildSalesReport(SalesView::Unsold, figures, shop.Catalogue(), {}), 0), QStringList{"2"})
        << "only what the readings read";

    const SalesReport low = BuildSalesReport(SalesView::Stock, figures, shop.Catalogue(), Decimal(2, 0));
    EXPECT_EQ(Column(low, 0), (QStringList{"5", "3", "2"})) << "lowest first, at or below 2";
    EXPECT_EQ(low.rows[2].last(), "0.000");
    EXPECT_EQ(Column(BuildSalesReport(SalesView::Stock, figures, shop.Catalogue(), Decimal(12, 0)), 0).last(), "1");
    EXPECT_TRUE(low.description.last().contains(QStringLiteral("at or below 2")));
}

TEST(SalesReport, CurrentFiguresComeFromTheDocumentsOwnColumns)
{
    Shop shop;
    shop.plu.SetCell(PLUColumn::Quantity, 1, QStringLiteral("3.000"));
    shop.plu.SetCell(PLUColumn::Total, 1, QStringLiteral("3.570"));
    shop.plu.SetCell(PLUColumn::Quantity, 3, QStringLiteral("1.000"));
    shop.plu.SetCell(PLUColumn::Total, 3, QStringLiteral("2.50"));
    const SalesFigures current = CurrentFigures(shop.plu);
    EXPECT_EQ(current.priceDecimals, 3);
    EXPECT_EQ(current.sales, (std::vector<ArticleFigures>{{1, 3000, 3570}, {3, 1000, 2500}}));
    const SalesReport daily = BuildSalesReport(SalesView::Daily, current, shop.Catalogue(), {});
    EXPECT_TRUE(daily.rows.isEmpty());
    EXPECT_TRUE(daily.description.last().contains(QStringLiteral("history")));
}

TEST(SalesReport, SheetsCarryTheNumbersWithTheRegistersDecimals)
{
    const Shop shop;
    QTemporaryDir dir;
    for (const int decimals : {0, 3}) {
        const SalesReport report = BuildSalesReport(
            SalesView::Departments, Figures({{1, 2500, 1234}, {3, 1000, 5}}, decimals), shop.Catalogue(), {});
        for (const char* name : {"r.csv", "r.xlsx"}) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            if (ReportFormatOf(path) == ReportFormat::Csv)
                WriteSalesReportCsv(report, path);
            else
                WriteSalesReportXlsx(report, path);
            const SheetRead read = ReadSheetFile(path);
            ASSERT_TRUE(read.Ok()) << read.error.toStdString();
            ASSERT_GE(read.sheet.rows.size(), 4);
            EXPECT_EQ(read.sheet.rows[0].cells.value(3), "Turnover") << name;
            EXPECT_EQ(read.sheet.rows[1].cells.value(3), decimals == 0 ? "1234" : "1.234") << name;
            // A sheet's number reads back in its shortest form; the file shows it with three decimals.
            EXPECT_EQ(read.sheet.rows[1].cells.value(2), ReportFormatOf(path) == ReportFormat::Csv ? "2.500" : "2.5")
                << name;
            EXPECT_EQ(read.sheet.rows[1].cells.value(4), "99.6") << name;
        }
    }
    EXPECT_EQ(ReportFormatOf(QStringLiteral("A.PDF")), ReportFormat::Pdf);
    EXPECT_FALSE(ReportFormatOf(QStringLiteral("a.txt")));
}

} // namespace
