#include "exchange/TableExport.h"

#include "exchange/CsvSheet.h"
#include "exchange/SheetColumns.h"
#include "exchange/XlsxWriter.h"
#include "files/TableFiles.h"
#include "model/Numbers.h"

namespace {

QStringList Titles(TableKind kind)
{
    QStringList titles;
    for (const SheetColumn& column : SheetColumnsOf(kind))
        titles.append(SheetColumnTitle(kind, column.column));
    return titles;
}

QStringList RowTexts(const TextTable& table, int row)
{
    QStringList texts;
    for (const SheetColumn& column : SheetColumnsOf(table.Kind()))
        texts.append(column.column == 0 ? QString::number(row) : table.Cell(column.column, row));
    return texts;
}

// The rows the table file keeps, but for those holding nothing but the
// defaults: a sheet names its rows, so they need no place holders.
QList<QStringList> DataRows(const TextTable& table, bool allRows)
{
    QList<QStringList> rows;
    const int last = allRows ? table.RowCount() - 1 : LastSavedRow(table);
    for (int row = 1; row <= last; ++row) {
        if (allRows || !table.HoldsOnlyDefaults(row))
            rows.append(RowTexts(table, row));
    }
    return rows;
}

} // namespace

char DefaultCsvDelimiter()
{
    return DecimalSeparator() == u',' ? ';' : ',';
}

QList<QStringList> TableSheetRows(const TextTable& table, bool allRows)
{
    return QList<QStringList>{Titles(table.Kind())} + DataRows(table, allRows);
}

QByteArray TableCsvBytes(const TextTable& table, const ExportOptions& options)
{
    return CsvSheetBytes(TableSheetRows(table, options.allRows),
                         options.delimiter != 0 ? options.delimiter : DefaultCsvDelimiter());
}

void WriteTableXlsx(const TextTable& table, const QString& path, bool allRows)
{
    WriteXlsxSheet(path, SheetTableName(table.Kind(), true), SheetColumnsOf(table.Kind()), Titles(table.Kind()), DataRows(table, allRows));
}
