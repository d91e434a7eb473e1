#pragma once

#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

#include <QStringList>

#include <optional>

class TextTable;

// The check every download passes before the port is opened: a document is
// loaded unchecked, and a cell the grid would refuse (a price of
// 9999999999999, department 0, a barcode with letters) must never reach the
// register as some other value. Used by Download data, the hidden parameter
// download and plu-cli alike.
namespace DownloadCheck {

// The text the operator sees when a download is refused for its data.
QString InvalidDataText();

// The cells of rows first..last that would be sent and that their column's
// cell check (JudgeCell) refuses, as "PLU 12, Unit price: 9999999999999 (at
// most 999999.99)", in row order; at most limit of them. With the register's
// price decimals, prices it cannot store exactly are refused too.
QStringList RefusedCells(const TextTable& table, int first, int last, int limit,
                         std::optional<int> priceDecimals = std::nullopt);

// Everything the request would send that is refused: the cells of the chosen
// rows and tables, then the keys of the parameter set; at most a few of each.
// Empty when the download may go on.
QStringList Refusals(const TransferRequest& request, const TransferTables& tables,
                     std::optional<int> priceDecimals = std::nullopt);

// The refused download's result when anything the request would send is
// refused; nothing when the download may go on. Run once before the port is
// opened, and again with the register's price decimals once its status is
// known, before anything is sent.
std::optional<TransferResult> RefusedResult(const TransferRequest& request, const TransferTables& tables,
                                            std::optional<int> priceDecimals = std::nullopt);

} // namespace DownloadCheck
