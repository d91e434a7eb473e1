#include "app/PriceChangeDlg.h"

#include "model/Columns.h"
#include "model/TextTable.h"
#include "widgets/DialogParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Rows shown in the preview before "and N more".
constexpr int kPreviewRows = 12;

QString PreviewLine(const PriceChangeRow& row)
{
    QString text = QStringLiteral("PLU %1: %2").arg(row.row).arg(row.before);
    if (!row.after.isEmpty())
        text += QStringLiteral(" \u2192 %1").arg(row.after);
    if (!row.problem.isEmpty())
        text += QStringLiteral(" (%1)").arg(row.problem);
    return text;
}

// The heading, then the first kPreviewRows rows and how many more there are.
QStringList PreviewBlock(const QString& heading, const std::vector<PriceChangeRow>& rows)
{
    QStringList lines{heading};
    const int shown = std::min<int>(kPreviewRows, int(rows.size()));
    for (int i = 0; i < shown; ++i)
        lines << PreviewLine(rows[std::size_t(i)]);
    if (int(rows.size()) > shown)
        lines << QStringLiteral("... and %1 more").arg(int(rows.size()) - shown);
    return lines;
}

// The rows OK writes (without a problem), or those it leaves alone.
std::vector<PriceChangeRow> RowsWithProblem(const std::vector<PriceChangeRow>& plan, bool problem)
{
    std::vector<PriceChangeRow> rows;
    std::copy_if(plan.begin(), plan.end(), std::back_inserter(rows),
                 [problem](const PriceChangeRow& row) { return row.problem.isEmpty() != problem; });
    return rows;
}

} // namespace

TPriceChangeDlg::TPriceChangeDlg(const TextTable& plu, std::vector<int> selectedRows,
                                 std::vector<int> shownRows, QWidget* parent)
    : QDialog(parent), m_plu(plu), m_selected(std::move(selectedRows)), m_shown(std::move(shownRows))
{
    setObjectName(QStringLiteral("PriceChangeDlg"));
    setWindowTitle(QStringLiteral("Change prices"));

    QGroupBox* rows = NamedGroup(QStringLiteral("RowsGroup"), QStringLiteral("Rows"), this);
    auto* rowsLayout = new QGridLayout(rows);
    m_scope = new QButtonGroup(this);
    const auto addScope = [&](Scope scope, const char* name, const QString& text, int line) {
        auto* button = new QRadioButton(text, rows);
        button->setObjectName(QString::fromLatin1(name));
        m_scope->addButton(button, int(scope));
        rowsLayout->addWidget(button, line, 0);
    };
    addScope(Scope::Selected, "SelectedRowsBtn", QStringLiteral("Selected rows"), 0);
    addScope(Scope::Shown, "ShownRowsBtn", QStringLiteral("Rows shown by the filter"), 1);
    addScope(Scope::Department, "DepartmentBtn", QStringLiteral("Department"), 2);
    addScope(Scope::All, "AllRowsBtn", QStringLiteral("Every named PLU"), 3);
    m_department = new QSpinBox(rows);
    m_department->setObjectName(QStringLiteral("DepartmentEdit"));
    m_department->setRange(1, kDeptmentRowCount - 1);
    rowsLayout->addWidget(m_department, 2, 1);
    m_scope->button(int(Scope::All))->setChecked(true);

    QGroupBox* change = NamedGroup(QStringLiteral("ChangeGroup"), QStringLiteral("Change"), this);
    auto* form = new QFormLayout(change);
    m_operation = new QComboBox(change);
    m_operation->setObjectName(QStringLiteral("OperationBox"));
    m_operation->addItems({QStringLiteral("Raise by percent"), QStringLiteral("Lower by percent"),
                           QStringLiteral("Raise by amount"), QStringLiteral("Lower by amount"),
                           QStringLiteral("Set price")});
    m_value = new QDoubleSpinBox(change);
    m_value->setObjectName(QStringLiteral("ValueEdit"));
    m_value->setDecimals(2);
    m_value->setRange(0, 999999.99);
    m_rounding = new QComboBox(change);
    m_rounding->setObjectName(QStringLiteral("RoundingBox"));
    m_rounding->addItems({QStringLiteral("None"), QStringLiteral("To 0.05"), QStringLiteral("To 0.10"),
                          QStringLiteral("To end in .x9"), QStringLiteral("To end in .99")});
    form->addRow(QStringLiteral("Operation:"), m_operation);
    form->addRow(QStringLiteral("Value:"), m_value);
    form->addRow(QStringLiteral("Rounding:"), m_rounding);

    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(QStringLiteral("PreviewText"));
    m_preview->setReadOnly(true);
    m_preview->setMinimumSize(360, 200);

    auto* top = new QHBoxLayout;
    top->addWidget(rows);
    top->addWidget(change);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_preview, 1);
    layout->addLayout(OkCancelRow(*this));
    m_ok = findChild<QPushButton*>(QStringLiteral("OKBtn"));

    connect(m_scope, &QButtonGroup::idClicked, this, &TPriceChangeDlg::Update);
    connect(m_department, &QSpinBox::valueChanged, this, &TPriceChangeDlg::Update);
    connect(m_operation, &QComboBox::currentIndexChanged, this, &TPriceChangeDlg::Update);
    connect(m_value, &QDoubleSpinBox::valueChanged, this, &TPriceChangeDlg::Update);
    connect(m_rounding, &QComboBox::currentIndexChanged, this, &TPriceChangeDlg::Update);
    Update();
}

