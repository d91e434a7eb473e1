#include "exchange/SheetCell.h"

SheetCellText ImportSheetCell(const TextTable& table, int column, const QString& sheetText)
{
    return table.JudgeText(column, sheetText);
}
