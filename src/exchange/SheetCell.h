#pragma once

#include "model/TextTable.h"

#include <QString>

// A sheet cell on its way into a table cell. It passes what typing it would:
// the column's cell check (JudgeCell) with its characters and length limit;
// the cell takes the text the check writes. Numbers may use "." as well as
// the operator's decimal separator, and blanks around a number are dropped.
using SheetCellText = CellJudgement;

SheetCellText ImportSheetCell(const TextTable& table, int column, const QString& sheetText);
