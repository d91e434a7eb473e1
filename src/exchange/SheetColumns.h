#pragma once

#include "model/TextTable.h"

#include <QList>
#include <QString>

#include <optional>

// How a table column is laid out in a sheet: its title, and whether its cells
// are numbers (written as numbers where the cell's text is the number's own
// form, so the text comes back unchanged) or text.
struct SheetColumn
{
    enum class Value { Text, Whole, Decimal, General };

    int column = 0;         // the table's column; 0 is "NO.", the row's number
    Value value = Value::Text;
    int decimals = 0;       // Decimal: digits after the separator
};

// "PLU" or "department" as messages name the table; "Department" capitalised.
QString SheetTableName(TableKind kind, bool capitalised = false);

// Every column of the table, "NO." first, in the grid's order.
QList<SheetColumn> SheetColumnsOf(TableKind kind);

// The grid's title of a column (the language file's, when one was read).
QString SheetColumnTitle(TableKind kind, int column);

// The table column a sheet's title names: the grid's title or the built-in
// English one, ignoring case and surrounding blanks.
std::optional<int> ColumnOfSheetTitle(TableKind kind, const QString& title);

// The number to write for a cell's text, when the text is exactly how that
// number is written in the column (otherwise the cell is written as text).
std::optional<double> SheetNumber(const SheetColumn& column, const QString& text);

// "A", "B", ..., "Z", "AA": the spreadsheet name of a column counted from 1.
QString SheetColumnLetters(int column);
