#include "app/PriceChangeDlg.h"

#include "app/LanguageFile.h"
#include "config/AppPaths.h"
#include "config/SettingsFile.h"
#include "model/Columns.h"
#include "model/CountWords.h"
#include "model/Language.h"
#include "model/TextTable.h"
#include "widgets/DialogParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kSection = QStringLiteral("PriceChange");
constexpr const char* kTexts = "PriceChangeDlg";

// The rows OK writes (without a problem), or those it leaves alone.
std::vector<PriceChangeRow> RowsWithProblem(const std::vector<PriceChangeRow>& plan, bool problem)
{
    std::vector<PriceChangeRow> rows;
    std::copy_if(plan.begin(), plan.end(), std::back_inserter(rows),
                 [problem](const PriceChangeRow& row) { return row.problem.isEmpty() != problem; });
    return rows;
}

// How many rows are left out for one reason, in words that count right.
QString ProblemCount(PriceProblem kind, int count)
{
    switch (kind) {
    case PriceProblem::NotANumber:
        return CountWords(kTexts, "NotANumber", count, "1 price is not a number",
                          "%1 prices are not numbers", QLocale());
    case PriceProblem::Negative:
        return CountWords(kTexts, "Negative", count, "1 negative price is left out",
                          "%1 negative prices are left out", QLocale());
    case PriceProblem::Refused:
        return CountWords(kTexts, "Refused", count, "1 price is refused by its cell",
                          "%1 prices are refused by their cells", QLocale());
    case PriceProblem::BelowZero:
        return CountWords(kTexts, "BelowZero", count, "1 new price would fall below zero",
                          "%1 new prices would fall below zero", QLocale());
    case PriceProblem::CannotStore:
        return CountWords(kTexts, "CannotStore", count, "1 new price cannot be stored",
                          "%1 new prices cannot be stored", QLocale());
    case PriceProblem::None:
        break;
    }
    return {};
}

} // namespace

