#pragma once

#include <QString>

#include <vector>

class TextTable;

// A cell that matched a search, in TextTable numbering (data from 1).
struct TableMatch
{
    int row = 0;
    int col = 0;
};

// The rows of a PLU table whose name or barcode contains text, or whose PLU
// number is text; of a department table, the rows whose name contains text.
// Letter case is ignored and blanks around text are dropped; an empty text
// matches nothing. One match per row, in row order, on the cell that matched
// (the name before the barcode; the name for a number).
std::vector<TableMatch> FindInTable(const TextTable& table, const QString& text);
