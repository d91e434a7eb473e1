#include "reports/SalesReport.h"

#include "reports/SalesPeriod.h"

#include "model/Columns.h"
#include "model/Language.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kQuantityDecimals = 3;
constexpr int kNoDepartment = 0;
constexpr int kDepartments = 9;
constexpr const char* kTexts = "SalesReport";

struct ViewInfo
{
    SalesView view;
    const char* name;
    const char* key; // of the title in the language table
    const char* title;
};

constexpr std::array<ViewInfo, 5> kViews{{
    {SalesView::Departments, "departments", "DepartmentsView", "Turnover per department"},
    {SalesView::Articles, "articles", "ArticlesView", "Top articles"},
    {SalesView::Unsold, "unsold", "UnsoldView", "Articles without sales"},
    {SalesView::Daily, "daily", "DailyView", "Turnover per day"},
    {SalesView::Stock, "stock", "StockView", "Low stock"},
}};

QString Money(qint64 units, int decimals)
{
    return Decimal(units, decimals).Text(decimals, DecimalSeparator());
}

QString Quantity(qint64 milli)
{
    return Decimal(milli, kQuantityDecimals).Text(kQuantityDecimals, DecimalSeparator());
}

SheetColumn MoneyColumn(int decimals)
{
    return decimals == 0 ? SheetColumn{0, SheetColumn::Value::Whole, 0}
                         : SheetColumn{0, SheetColumn::Value::Decimal, decimals};
}

const SheetColumn kText{0, SheetColumn::Value::Text, 0};
const SheetColumn kWhole{0, SheetColumn::Value::Whole, 0};
const SheetColumn kQuantity{0, SheetColumn::Value::Decimal, kQuantityDecimals};
const SheetColumn kShare{0, SheetColumn::Value::Decimal, 1};

// The share of part in whole in tenths of a percent, rounded half away from zero.
qint64 ShareTenths(qint64 part, qint64 whole)
{
    if (whole == 0)
        return 0;
    const bool negative = (part < 0) != (whole < 0);
    const __int128 a = __int128(part < 0 ? -__int128(part) : __int128(part)) * 1000;
    const __int128 b = whole < 0 ? -__int128(whole) : __int128(whole);
    const __int128 rounded = (2 * a + b) / (2 * b);
    return qint64(negative ? -rounded : rounded);
}

int DepartmentOf(const TextTable& plu, int row)
{
    bool ok = false;
    const int department = plu.Cell(PLUColumn::Department, row).toInt(&ok);
    return ok && department >= 1 && department <= kDepartments ? department : kNoDepartment;
}

QString NameOf(const TextTable& plu, int row)
{
    return plu.Cell(PLUColumn::Name, row);
}

bool HasRow(const TextTable& table, int row)
{
    return row >= 1 && row < table.RowCount();
}

QString DepartmentName(const SalesCatalogue& catalogue, int department)
{
    if (department == kNoDepartment)
        return Tr(kTexts, "NoDepartment", "No department");
    return HasRow(catalogue.departments, department)
               ? catalogue.departments.Cell(DeptmentColumn::Name, department)
               : QString();
}

std::optional<Decimal> Stocks(const TextTable& plu, int row)
{
    return Decimal::Parse(plu.Cell(PLUColumn::Stocks, row), DecimalSeparator());
}

void DepartmentsView(SalesReport& report, const SalesFigures& figures, const SalesCatalogue& catalogue)
{
    std::array<qint64, kDepartments + 1> quantity{};
    std::array<qint64, kDepartments + 1> turnover{};
    for (const ArticleFigures& article : figures.sales) {
        const int department = HasRow(catalogue.plu, article.plu) ? DepartmentOf(catalogue.plu, article.plu)
                                                                  : kNoDepartment;
        quantity[std::size_t(department)] += article.quantity;
        turnover[std::size_t(department)] += article.total;
    }
    qint64 allQuantity = 0;
    qint64 allTurnover = 0;
    for (std::size_t d = 0; d <= kDepartments; ++d) {
        allQuantity += quantity[d];
        allTurnover += turnover[d];
    }
    const int decimals = figures.priceDecimals;
    report.columns = {kWhole, kText, kQuantity, MoneyColumn(decimals), kShare};
    report.titles = {Tr(kTexts, "Column.Department", "Department"),
                     Tr(kTexts, "Column.Name", "Name"), Tr(kTexts, "Column.Quantity", "Quantity"),
                     Tr(kTexts, "Column.Turnover", "Turnover"),
                     Tr(kTexts, "Column.Share", "Share %")};
    report.chartTitle = Tr(kTexts, "DepartmentsChart", "Turnover per department");
    for (int d = 1; d <= kDepartments + 1; ++d) {
        const int department = d % (kDepartments + 1);  // departments 1..9, then the articles without one
        const std::size_t at = std::size_t(department);
        const QString name = DepartmentName(catalogue, department);
        const bool sold = quantity[at] != 0 || turnover[at] != 0;
        if (!sold && (department == kNoDepartment || name.isEmpty()))
            continue;
        report.rows << QStringList{department == kNoDepartment ? QString() : QString::number(department), name,
                                   Quantity(quantity[at]), Money(turnover[at], decimals),
                                   Decimal(ShareTenths(turnover[at], allTurnover), 1).Text(1, DecimalSeparator())};
        report.chart.push_back({name.isEmpty() ? QString::number(department) : name, Decimal(turnover[at], decimals)});
    }
    report.rows << QStringList{QString(), Tr(kTexts, "TotalRow", "Total"), Quantity(allQuantity),
                               Money(allTurnover, decimals),
                               Decimal(allTurnover == 0 ? 0 : 1000, 1).Text(1, DecimalSeparator())};
}