TPriceChangeDlg::TPriceChangeDlg(const TextTable& plu, std::vector<int> selectedRows,
                                 std::optional<std::vector<int>> shownRows, QWidget* parent)
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
    addScope(Scope::Selected, "SelectedRowsBtn", QStringLiteral("&Selected rows"), 0);
    addScope(Scope::Shown, "ShownRowsBtn", QStringLiteral("Rows shown by the &filter"), 1);
    addScope(Scope::Department, "DepartmentBtn", QStringLiteral("&Department"), 2);
    addScope(Scope::All, "AllRowsBtn", QStringLiteral("Every &named PLU"), 3);
    m_scope->button(int(Scope::Shown))->setVisible(m_shown.has_value());
    m_department = new QSpinBox(rows);
    m_department->setObjectName(QStringLiteral("DepartmentEdit"));
    m_department->setRange(1, kDeptmentRowCount - 1);
    rowsLayout->addWidget(m_department, 2, 1);
    m_scope->button(int(Scope::All))->setChecked(true);

    QGroupBox* change = NamedGroup(QStringLiteral("ChangeGroup"), QStringLiteral("Change"), this);
    auto* form = new QFormLayout(change);
    m_operation = new QComboBox(change);
    m_operation->setObjectName(QStringLiteral("OperationBox"));
    // In the order of PriceChange::Operation.
    m_operation->addItems({Tr(kTexts, "OperationBox.RaisePercent", "Raise by percent"),
                           Tr(kTexts, "OperationBox.LowerPercent", "Lower by percent"),
                           Tr(kTexts, "OperationBox.RaiseAmount", "Raise by amount"),
                           Tr(kTexts, "OperationBox.LowerAmount", "Lower by amount"),
                           Tr(kTexts, "OperationBox.SetPrice", "Set price")});
    m_value = new QDoubleSpinBox(change);
    m_value->setObjectName(QStringLiteral("ValueEdit"));
    m_value->setDecimals(2);
    m_value->setRange(0, 999999.99);
    m_rounding = new QComboBox(change);
    m_rounding->setObjectName(QStringLiteral("RoundingBox"));
    // In the order of PriceChange::Rounding.
    m_rounding->addItems({Tr(kTexts, "RoundingBox.None", "None"),
                          Tr(kTexts, "RoundingBox.To005", "To 0.05"),
                          Tr(kTexts, "RoundingBox.To010", "To 0.10"),
                          Tr(kTexts, "RoundingBox.EndIn9", "To end in .x9"),
                          Tr(kTexts, "RoundingBox.EndIn99", "To end in .99")});
    form->addRow(NamedLabel(QStringLiteral("OperationLBL"), QStringLiteral("&Operation:"), change, m_operation),
                 m_operation);
    form->addRow(NamedLabel(QStringLiteral("ValueLBL"), QStringLiteral("&Value:"), change, m_value), m_value);
    form->addRow(NamedLabel(QStringLiteral("RoundingLBL"), QStringLiteral("&Rounding:"), change, m_rounding),
                 m_rounding);

    m_summary = NamedLabel(QStringLiteral("SummaryLBL"), QString(), this);
    m_summary->setWordWrap(true);
    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("PreviewGrid"));
    m_preview->setColumnCount(5);
    m_preview->setHorizontalHeaderLabels(
        {Tr(kTexts, "PreviewGrid.PLU", "PLU"), Tr(kTexts, "PreviewGrid.Name", "Name"),
         Tr(kTexts, "PreviewGrid.Price", "Price"), Tr(kTexts, "PreviewGrid.NewPrice", "New price"),
         Tr(kTexts, "PreviewGrid.Reason", "Left as it is because")});
    m_preview->verticalHeader()->hide();
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 6);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->setMinimumSize(640, 240);

    auto* top = new QHBoxLayout;
    top->addWidget(rows);
    top->addWidget(change);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addWidget(m_preview, 1);
    layout->addLayout(OkCancelRow(*this));
    m_ok = findChild<QPushButton*>(QStringLiteral("OKBtn"));

    connect(m_scope, &QButtonGroup::idClicked, this, &TPriceChangeDlg::Update);
    connect(m_department, &QSpinBox::valueChanged, this, &TPriceChangeDlg::Update);
    connect(m_operation, &QComboBox::currentIndexChanged, this, &TPriceChangeDlg::Update);
    connect(m_value, &QDoubleSpinBox::valueChanged, this, &TPriceChangeDlg::Update);
    connect(m_rounding, &QComboBox::currentIndexChanged, this, &TPriceChangeDlg::Update);
    LoadChoices();
    Update();
    TranslateWindow(*this);
    OpenWideEnoughForPreview();
}

// The reasons rows are left alone are long sentences, longer still in some
// languages: the window opens wide enough to show them whole, as far as the
// screen allows.
void TPriceChangeDlg::OpenWideEnoughForPreview()
{
    // The style and fonts the window is shown with decide the widths.
    ensurePolished();
    const QAbstractItemView& view = *m_preview;
    int columns = 2 * m_preview->frameWidth() + m_preview->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_preview->columnCount(); ++column)
        columns += std::max(view.sizeHintForColumn(column),
                            m_preview->horizontalHeader()->sectionSizeHint(column));
    const QMargins margins = layout()->contentsMargins();
    int width = std::max(sizeHint().width(), columns + margins.left() + margins.right());
    if (const QScreen* shown = screen())
        width = std::min(width, shown->availableGeometry().width() * 9 / 10);
    resize(width, sizeHint().height());
}

