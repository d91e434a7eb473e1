#pragma once

#include "model/PriceChange.h"
#include "model/RowScope.h"

#include <QDialog>

#include <vector>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TextTable;

// Edit > Change prices...: the rows (selected, shown by the filter, one
// department, every named PLU), the operation and the rounding; a preview of
// what changes and which rows are left as they are, and why. OK is available
// while some price changes; it writes those and leaves the others alone.
class TPriceChangeDlg : public QDialog
{
    Q_OBJECT

public:
    using Scope = RowScope;

    // The row lists are TextTable rows; unnamed rows among them are ignored.
    TPriceChangeDlg(const TextTable& plu, std::vector<int> selectedRows,
                    std::vector<int> shownRows, QWidget* parent = nullptr);

    void SetScope(Scope scope, int department = 1);
    void SetChange(const PriceChange& change);

    // The rows the dialog applies to, and what it would do to them.
    std::vector<int> ScopeRows() const;
    const std::vector<PriceChangeRow>& Plan() const { return m_plan; }
    bool HasProblems() const;
    // The rows of the plan that OK writes.
    std::vector<PriceChangeRow> Changes() const;

private:
    void Update();
    PriceChange CurrentChange() const;
    QString PreviewText() const;

    const TextTable& m_plu;
    std::vector<int> m_selected;
    std::vector<int> m_shown;
    QButtonGroup* m_scope = nullptr;
    QSpinBox* m_department = nullptr;
    QComboBox* m_operation = nullptr;
    QDoubleSpinBox* m_value = nullptr;
    QComboBox* m_rounding = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
    std::vector<PriceChangeRow> m_plan;
};
