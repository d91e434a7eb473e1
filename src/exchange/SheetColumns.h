#pragma once

#include "model/TextTable.h"

#include <QList>
#include <QString>

#include <optional>

// How a table column is laid out in a sheet: its title, and whether its cells
// are numbers or text. A whole number is written as a number where the cell's
// text is the number's own form, so the text comes back unchanged; a decimal
// is written as a number shown with the column's decimals whenever the text
// is a number, and comes back in that form.
struct SheetColumn
{
    enum class Value { Text, Whole, Decimal };

    int column = 0;         // the table's column; 0 is "NO.", the row's number
    Value value = Value::Text;
    int decimals = 0;       // Decimal: digits after the separator
};

// The layout of one table column; "NO." for a column outside the table.
SheetColumn SheetColumnOf(TableKind kind, int column);

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

// The form a cell's text is compared and imported in: a decimal written
// with the column's decimals ("12" in Quantity is "12.000"); any other text
// as it is.
QString SheetCellForm(const SheetColumn& column, const QString& text);

// "A", "B", ..., "Z", "AA": the spreadsheet name of a column counted from 1.
QString SheetColumnLetters(int column);
