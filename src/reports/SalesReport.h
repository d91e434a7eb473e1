#pragma once

#include "exchange/SheetColumns.h"
#include "history/SalesReading.h"
#include "model/Decimal.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

class TextTable;
struct SalesPeriod;

// The views of a sales report.
enum class SalesView { Departments, Articles, Unsold, Daily, Stock };

// "departments", "articles", "unsold", "daily", "stock" and back.
QString SalesViewName(SalesView view);
std::optional<SalesView> SalesViewOfName(const QString& name);
// The title a page and the window show: "Turnover per department".
QString SalesViewTitle(SalesView view);

// What a report is made from: the figures of a period out of the history, or
// the document's own Quantity and Total columns ("current figures").
struct SalesFigures
{
    int priceDecimals = 2;
    std::vector<ArticleFigures> sales;      // by PLU
    std::map<QDate, qint64> dailyTurnover;  // empty for current figures
    PluRange range;                         // the PLUs the figures cover
    bool fromHistory = false;
    QStringList description;                // what period, which register; notes
};

SalesFigures FiguresOfPeriod(const SalesPeriod& period);
// The document's figures; its totals are read at the decimals they are
// written with (at least two).
SalesFigures CurrentFigures(const TextTable& plu);

// One bar of a chart: a label and a value in the report's money.
struct ChartBar
{
    QString label;
    Decimal value;
};

// A report as pages, sheets and the window show it: a title, lines about
// its figures, a table whose columns say which cells are numbers, and the
// bars of its chart (none for views without one).
struct SalesReport
{
    SalesView view = SalesView::Departments;
    QString title;
    QStringList description;
    QList<SheetColumn> columns;
    QStringList titles;
    QList<QStringList> rows;
    QString chartTitle;
    std::vector<ChartBar> chart;
};

// The articles and departments as the document names them.
struct SalesCatalogue
{
    const TextTable& plu;
    const TextTable& departments;
};

inline constexpr int kTopArticles = 20;
// The articles view's chart: the best by turnover, fewer than the list so
// their names stay readable.
inline constexpr int kChartArticles = 10;

// The view's report. stockThreshold: the low-stock view lists named articles
// whose Stocks are at or below it.
SalesReport BuildSalesReport(SalesView view, const SalesFigures& figures, const SalesCatalogue& catalogue,
                             const Decimal& stockThreshold);