void TPriceChangeDlg::SetScope(Scope scope, int department)
{
    m_department->setValue(department);
    m_scope->button(int(scope))->setChecked(true);
    Update();
}

void TPriceChangeDlg::SetChange(const PriceChange& change)
{
    m_operation->setCurrentIndex(int(change.operation));
    m_value->setValue(double(change.value.count) / 100.0);
    m_rounding->setCurrentIndex(int(change.rounding));
    Update();
}

PriceChange TPriceChangeDlg::CurrentChange() const
{
    PriceChange change;
    change.operation = PriceChange::Operation(m_operation->currentIndex());
    // The box shows two decimals: its value is exact in hundredths.
    change.value = Hundredths(std::llround(m_value->value() * 100.0));
    change.rounding = PriceChange::Rounding(m_rounding->currentIndex());
    return change;
}

std::vector<int> TPriceChangeDlg::ScopeRows() const
{
    return ::ScopeRows(m_plu, Scope(m_scope->checkedId()), m_selected, m_shown, m_department->value());
}

bool TPriceChangeDlg::HasProblems() const
{
    return std::any_of(m_plan.begin(), m_plan.end(),
                       [](const PriceChangeRow& row) { return !row.problem.isEmpty(); });
}

std::vector<PriceChangeRow> TPriceChangeDlg::Changes() const
{
    return RowsWithProblem(m_plan, false);
}

void TPriceChangeDlg::Update()
{
    m_plan = PlanPriceChange(m_plu, ScopeRows(), CurrentChange());
    m_preview->setPlainText(PreviewText());
    if (m_ok)
        m_ok->setEnabled(!Changes().empty());
}

QString TPriceChangeDlg::PreviewText() const
{
    const std::vector<PriceChangeRow> changes = Changes();
    const std::vector<PriceChangeRow> leftOut = RowsWithProblem(m_plan, true);
    const QString changeHeading = changes.size() == 1 ? QStringLiteral("1 price changes.")
                                                      : QStringLiteral("%1 prices change.").arg(changes.size());
    QStringList lines = PreviewBlock(changeHeading, changes);
    if (!leftOut.empty()) {
        lines << QString();
        lines << PreviewBlock(leftOut.size() == 1 ? QStringLiteral("1 price is left as it is:")
                                                  : QStringLiteral("%1 prices are left as they are:").arg(leftOut.size()),
                              leftOut);
    }
    return lines.join(QLatin1Char('\n'));
}
