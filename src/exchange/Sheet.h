#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A spreadsheet as read from a CSV or XLSX file: its rows with the cell texts,
// each with the line the spreadsheet shows it on (the first line is 1). Lines
// without any cell are left out. A cell that is not what its text looks like
// (a date, an error value, a formula without its result) carries why it
// cannot be taken, by its index in cells; its text is what it shows.
struct SheetRow
{
    int line = 0;
    QStringList cells;
    QMap<qsizetype, QString> refusals;
};

struct Sheet
{
    QList<SheetRow> rows;
};

// A sheet read, or why it could not be.
struct SheetRead
{
    Sheet sheet;
    QString error;

    bool Ok() const { return error.isEmpty(); }
};

// Sheets come from outside: limits checked before they are read whole.
namespace SheetLimits {
inline constexpr qint64 kMaxBytes = 20 * 1024 * 1024;  // a CSV file, or an XLSX's inflated parts
inline constexpr int kMaxDataRows = 10000;
inline constexpr int kMaxColumns = 256;
} // namespace SheetLimits

// The message for too many data rows, shared by both readers.
QString TooManyRowsError();