void TPriceChangeDlg::LoadChoices()
{
    const SettingsFile settings(AppPaths::SettingsPath());
    const int scope = settings.ReadInteger(kSection, QStringLiteral("Rows"), int(Scope::All));
    const bool offered = scope >= int(Scope::Selected) && scope <= int(Scope::All)
                         && (scope != int(Scope::Shown) || m_shown.has_value());
    m_scope->button(offered ? scope : int(Scope::All))->setChecked(true);
    m_department->setValue(settings.ReadInteger(kSection, QStringLiteral("Department"), 1));
    const int operation = settings.ReadInteger(kSection, QStringLiteral("Operation"), 0);
    m_operation->setCurrentIndex(operation >= 0 && operation < m_operation->count() ? operation : 0);
    // Kept in hundredths, a whole number, so it comes back exactly.
    const qint32 hundredths = settings.ReadInteger(kSection, QStringLiteral("Value"), 0);
    if (hundredths >= 0 && hundredths <= qint32(std::llround(m_value->maximum() * 100.0)))
        m_value->setValue(double(hundredths) / 100.0);
    const int rounding = settings.ReadInteger(kSection, QStringLiteral("Rounding"), 0);
    m_rounding->setCurrentIndex(rounding >= 0 && rounding < m_rounding->count() ? rounding : 0);
}

void TPriceChangeDlg::SaveChoices() const
{
    try {
        SettingsFile(AppPaths::SettingsPath())
            .WriteTexts(kSection, {{QStringLiteral("Rows"), QString::number(m_scope->checkedId())},
                                   {QStringLiteral("Department"), QString::number(m_department->value())},
                                   {QStringLiteral("Operation"), QString::number(m_operation->currentIndex())},
                                   {QStringLiteral("Value"), QString::number(CurrentChange().value.count)},
                                   {QStringLiteral("Rounding"), QString::number(m_rounding->currentIndex())}});
    } catch (const SettingsWriteError&) {
        // Only a convenience: the price change itself goes on.
    }
}

void TPriceChangeDlg::accept()
{
    SaveChoices();
    QDialog::accept();
}

void TPriceChangeDlg::SetScope(Scope scope, int department)
{
    if (scope == Scope::Department)
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
    return ::ScopeRows(m_plu, Scope(m_scope->checkedId()), m_selected, m_shown.value_or(std::vector<int>{}),
                       m_department->value());
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
    ShowPreview();
    if (m_ok)
        m_ok->setEnabled(!Changes().empty());
}

QString TPriceChangeDlg::Summary() const
{
    const std::size_t changes = Changes().size();
    QStringList parts{CountWords(kTexts, "Changes", qint64(changes), "1 price changes",
                                 "%1 prices change", QLocale())};
    for (const PriceProblem kind : {PriceProblem::CannotStore, PriceProblem::BelowZero, PriceProblem::Negative,
                                    PriceProblem::Refused, PriceProblem::NotANumber}) {
        const auto count = std::count_if(m_plan.begin(), m_plan.end(),
                                         [kind](const PriceChangeRow& row) { return row.kind == kind; });
        if (count > 0)
            parts << ProblemCount(kind, int(count));
    }
    return parts.join(QStringLiteral("; ")) + u'.';
}

// Every row of the plan: first those that change, then those left alone.
void TPriceChangeDlg::ShowPreview()
{
    m_summary->setText(Summary());
    std::vector<PriceChangeRow> rows = Changes();
    const std::vector<PriceChangeRow> leftOut = RowsWithProblem(m_plan, true);
    rows.insert(rows.end(), leftOut.begin(), leftOut.end());
    m_preview->setRowCount(0);
    m_preview->setRowCount(int(rows.size()));
    const Qt::Alignment number = Qt::AlignRight;
    for (int i = 0; i < int(rows.size()); ++i) {
        const PriceChangeRow& row = rows[std::size_t(i)];
        m_preview->setItem(i, 0, ReadOnlyItem(QString::number(row.row), number));
        m_preview->setItem(i, 1, ReadOnlyItem(m_plu.Cell(m_plu.KeyColumn(), row.row)));
        m_preview->setItem(i, 2, ReadOnlyItem(row.before, number));
        m_preview->setItem(i, 3, ReadOnlyItem(row.after, number));
        QTableWidgetItem* reason = ReadOnlyItem(row.problem);
        reason->setToolTip(row.problem);
        m_preview->setItem(i, 4, reason);
    }
    m_preview->resizeColumnsToContents();
}
