#include "app/FindBar.h"

#include "model/Language.h"
#include "model/TextTable.h"
#include "widgets/TableGrid.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>

FindBar::FindBar(TableGrid& pluGrid, TextTable& plu, TableGrid& deptGrid, TextTable& dept,
                 QWidget* parent)
    : QWidget(parent), m_pluGrid(pluGrid), m_plu(plu), m_deptGrid(deptGrid), m_dept(dept)
{
    setObjectName(QStringLiteral("FindBar"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("FindLbl"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("FindEdit"));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    m_label->setBuddy(m_edit);
    m_previous = new QToolButton(this);
    m_previous->setObjectName(QStringLiteral("FindPrevious"));
    m_previous->setArrowType(Qt::UpArrow);
    m_next = new QToolButton(this);
    m_next->setObjectName(QStringLiteral("FindNext"));
    m_next->setArrowType(Qt::DownArrow);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    m_filter = new QCheckBox(this);
    m_filter->setObjectName(QStringLiteral("FindFilter"));
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("FindClose"));
    m_close->setAutoRaise(true);
    ShowTexts();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_label);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addWidget(m_count);
    layout->addWidget(m_filter);
    layout->addWidget(m_close);

    connect(m_edit, &QLineEdit::textChanged, this, &FindBar::Search);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::GoToPrevious);
    connect(m_next, &QToolButton::clicked, this, &FindBar::GoToNext);
    connect(m_filter, &QCheckBox::toggled, this, &FindBar::ApplyFilter);
    connect(m_close, &QToolButton::clicked, this, &FindBar::Close);
    // Edits, undo, paste and uploads change what matches; the search runs
    // again once the change is complete, not inside it.
    m_research = new QTimer(this);
    m_research->setSingleShot(true);
    m_research->setInterval(0);
    connect(m_research, &QTimer::timeout, this, &FindBar::SearchAgain);
    for (const TextTable* table : {&m_plu, &m_dept}) {
        connect(table, &QAbstractItemModel::dataChanged, this, &FindBar::TablesChanged);
        connect(table, &QAbstractItemModel::modelReset, this, &FindBar::TablesChanged);
    }
    hide();
}

void FindBar::ShowTexts()
{
    m_label->setText(Tr("FindBar", "FindLbl.Caption", "Find:"));
    m_edit->setPlaceholderText(Tr("FindBar", "FindEdit.Placeholder", "Name, barcode or PLU number"));
    m_previous->setToolTip(Tr("FindBar", "FindPrevious.Hint", "Previous match (Shift+Enter)"));
    m_next->setToolTip(Tr("FindBar", "FindNext.Hint", "Next match (Enter)"));
    m_filter->setText(Tr("FindBar", "FindFilter.Caption", "Show matching rows only"));
    m_close->setText(Tr("FindBar", "FindClose.Caption", "Close"));
    ShowCount();
}

void FindBar::Open()
{
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::Close()
{
    m_edit->clear();
    hide();
    m_pluGrid.setFocus(Qt::OtherFocusReason);
}

void FindBar::SetText(const QString& text)
{
    m_edit->setText(text);
}

QString FindBar::Text() const
{
    return m_edit->text();
}

void FindBar::SetFilter(bool on)
{
    m_filter->setChecked(on);
}

bool FindBar::IsFiltering() const
{
    return m_filter->isChecked() && !m_edit->text().trimmed().isEmpty();
}

void FindBar::Search()
{
    m_pluMatches = FindInTable(m_plu, m_edit->text());
    m_deptMatches = FindInTable(m_dept, m_edit->text());
    m_position = -1;
    ApplyFilter();
    ShowCount();
}

void FindBar::TablesChanged()
{
    if (!m_edit->text().trimmed().isEmpty())
        m_research->start();
}

void FindBar::SearchAgain()
{
    // The match the cursor is on stays the current one when it still matches.
    const int position = m_position;
    const std::optional<TableMatch> current =
        position < 0 ? std::nullopt : std::optional<TableMatch>(MatchAt(position));
    const bool inPlu = position >= 0 && position < int(m_pluMatches.size());
    Search();
    if (!current)
        return;
    const auto& matches = inPlu ? m_pluMatches : m_deptMatches;
    const auto found = std::find_if(matches.begin(), matches.end(), [&](const TableMatch& match) {
        return match.row == current->row && match.col == current->col;
    });
    if (found != matches.end())
        m_position = int(found - matches.begin()) + (inPlu ? 0 : int(m_pluMatches.size()));
    ShowCount();
}

TableMatch FindBar::MatchAt(int position) const
{
    const bool inPlu = position < int(m_pluMatches.size());
    return inPlu ? m_pluMatches[std::size_t(position)] : m_deptMatches[std::size_t(position) - m_pluMatches.size()];
}

void FindBar::ShowCount()
{
    if (m_edit->text().trimmed().isEmpty())
        m_count->clear();
    else if (MatchCount() == 0)
        m_count->setText(Tr("FindBar", "FindCount.None", "No matches"));
    else if (m_position < 0 && MatchCount() == 1)
        m_count->setText(Tr("FindBar", "FindCount.One", "1 match"));
    else if (m_position < 0)
        m_count->setText(Tr("FindBar", "FindCount.Count", "%1 matches").arg(QLocale().toString(MatchCount())));
    else
        m_count->setText(Tr("FindBar", "FindCount.Position", "%1 of %2")
                             .arg(QLocale().toString(m_position + 1), QLocale().toString(MatchCount())));
}

bool FindBar::GoToNext()
{
    return MatchCount() > 0 && GoTo((m_position + 1) % MatchCount());
}

bool FindBar::GoToPrevious()
{
    const int count = MatchCount();
    return count > 0 && GoTo(m_position <= 0 ? count - 1 : m_position - 1);
}

bool FindBar::GoTo(int position)
{
    const bool inPlu = position < int(m_pluMatches.size());
    TableGrid& grid = inPlu ? m_pluGrid : m_deptGrid;
    const TableMatch match = MatchAt(position);
    const QModelIndex target = grid.model()->index(match.row - 1, match.col - 1);
    grid.selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    if (grid.currentIndex() != target)
        return false;
    grid.scrollTo(target, QAbstractItemView::PositionAtCenter);
    m_position = position;
    ShowCount();
    return true;
}

void FindBar::ApplyFilter()
{
    const bool filtering = IsFiltering();
    const auto apply = [filtering](TableGrid& grid, const TextTable& table,
                                   const std::vector<TableMatch>& matches) {
        std::vector<bool> shown; // grid rows; empty: every row
        if (filtering) {
            shown.assign(std::size_t(table.RowCount() - 1), false);
            for (const TableMatch& match : matches)
                shown[std::size_t(match.row - 1)] = true;
        }
        grid.ShowOnlyRows(std::move(shown));
    };
    apply(m_pluGrid, m_plu, m_pluMatches);
    apply(m_deptGrid, m_dept, m_deptMatches);
}

std::vector<int> FindBar::ShownPluRows() const
{
    std::vector<int> rows = m_pluGrid.ShownRows();
    for (int& row : rows)
        ++row;
    return rows;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                GoToPrevious();
            else
                GoToNext();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
