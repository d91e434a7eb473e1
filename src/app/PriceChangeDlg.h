#pragma once

#include "model/PriceChange.h"
#include "model/RowScope.h"

#include <QDialog>

#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;
class QPushButton;
class QSpinBox;
class TextTable;

// Edit > Change prices...: the rows (selected, shown by the filter while the
// find bar filters, one department, every named PLU), the operation and the
// rounding; a preview table of every row that changes and every row left as
// it is, and why. OK is available while some price changes; it writes those
// and leaves the others alone. The choices of the last OK are offered again
// (section [PriceChange] of the settings file).
class TPriceChangeDlg : public QDialog
{
    Q_OBJECT

public:
    using Scope = RowScope;

    // The row lists are TextTable rows; unnamed rows among them are ignored.
    // Without shown rows (no filter on) that choice is not offered.
    TPriceChangeDlg(const TextTable& plu, std::vector<int> selectedRows,
                    std::optional<std::vector<int>> shownRows, QWidget* parent = nullptr);

    // Keeps the choices for the next time.
    void accept() override;

    // `department` is used with Scope::Department only.
    void SetScope(Scope scope, int department = 1);
    void SetChange(const PriceChange& change);

    // The rows the dialog applies to, and what it would do to them.
    std::vector<int> ScopeRows() const;
    const std::vector<PriceChangeRow>& Plan() const { return m_plan; }
    bool HasProblems() const;
    // "2 prices change. 1 new price cannot be stored." and the like.
    QString Summary() const;
    // The rows of the plan that OK writes.
    std::vector<PriceChangeRow> Changes() const;

private:
    void Update();
    PriceChange CurrentChange() const;
    void ShowPreview();
    void OpenWideEnoughForPreview();
    void LoadChoices();
    void SaveChoices() const;

    const TextTable& m_plu;
    std::vector<int> m_selected;
    std::optional<std::vector<int>> m_shown;
    QButtonGroup* m_scope = nullptr;
    QSpinBox* m_department = nullptr;
    QComboBox* m_operation = nullptr;
    QDoubleSpinBox* m_value = nullptr;
    QComboBox* m_rounding = nullptr;
    QLabel* m_summary = nullptr;
    QTableWidget* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
    std::vector<PriceChangeRow> m_plan;
};
