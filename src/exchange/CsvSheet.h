#pragma once

#include "exchange/Sheet.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// CSV as spreadsheets write it (RFC 4180: quoted fields may hold the
// delimiter, doubled quotes and line breaks).

// The delimiter of the header line: the most frequent of ',', ';' and TAB
// outside quotes, ',' when it holds none.
char DetectCsvDelimiter(const QByteArray& bytes);

// Reads a whole CSV file held in memory (its text as CsvParserInput takes
// it); refused over SheetLimits::kMaxBytes or with more than
// SheetLimits::kMaxDataRows lines of data.
SheetRead ReadCsvSheet(const QByteArray& bytes);

// UTF-8 with a byte-order mark, lines ended by CR LF, a field quoted when it
// holds the delimiter, a quote, a line break or surrounding blanks.
QByteArray CsvSheetBytes(const QList<QStringList>& rows, char delimiter);
