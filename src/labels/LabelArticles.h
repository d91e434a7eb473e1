#pragma once

#include "labels/BarcodeChoice.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TextTable;
struct TableSnapshot;

// What one shelf label shows of an article.
struct LabelArticle
{
    int plu = 0;
    QString name;
    QString price;       // with the register's price decimals: "1.50"
    QString currency;    // "EUR"; may be empty
    QString department;  // the department's name; empty when it has none
    BarcodeChoice barcode;
};

// The articles of the given PLU rows (rows outside the table or without a
// name are left out). The price is written with priceDecimals decimals (or
// more when the cell holds more, so no digit is lost).
std::vector<LabelArticle> LabelArticles(const TextTable& plu, const TextTable& departments,
                                        const std::vector<int>& rows, int priceDecimals,
                                        const QString& currency);

// "PLU 12: the check digit of EAN-13 ... should be 1: ..." for each article
// whose barcode is not drawn as its cell would suggest.
QStringList BarcodeWarnings(const std::vector<LabelArticle>& articles);

// The named PLU rows whose name, price or barcode differ from what the
// register was last seen with (`known`, from the transfer history); a row
// the known state does not hold counts as changed. Nothing when no PLU of
// the register is known.
std::optional<std::vector<int>> RowsChangedSince(const TextTable& plu, const TableSnapshot& known);

// The labels in print order: `skip` empty places, then each article `copies`
// times in a row. An empty place is an article with PLU number 0.
std::vector<LabelArticle> LabelSequence(const std::vector<LabelArticle>& articles, int copies, int skip);

// Pages a sequence of labels fills.
int PageCount(std::size_t labels, int labelsPerPage);

// The currency text of the system's locale ("EUR"), for a start.
QString DefaultCurrency();
