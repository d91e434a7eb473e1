#pragma once

#include <vector>

class TextTable;

// Which PLU rows a command that works on many articles at once applies to
// (a price change, shelf labels): the selected rows, the rows the filter
// shows, the rows of one department, or every named PLU.
enum class RowScope { Selected, Shown, Department, All };

// The named rows of the scope, in the order given (selected and shown rows)
// or in row order. Row numbers outside the table and unnamed rows are left
// out; department is the department's number 1..9.
std::vector<int> ScopeRows(const TextTable& plu, RowScope scope, const std::vector<int>& selected,
                           const std::vector<int>& shown, int department);
