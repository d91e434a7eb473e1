#include "labels/LabelArticles.h"
#include "model/Language.h"

#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/Numbers.h"
#include "model/TextTable.h"
#include "transfer/Records.h"
#include "transfer/TableSnapshot.h"

#include <QLocale>

#include <algorithm>

namespace {

QString PriceText(const QString& cell, int priceDecimals)
{
    const std::optional<Decimal> price = Decimal::Parse(cell, DecimalSeparator());
    if (!price)
        return cell;
    return price->Trimmed().Text(priceDecimals, DecimalSeparator());
}

QString DepartmentName(const TextTable& departments, const QString& cell)
{
    bool ok = false;
    const int number = cell.toInt(&ok);
    if (!ok || number < 1 || number >= departments.RowCount())
        return QString();
    return departments.Cell(DeptmentColumn::Name, number);
}

bool Named(const TextTable& plu, int row)
{
    return row >= 1 && row < plu.RowCount() && !plu.Cell(PLUColumn::Name, row).isEmpty();
}

} // namespace

std::vector<LabelArticle> LabelArticles(const TextTable& plu, const TextTable& departments,
                                        const std::vector<int>& rows, int priceDecimals,
                                        const QString& currency)
{
    std::vector<LabelArticle> articles;
    articles.reserve(rows.size());
    for (const int row : rows) {
        if (!Named(plu, row))
            continue;
        LabelArticle article;
        article.plu = row;
        article.name = plu.Cell(PLUColumn::Name, row);
        article.price = PriceText(plu.Cell(PLUColumn::UnitPrice, row), priceDecimals);
        article.currency = currency;
        article.department = DepartmentName(departments, plu.Cell(PLUColumn::Department, row));
        article.barcode = ChooseBarcode(plu.Cell(PLUColumn::Barcode, row));
        articles.push_back(std::move(article));
    }
    return articles;
}

QStringList BarcodeWarnings(const std::vector<LabelArticle>& articles)
{
    QStringList warnings;
    for (const LabelArticle& article : articles) {
        if (!article.barcode.warning.isEmpty())
            warnings << Tr("LabelBarcode", "Warning", "PLU %1: %2")
                            .arg(article.plu)
                            .arg(article.barcode.warning);
    }
    return warnings;
}

std::optional<std::vector<int>> RowsChangedSince(const TextTable& plu, const TableSnapshot& known)
{
    if (known.plus.empty())
        return std::nullopt;
    std::vector<int> rows;
    for (int row = 1; row < plu.RowCount(); ++row) {
        if (!Named(plu, row))
            continue;
        const auto held = known.plus.find(row);
        if (held == known.plus.cend()) {
            rows.push_back(row);
            continue;
        }
        // Both sides through the register's record, so that "1.5" and "1.50"
        // or a barcode's leading zeros count as what the register would hold.
        const PLUCells was = DecodePLURecord(held->second.data(), known.priceDecimals);
        const PLURecord record = EncodePLURecord(PLURowCells(plu, row), known.priceDecimals);
        const PLUCells now = DecodePLURecord(record.data(), known.priceDecimals);
        if (was.name != now.name || was.price != now.price || was.barcode != now.barcode)
            rows.push_back(row);
    }
    return rows;
}

std::vector<LabelArticle> LabelSequence(const std::vector<LabelArticle>& articles, int copies, int skip)
{
    std::vector<LabelArticle> sequence(std::size_t(std::max(skip, 0)));
    sequence.reserve(sequence.size() + articles.size() * std::size_t(std::max(copies, 0)));
    for (const LabelArticle& article : articles)
        sequence.insert(sequence.end(), std::size_t(std::max(copies, 0)), article);
    return sequence;
}

int PageCount(std::size_t labels, int labelsPerPage)
{
    if (labelsPerPage < 1)
        return 0;
    return int((labels + std::size_t(labelsPerPage) - 1) / std::size_t(labelsPerPage));
}

QString DefaultCurrency()
{
    return QLocale::system().currencySymbol(QLocale::CurrencyIsoCode);
}