// The top articles by one figure: highest first, lower PLU numbers first among equals.
std::vector<ArticleFigures> Top(std::vector<ArticleFigures> sales, qint64 ArticleFigures::*figure)
{
    std::erase_if(sales, [&](const ArticleFigures& a) { return a.*figure <= 0; });
    std::stable_sort(sales.begin(), sales.end(),
                     [&](const ArticleFigures& a, const ArticleFigures& b) { return a.*figure > b.*figure; });
    if (sales.size() > std::size_t(kTopArticles))
        sales.resize(std::size_t(kTopArticles));
    return sales;
}

void ArticlesView(SalesReport& report, const SalesFigures& figures, const SalesCatalogue& catalogue)
{
    const int decimals = figures.priceDecimals;
    report.columns = {kText, kWhole, kWhole, kText, kQuantity, MoneyColumn(decimals)};
    report.titles = {
        Tr(kTexts, "Column.List", "List"),         Tr(kTexts, "Column.Rank", "Rank"),
        Tr(kTexts, "Column.PLU", "PLU"),           Tr(kTexts, "Column.Name", "Name"),
        Tr(kTexts, "Column.Quantity", "Quantity"), Tr(kTexts, "Column.Turnover", "Turnover")};
    report.chartTitle = Tr(kTexts, "ArticlesChart", "Top articles by turnover");
    const auto add = [&](const QString& list, const std::vector<ArticleFigures>& top, bool chart) {
        int rank = 0;
        for (const ArticleFigures& article : top) {
            const QString name = HasRow(catalogue.plu, article.plu) ? NameOf(catalogue.plu, article.plu) : QString();
            report.rows << QStringList{list, QString::number(++rank), QString::number(article.plu), name,
                                       Quantity(article.quantity), Money(article.total, decimals)};
            if (chart && rank <= kChartArticles)
                report.chart.push_back({name.isEmpty() ? QString::number(article.plu) : name,
                                        Decimal(article.total, decimals)});
        }
    };
    add(Tr(kTexts, "ByTurnover", "By turnover"), Top(figures.sales, &ArticleFigures::total), true);
    add(Tr(kTexts, "ByQuantity", "By quantity"), Top(figures.sales, &ArticleFigures::quantity),
        false);
}

QStringList ArticleRow(const TextTable& plu, int row)
{
    return {QString::number(row), NameOf(plu, row), plu.Cell(PLUColumn::Department, row),
            plu.Cell(PLUColumn::UnitPrice, row), plu.Cell(PLUColumn::Stocks, row)};
}

void ArticleColumns(SalesReport& report)
{
    report.columns = {kWhole, kText, kWhole, SheetColumnOf(TableKind::PLU, PLUColumn::UnitPrice),
                      SheetColumnOf(TableKind::PLU, PLUColumn::Stocks)};
    report.titles = {Tr(kTexts, "Column.PLU", "PLU"), Tr(kTexts, "Column.Name", "Name"),
                     Tr(kTexts, "Column.Department", "Department"),
                     Tr(kTexts, "Column.Price", "Price"), Tr(kTexts, "Column.Stocks", "Stocks")};
}

void UnsoldView(SalesReport& report, const SalesFigures& figures, const SalesCatalogue& catalogue)
{
    ArticleColumns(report);
    std::vector<bool> sold(std::size_t(PluRange::kLast) + 1, false);
    for (const ArticleFigures& article : figures.sales) {
        if (article.plu >= 0 && article.plu <= PluRange::kLast)
            sold[std::size_t(article.plu)] = true;
    }
    const int last = std::min(figures.range.end, catalogue.plu.RowCount() - 1);
    for (int row = std::max(figures.range.begin, 1); row <= last; ++row) {
        if (!NameOf(catalogue.plu, row).isEmpty() && !sold[std::size_t(row)])
            report.rows << ArticleRow(catalogue.plu, row);
    }
}

void DailyView(SalesReport& report, const SalesFigures& figures)
{
    const int decimals = figures.priceDecimals;
    report.columns = {kText, MoneyColumn(decimals)};
    report.titles = {Tr(kTexts, "Column.Date", "Date"), Tr(kTexts, "Column.Turnover", "Turnover")};
    report.chartTitle = Tr(kTexts, "DailyChart", "Turnover per day");
    if (!figures.fromHistory)
        report.description << Tr(kTexts, "DailyNeedsHistory",
                                 "The turnover per day needs the readings kept in the history.");
    for (const auto& [day, turnover] : figures.dailyTurnover) {
        const QString date = day.toString(Qt::ISODate);
        report.rows << QStringList{date, Money(turnover, decimals)};
        report.chart.push_back({date, Decimal(turnover, decimals)});
    }
}

