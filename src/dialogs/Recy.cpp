#include "dialogs/Recy.h"

#include "widgets/GridHeaders.h"
#include "widgets/TableGrid.h"
#include "widgets/TableGridRules.h"
#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Texts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

// The recycling rules for the grid: grid cell (row, column) is record row + 1,
// field column. Records have no hidden fields and keep their places.
class RecyGridRules : public ITableGridRules
{
public:
    explicit RecyGridRules(RecyTableModel& model) : m_model(model) {}

    bool ValidateCell(int row, int column) override { return m_model.ValidateCell(column, row + 1); }

    CellJudgement JudgeText(int, int column, const QString& text) const override
    {
        return JudgeCell(RecyRule(column), RecyDefault(column), text);
    }

    bool AcceptKey(int, int column, const QString& text, QChar ch, bool hasSelection) const override
    {
        return m_model.AcceptKey(column, text, ch, hasSelection);
    }

    QChar KeyChar(int, int column, QChar ch) const override { return CellKeyChar(RecyRule(column), ch); }

    QString RefusalReason(int row, int column) const override
    {
        const QString refusal = JudgeText(row, column, m_model.Cell(column, row + 1)).refusal;
        const auto& titles = Texts().RecyTitles;
        const QString title = column >= 0 && column < int(titles.size()) ? titles[std::size_t(column)] : QString();
        return refusal.isEmpty() ? QString() : title + QStringLiteral(": ") + refusal;
    }

    void ClearCells(int top, int left, int bottom, int right) override
    {
        m_model.ClearSelection(left, top + 1, right, bottom + 1);
    }

    bool IsHiddenColumn(int) const override { return false; }
    void MoveRow(int, int) override {}

private:
    RecyTableModel& m_model;
};

namespace {

// Rows visible without scrolling.
constexpr int kVisibleRows = 16;

} // namespace

TRecyForm::TRecyForm(QWidget* parent)
    : QDialog(parent), m_rules(std::make_unique<RecyGridRules>(m_working))
{
    setObjectName(QStringLiteral("RecyForm"));
    setWindowTitle(QStringLiteral("Recycling"));

    m_grid = new TableGrid(this);
    m_grid->setObjectName(QStringLiteral("RecyGrid"));
    m_grid->SetTable(&m_working, m_rules.get());
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionsMovable(false);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    for (int c = 0; c < RecyTable::FieldCount; ++c)
        m_grid->setColumnWidth(c, ColumnWidths[c]);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    // The title row looks like the main grids' (the row numbers stay hidden).
    DecorateGridHeaders(*m_grid, [] { return QString(); });

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    // A click on a button must not take the focus from the grid first: OK
    // checks the current cell itself, and Cancel checks nothing.
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->setAutoDefault(false);
    }
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);

    FitWindowToGrid();
}

TRecyForm::~TRecyForm()
{
    // The grid refers to the working copy and its rules: it goes first.
    delete m_grid;
}

void TRecyForm::FitWindowToGrid()
{
    int width = 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < RecyTable::FieldCount; ++c)
        width += ColumnWidths[c];
    const int height = 2 * m_grid->frameWidth() + m_grid->horizontalHeader()->sizeHint().height()
                       + kVisibleRows * RowHeight;
    m_grid->setFixedSize(width, height);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

bool TRecyForm::EditRecycling(RecyTable& table)
{
    m_grid->SetCellEditing(false);
    m_working.SetTable(table);
    m_grid->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    table = m_working.Table();
    return true;
}

void TRecyForm::done(int result)
{
    if (result == QDialog::Accepted && !m_grid->CommitCurrentCell()) {
        m_grid->setFocus();
        return;
    }
    QDialog::done(result);
}
