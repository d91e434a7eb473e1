#pragma once

#include "model/RecyTable.h"

#include <QDialog>

#include <memory>

class QPushButton;
class TableGrid;

// The recycling window: a fixed-size dialog editing a working copy of the
// recycling table in RecyGrid (no row-number column), with OK and Cancel.
class TRecyForm : public QDialog
{
    Q_OBJECT

public:
    explicit TRecyForm(QWidget* parent = nullptr);
    ~TRecyForm() override;

    // Copies table into the grid and shows the window modally. OK (after the
    // current cell passes its check) copies the grid back and returns true;
    // otherwise table is left as it was and the result is false.
    bool EditRecycling(RecyTable& table);

    TableGrid* Grid() const { return m_grid; }
    const RecyTableModel& WorkingCopy() const { return m_working; }

    // OK closes only when the current cell passes its check; Cancel always.
    void done(int result) override;

    // The column widths and row height of the grid, in pixels.
    static constexpr int ColumnWidths[RecyTable::FieldCount] = {60, 134, 198};
    static constexpr int RowHeight = 20;

private:
    void FitWindowToGrid();

    RecyTableModel m_working;
    std::unique_ptr<class RecyGridRules> m_rules;
    TableGrid* m_grid = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