void StockView(SalesReport& report, const SalesFigures& figures, const SalesCatalogue& catalogue,
               const Decimal& threshold)
{
    ArticleColumns(report);
    report.columns << kQuantity;
    report.titles << Tr(kTexts, "Column.Sold", "Sold");
    report.description << Tr(kTexts, "StockThreshold", "Stocks at or below %1.")
                              .arg(threshold.Text(0, DecimalSeparator()));
    std::vector<qint64> sold(std::size_t(PluRange::kLast) + 1, 0);
    for (const ArticleFigures& article : figures.sales) {
        if (article.plu >= 0 && article.plu <= PluRange::kLast)
            sold[std::size_t(article.plu)] = article.quantity;
    }
    std::vector<std::pair<Decimal, int>> low;
    for (int row = 1; row < catalogue.plu.RowCount() && row <= PluRange::kLast; ++row) {
        const auto stocks = Stocks(catalogue.plu, row);
        if (!NameOf(catalogue.plu, row).isEmpty() && stocks && stocks->Compare(threshold) <= 0)
            low.emplace_back(*stocks, row);
    }
    std::stable_sort(low.begin(), low.end(),
                     [](const auto& a, const auto& b) { return a.first.Compare(b.first) < 0; });
    for (const auto& [stocks, row] : low)
        report.rows << (ArticleRow(catalogue.plu, row) << Quantity(sold[std::size_t(row)]));
}

} // namespace

QString SalesViewName(SalesView view)
{
    for (const ViewInfo& info : kViews) {
        if (info.view == view)
            return QString::fromLatin1(info.name);
    }
    return {};
}

std::optional<SalesView> SalesViewOfName(const QString& name)
{
    for (const ViewInfo& info : kViews) {
        if (name == QLatin1String(info.name))
            return info.view;
    }
    return std::nullopt;
}

QString SalesViewTitle(SalesView view)
{
    for (const ViewInfo& info : kViews) {
        if (info.view == view)
            return Tr(kTexts, info.key, info.title);
    }
    return {};
}

SalesFigures FiguresOfPeriod(const SalesPeriod& period)
{
    SalesFigures figures;
    figures.priceDecimals = period.priceDecimals;
    figures.sales = period.sales;
    figures.dailyTurnover = period.dailyTurnover;
    figures.range = period.range;
    figures.fromHistory = true;
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
    const QString readings = period.firstReading == period.lastReading
                                 ? Tr(kTexts, "OneReading", "reading %1").arg(period.firstReading)
                                 : Tr(kTexts, "Readings", "readings %1 to %2")
                                       .arg(period.firstReading)
                                       .arg(period.lastReading);
    figures.description << (period.since.isValid()
                                ? Tr(kTexts, "SalesFromTo", "Sales from %1 to %2 (%3) of %4.")
                                      .arg(period.since.toLocalTime().toString(format),
                                           period.until.toLocalTime().toString(format), readings,
                                           period.device)
                                : Tr(kTexts, "SalesUpTo", "Sales up to %1 (%2) of %3.")
                                      .arg(period.until.toLocalTime().toString(format), readings,
                                           period.device));
    figures.description << period.notes;
    return figures;
}

SalesFigures CurrentFigures(const TextTable& plu)
{
    SalesFigures figures;
    int decimals = 2;
    for (int row = 1; row < plu.RowCount(); ++row) {
        const auto total = Decimal::Parse(plu.Cell(PLUColumn::Total, row), DecimalSeparator());
        if (total)
            decimals = std::max(decimals, std::min(total->Scale(), 9));
    }
    figures.priceDecimals = decimals;
    figures.range = {1, std::min(plu.RowCount() - 1, PluRange::kLast)};
    figures.sales = FiguresOfRows(plu, figures.range, quint8(decimals));
    figures.description << Tr(
        kTexts, "CurrentFigures",
        "Current figures: the Quantity and Total columns of the last upload.");
    return figures;
}

SalesReport BuildSalesReport(SalesView view, const SalesFigures& figures, const SalesCatalogue& catalogue,
                             const Decimal& stockThreshold)
{
    SalesReport report;
    report.view = view;
    report.title = SalesViewTitle(view);
    report.description = figures.description;
    switch (view) {
    case SalesView::Departments:
        DepartmentsView(report, figures, catalogue);
        break;
    case SalesView::Articles:
        ArticlesView(report, figures, catalogue);
        break;
    case SalesView::Unsold:
        UnsoldView(report, figures, catalogue);
        break;
    case SalesView::Daily:
        DailyView(report, figures);
        break;
    case SalesView::Stock:
        StockView(report, figures, catalogue, stockThreshold);
        break;
    }
    return report;
}
