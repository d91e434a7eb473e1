#pragma once

#include "model/TextTable.h"

#include <QString>

#include <vector>

// The texts of a table's data cells as a plain value: what a register's own
// thread gets of the document, so that no table model is shared between
// threads. QString copies are safe to hand from one thread to another.
class TableCells
{
public:
    explicit TableCells(const TextTable& table);

    // A table of the same kind holding these cells; call it on the thread
    // that uses the table.
    void FillIn(TextTable& table) const;

    TableKind Kind() const { return m_kind; }

private:
    TableKind m_kind;
    int m_cols = 0;
    int m_rows = 0;
    std::vector<QString> m_cells; // rows 1.., columns 1.., row by row
};
