#include "model/TableSearch.h"

#include "model/Columns.h"
#include "model/TextTable.h"

std::vector<TableMatch> FindInTable(const TextTable& table, const QString& text)
{
    const QString wanted = text.trimmed();
    std::vector<TableMatch> matches;
    if (wanted.isEmpty())
        return matches;
    const bool plu = table.Kind() == TableKind::PLU;
    const int nameColumn = table.KeyColumn();
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    for (int row = 1; row < table.RowCount(); ++row) {
        if (table.Cell(nameColumn, row).contains(wanted, Qt::CaseInsensitive))
            matches.push_back({row, nameColumn});
        else if (plu && table.Cell(PLUColumn::Barcode, row).contains(wanted, Qt::CaseInsensitive))
            matches.push_back({row, PLUColumn::Barcode});
        else if (plu && isNumber && number == row)
            matches.push_back({row, nameColumn});
    }
    return matches;
}
