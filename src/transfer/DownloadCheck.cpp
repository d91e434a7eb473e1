#include "transfer/DownloadCheck.h"

#include "model/Language.h"
#include "model/Defs.h"
#include "model/TextTable.h"
#include "transfer/ParameterCheck.h"
#include "config/SettingsFile.h"

#include <array>
#include <span>

namespace DownloadCheck {
namespace {

// Enough to find and mend the first cells; the rest follow once these pass.
constexpr int kShownRefusals = 5;

constexpr std::array kSentPLUColumns{PLUColumn::Barcode, PLUColumn::Name, PLUColumn::UnitPrice,
                                     PLUColumn::Department, PLUColumn::Stocks};
constexpr std::array kSentDeptmentColumns{DeptmentColumn::Name, DeptmentColumn::Tax,
                                          DeptmentColumn::UnitPrice};

std::span<const int> SentColumns(const TextTable& table)
{
    if (table.Kind() == TableKind::PLU)
        return kSentPLUColumns;
    return kSentDeptmentColumns;
}

QString TableName(const TextTable& table)
{
    return table.Kind() == TableKind::PLU ? Tr("DownloadCheck", "PLU", "PLU") : Tr("DownloadCheck", "Department", "Department");
}

QString ColumnName(const TextTable& table, int col)
{
    return table.headerData(col - 1, Qt::Horizontal).toString();
}

} // namespace

QString InvalidDataText()
{
    return Tr("DownloadCheck", "InvalidData", "Invalid data!");
}

QStringList RefusedCells(const TextTable& table, int first, int last, int limit, std::optional<int> priceDecimals)
{
    QStringList refused;
    for (int row = first; row <= last && refused.size() < limit; ++row) {
        for (const int col : SentColumns(table)) {
            const CellJudgement judged = table.JudgeCell(col, row, priceDecimals);
            if (judged.Taken())
                continue;
            refused << QStringLiteral("%1 %2, %3: %4 (%5)")
                           .arg(TableName(table))
                           .arg(row)
                           .arg(ColumnName(table, col), table.Cell(col, row), judged.refusal);
            if (refused.size() == limit)
                break;
        }
    }
    return refused;
}

QStringList Refusals(const TransferRequest& request, const TransferTables& tables, std::optional<int> priceDecimals)
{
    QStringList refused;
    if (request.Includes(TransferTable::PLU) && request.range.IsValid())
        refused << RefusedCells(tables.plu, request.range.begin, request.range.end, kShownRefusals, priceDecimals);
    if (request.Includes(TransferTable::Department))
        refused << RefusedCells(tables.departments, 1, tables.departments.RowCount() - 1, kShownRefusals,
                                priceDecimals);
    if (request.Includes(TransferTable::Parameter))
        refused << RefusedParameters(SettingsFile(tables.settingsPath)).mid(0, kShownRefusals);
    return refused;
}

std::optional<TransferResult> RefusedResult(const TransferRequest& request, const TransferTables& tables,
                                            std::optional<int> priceDecimals)
{
    const QStringList refused = Refusals(request, tables, priceDecimals);
    if (refused.isEmpty())
        return std::nullopt;
    TransferResult result;
    result.outcome = TransferResult::Outcome::Refused;
    result.message = InvalidDataText();
    result.detail = refused.join(QStringLiteral("; "));
    return result;
}

} // namespace DownloadCheck
