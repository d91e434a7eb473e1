#include "sim/SimSales.h"

#include "sim/SimContents.h"

#include <random>
#include <vector>

using namespace SimRecords;

namespace {

struct Article
{
    quint64 barcode = 0;
    qint64 price = 0;
};

std::vector<Article> SellableArticles(const TSimContents& contents)
{
    std::vector<Article> articles;
    for (int index = 0; index < TSimContents::kPluCount; ++index) {
        const PluFields fields = DecodePlu(contents.Plu(index));
        if (!fields.name.isEmpty() && fields.barcode != 0 && fields.price >= 0)
            articles.push_back({fields.barcode, fields.price});
    }
    return articles;
}

TotalsFields* FiguresOf(std::vector<TotalsFields>& totals, quint64 barcode)
{
    for (TotalsFields& figures : totals) {
        if (figures.barcode == barcode)
            return &figures;
    }
    if (totals.size() >= static_cast<std::size_t>(TSimContents::kMaxTotals))
        return nullptr;
    totals.push_back(TotalsFields{barcode, 0, 0});
    return &totals.back();
}

} // namespace

namespace SimSales {

int Sell(TSimContents& contents, int count, quint32 seed)
{
    const std::vector<Article> articles = SellableArticles(contents);
    if (articles.empty() || count <= 0)
        return 0;
    std::vector<TotalsFields> totals = contents.Totals();
    // The engine's raw numbers are the same everywhere; the standard
    // distributions are not, so the picks are made from them directly.
    std::mt19937 random(seed);
    int sold = 0;
    for (int sale = 0; sale < count; ++sale) {
        const Article& article = articles[random() % articles.size()];
        const qint64 pieces = qint64(random() % 5) + 1;
        TotalsFields* figures = FiguresOf(totals, article.barcode);
        if (figures == nullptr)
            continue;
        // The register's fields wrap where they end; so do these.
        figures->quantityMilli = qint32(quint32(figures->quantityMilli) + quint32(pieces * 1000));
        figures->total = (figures->total + quint64(article.price * pieces)) & Totals::kMaxTotal;
        ++sold;
    }
    contents.SetTotals(std::move(totals));
    return sold;
}

void ClearReports(TSimContents& contents)
{
    contents.SetTotals({});
    contents.SetReportState(0);
}

} // namespace SimSales
