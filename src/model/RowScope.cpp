#include "model/RowScope.h"

#include "model/Columns.h"
#include "model/TextTable.h"

#include <algorithm>
#include <iterator>

std::vector<int> ScopeRows(const TextTable& plu, RowScope scope, const std::vector<int>& selected,
                           const std::vector<int>& shown, int department)
{
    const auto named = [&plu](int row) {
        return row >= 1 && row < plu.RowCount() && !plu.Cell(plu.KeyColumn(), row).isEmpty();
    };
    std::vector<int> rows;
    switch (scope) {
    case RowScope::Selected:
        std::copy_if(selected.begin(), selected.end(), std::back_inserter(rows), named);
        break;
    case RowScope::Shown:
        std::copy_if(shown.begin(), shown.end(), std::back_inserter(rows), named);
        break;
    case RowScope::Department: {
        const QString wanted = QString::number(department);
        for (int row = 1; row < plu.RowCount(); ++row) {
            if (named(row) && plu.Cell(PLUColumn::Department, row) == wanted)
                rows.push_back(row);
        }
        break;
    }
    case RowScope::All:
        for (int row = 1; row < plu.RowCount(); ++row) {
            if (named(row))
                rows.push_back(row);
        }
        break;
    }
    return rows;
}
