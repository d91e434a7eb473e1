#pragma once

#include "model/TextTable.h"

#include <QString>

// A sheet cell on its way into a table cell. It passes what typing it would:
// only characters the column's key filter takes, the cell check with its
// length limit; the cell takes the text the check rewrites it to. Numbers may
// use "." as well as the operator's decimal separator, and blanks around a
// number are dropped.
struct SheetCellText
{
    QString text;      // what the table cell takes
    QString refusal;   // why it is refused; empty when taken

    bool Taken() const { return refusal.isEmpty(); }
};

SheetCellText ImportSheetCell(const TextTable& table, int column, const QString& sheetText);
