#pragma once

#include "model/TextTable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The PLU or department table as a sheet: the grid's column titles, then one
// line per row with its number and the cell texts as the grid holds them.
struct ExportOptions
{
    bool allRows = false;   // otherwise the rows the table file keeps, less those holding only defaults
    char delimiter = 0;     // CSV: 0 for the one that suits the decimal separator
};

// "," where the decimal separator is ".", ";" where it is ",".
char DefaultCsvDelimiter();

// The title line, then the rows.
QList<QStringList> TableSheetRows(const TextTable& table, bool allRows);

QByteArray TableCsvBytes(const TextTable& table, const ExportOptions& options);

// Failures throw FileError.
void WriteTableXlsx(const TextTable& table, const QString& path, bool allRows);
