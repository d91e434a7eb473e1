#include "commands/TableCells.h"

TableCells::TableCells(const TextTable& table)
    : m_kind(table.Kind()), m_cols(table.ColCount()), m_rows(table.RowCount())
{
    m_cells.reserve(std::size_t(m_cols) * std::size_t(m_rows));
    for (int row = 1; row < m_rows; ++row) {
        for (int col = 1; col < m_cols; ++col)
            m_cells.push_back(table.Cell(col, row));
    }
}

void TableCells::FillIn(TextTable& table) const
{
    if (table.Kind() != m_kind || table.ColCount() != m_cols || table.RowCount() != m_rows)
        return;
    const TextTable::Batch batch(table);
    auto cell = m_cells.cbegin();
    for (int row = 1; row < m_rows; ++row) {
        for (int col = 1; col < m_cols; ++col)
            table.SetCell(col, row, *cell++);
    }
}
