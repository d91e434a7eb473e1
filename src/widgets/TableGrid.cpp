#include "widgets/TableGrid.h"

#include "widgets/TableGridEditor.h"
#include "model/Language.h"
#include "model/TextTable.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <utility>

namespace {

// What the cell editor typed since it opened: one step of the history.
QString TypingStepName()
{
    return Tr("DocumentHistory", "Typing", "Typing");
}

} // namespace

// Every cursor move of the grid, by keyboard, mouse or program, goes through
// setCurrentIndex here, so this is where leaving a cell is checked and where
// hidden columns are passed over. Selection changes are refused while the
// editor is open, so a refused move leaves the selection alone too.
class TableGridSelectionModel : public QItemSelectionModel
{
public:
    TableGridSelectionModel(QAbstractItemModel* model, TableGrid* grid)
        : QItemSelectionModel(model, grid), m_grid(grid)
    {
    }

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override
    {
        const QModelIndex target = m_grid->PermittedTarget(index);
        if (index.isValid() && !target.isValid())
            return;
        QItemSelectionModel::setCurrentIndex(target, command);
    }

    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override
    {
        if (m_grid->IsEditorOpen())
            return;
        QItemSelectionModel::select(selection, command);
    }

    using QItemSelectionModel::select;

private:
    TableGrid* m_grid;
};

namespace {

// What the table files hold: one byte per character, no control codes.
bool IsStorableCharacter(QChar ch)
{
    const char16_t code = ch.unicode();
    return (code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF);
}

// While a grid pulls the focus back after a refused exit, the widget that
// briefly had it must not run its own exit check (two refusing grids would
// otherwise pull the focus to and fro).
bool g_restoringFocus = false;

} // namespace

TableGrid::TableGrid(QWidget* parent)
    : QTableView(parent), m_beep([] { QApplication::beep(); })
{
    setItemDelegate(new TableGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers); // the grid opens its editor itself
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->setSectionsMovable(true);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this, &TableGrid::OnRowDragged);
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TableGrid::OnFocusChanged);
}

TableGrid::~TableGrid()
{
    // The widget destructor still moves the focus; this grid is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void TableGrid::setModel(QAbstractItemModel* model)
{
    if (model == this->model())
        return;
    if (QAbstractItemModel* previous = this->model()) {
        disconnect(previous, &QAbstractItemModel::modelAboutToBeReset, this, &TableGrid::RememberCursor);
        disconnect(previous, &QAbstractItemModel::modelReset, this, &TableGrid::RestoreCursor);
        disconnect(previous, &QAbstractItemModel::columnsInserted, this, &TableGrid::ApplyHiddenColumns);
    }
    QItemSelectionModel* previousSelection = selectionModel();
    QTableView::setModel(model);
    QItemSelectionModel* created = selectionModel();
    if (model)
        setSelectionModel(new TableGridSelectionModel(model, this));
    if (created != selectionModel())
        delete created;
    if (previousSelection && previousSelection != created)
        previousSelection->deleteLater();
    if (!model)
        return;
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &TableGrid::RememberCursor);
    connect(model, &QAbstractItemModel::modelReset, this, &TableGrid::RestoreCursor);
    connect(model, &QAbstractItemModel::columnsInserted, this, &TableGrid::ApplyHiddenColumns);
    ApplyHiddenColumns();
    RestoreCursor();
}

void TableGrid::SetTable(QAbstractItemModel* model, ITableGridRules* rules)
{
    m_rules = rules;
    if (m_ownedRules.get() != rules)
        m_ownedRules.reset();
    setModel(model);
    ApplyHiddenColumns();
}

void TableGrid::SetTextTable(TextTable* table)
{
    auto rules = table ? std::make_unique<TextTableGridRules>(*table) : nullptr;
    SetTable(table, rules.get());
    m_ownedRules = std::move(rules);
}

void TableGrid::SetBeep(std::function<void()> beep)
{
    m_beep = std::move(beep);
}

QLineEdit* TableGrid::Editor() const
{
    return m_editor.data();
}

TableGrid::State TableGrid::CurrentState() const
{
    if (IsEditorOpen())
        return State::Editing;
    return m_editMode ? State::Ready : State::Browsing;
}

bool TableGrid::AcceptKey(const QModelIndex& index, const QString& text, QChar ch,
                          bool hasSelection) const
{
    if (ch.unicode() < 32)
        return true;
    if (!IsStorableCharacter(ch) || !index.isValid())
        return false;
    return !m_rules || m_rules->AcceptKey(index.row(), index.column(), text, ch, hasSelection);
}

QChar TableGrid::KeyChar(const QModelIndex& index, QChar ch) const
{
    return m_rules && index.isValid() ? m_rules->KeyChar(index.row(), index.column(), ch) : ch;
}

bool TableGrid::CommitCurrentCell()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !m_rules) {
        SetCellEditing(false);
        return true;
    }
    if (m_editor)
        itemDelegate()->setModelData(m_editor, model(), current);
    if (m_rules->ValidateCell(current.row(), current.column())) {
        // What was typed since the editing began becomes one step.
        if (m_sessionIndex.isValid() && m_recorder)
            m_recorder(TypingStepName(), {});
        EndSession();
        SetCellEditing(false);
        if (std::exchange(m_refusalShown, false))
            emit cellRefused(QString());
        return true;
    }
    m_beep();
    m_refusalShown = true;
    emit cellRefused(m_rules->RefusalReason(current.row(), current.column()));
    if (m_editor) {
        m_editor->setFocus();
    } else {
        BeginSession(current);
        SetCellEditing(true);
    }
    return false;
}

void TableGrid::SetCellEditing(bool on)
{
    m_editMode = on;
    if (on)
        OpenEditor();
    else
        CloseEditor();
}

void TableGrid::OpenEditor()
{
    const QModelIndex current = currentIndex();
    if (m_editor || !current.isValid())
        return;
    BeginSession(current);
    edit(current);
}

void TableGrid::CloseEditor()
{
    if (QWidget* editor = m_editor.data())
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TableGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == m_editor.data())
        m_editor.clear();
    QTableView::closeEditor(editor, hint);
}

void TableGrid::EditorCreated(TableGridEditor* editor, const QModelIndex& index)
{
    m_editor = editor;
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textChanged, this,
            [this, cell](const QString& text) { EditorTextChanged(cell, text); });
    // Only the operator's own edits: the editor's first text is the cell's.
    connect(editor, &QLineEdit::textEdited, this, &TableGrid::textTyped);
}

void TableGrid::EditorDestroyed(QWidget* editor)
{
    if (editor == m_editor.data())
        m_editor.clear();
}

void TableGrid::EditorTextChanged(const QModelIndex& index, const QString& text)
{
    // The cell follows the editor as the operator types.
    if (index.isValid() && index.data(Qt::EditRole).toString() != text)
        model()->setData(index, text, Qt::EditRole);
}

void TableGrid::BeginSession(const QModelIndex& index)
{
    if (m_sessionIndex == index)
        return;
    m_sessionIndex = index;
    m_textBeforeEdit = index.data(Qt::EditRole).toString();
}

void TableGrid::EndSession()
{
    m_sessionIndex = QPersistentModelIndex();
    m_textBeforeEdit.clear();
}

QModelIndex TableGrid::PassHiddenColumns(const QModelIndex& index) const
{
    if (!m_rules || !m_rules->IsHiddenColumn(index.column()))
        return index;
    const int columns = model()->columnCount(index.parent());
    const QModelIndex current = currentIndex();
    const int direction = current.isValid() && current.column() > index.column() ? -1 : 1;
    // Go on in the direction of the move; with nothing visible there, go back.
    for (const int step : {direction, -direction}) {
        for (int c = index.column() + step; c >= 0 && c < columns; c += step) {
            if (!m_rules->IsHiddenColumn(c))
                return index.sibling(index.row(), c);
        }
    }
    return {};
}

QModelIndex TableGrid::PermittedTarget(const QModelIndex& index)
{
    if (!index.isValid())
        return index;
    const QModelIndex target = PassHiddenColumns(index);
    const QModelIndex current = currentIndex();
    if (!target.isValid() || target == current || !current.isValid() || m_skipCommit)
        return target;
    return CommitCurrentCell() ? target : QModelIndex();
}

void TableGrid::MoveCurrentCommitted(int row, int column)
{
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    selectionModel()->setCurrentIndex(model()->index(row, column),
                                      QItemSelectionModel::ClearAndSelect);
}

bool TableGrid::HandleEditorKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HandleEnter();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        HandleVerticalKey(event);
        return true;
    case Qt::Key_Escape:
        CancelEditing();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        HandleTab(event);
        return true;
    default:
        return false;
    }
}

void TableGrid::keyPressEvent(QKeyEvent* event)
{
    if (!model()) {
        QTableView::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HandleEnter();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_editMode) {
            HandleVerticalKey(event);
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!m_editMode && !m_editor)
            ClearSelectedCells();
        return;
    case Qt::Key_F2:
        if (event->modifiers() == Qt::NoModifier) {
            StartEditingKeepText();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (m_editor) {
            CancelEditing();
            return;
        }
        break;
    case Qt::Key_Backspace:
        // Only a grid that allows editing opens its editor for Backspace.
        if (m_editMode && !m_editor) {
            OpenEditor();
            if (m_editor)
                QCoreApplication::sendEvent(m_editor, event);
        }
        event->accept();
        return;
    default:
        if (TableGridEditor::TypesCharacter(event)) {
            HandlePrintable(event);
            return;
        }
        break;
    }
    QTableView::keyPressEvent(event);
}

void TableGrid::HandlePrintable(QKeyEvent* event)
{
    event->accept();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    if (m_editor) {
        m_editor->setFocus();
        QCoreApplication::sendEvent(m_editor, event);
        return;
    }
    if (!m_editMode) {
        // Typing over a browsed cell replaces its text; a key the column
        // refuses leaves the cell as it was.
        if (RefusesFirstKey(current, event->text())) {
            m_beep();
            return;
        }
        BeginSession(current);
        emit textTyped();
        model()->setData(current, QString(), Qt::EditRole);
    }
    SetCellEditing(true);
    if (m_editor)
        QCoreApplication::sendEvent(m_editor, event);
}

void TableGrid::HandleEnter()
{
    if (!CommitCurrentCell())
        return;
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const int lastColumn = model()->columnCount() - 1;
    if (current.column() < lastColumn)
        MoveCurrentCommitted(current.row(), current.column() + 1);
    else if (const std::vector<int> next = ShownRows(current.row() + 1, 1); !next.empty())
        MoveCurrentCommitted(next.front(), 0);
}

bool TableGrid::RefusesFirstKey(const QModelIndex& index, const QString& text) const
{
    // As the editor takes them: each character joins the text before it.
    QString typed;
    for (const QChar ch : text) {
        if (!AcceptKey(index, typed, ch, false))
            return true;
        typed += KeyChar(index, ch);
    }
    return false;
}

void TableGrid::HandleVerticalKey(QKeyEvent* event)
{
    if (!CommitCurrentCell())
        return;
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const bool up = event->key() == Qt::Key_Up;
    if ((up && current.row() == 0) || (!up && current.row() == model()->rowCount() - 1))
        return;
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    QTableView::keyPressEvent(event);
}

void TableGrid::HandleTab(QKeyEvent* event)
{
    if (!CommitCurrentCell())
        return;
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    QTableView::keyPressEvent(event);
}

void TableGrid::CancelEditing()
{
    const QModelIndex current = currentIndex();
    if (m_sessionIndex.isValid() && m_sessionIndex == current) {
        const QString original = m_textBeforeEdit;
        CloseEditor();
        model()->setData(current, original, Qt::EditRole);
        // Nothing changed after all: the history tells the window so.
        if (m_recorder)
            m_recorder(TypingStepName(), {});
    }
    EndSession();
    SetCellEditing(false);
    // The refused text is gone, and with it the reason shown for it.
    if (std::exchange(m_refusalShown, false))
        emit cellRefused(QString());
}

void TableGrid::StartEditingKeepText()
{
    if (!currentIndex().isValid())
        return;
    if (!m_editor) {
        SetCellEditing(true);
        if (m_editor) {
            m_editor->deselect();
            m_editor->end(false);
        }
    } else {
        m_editor->setFocus();
    }
}

void TableGrid::ClearSelectedCells()
{
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!m_rules || !SelectedRect(top, left, bottom, right))
        return;
    const std::vector<int> rows = SelectedRows();
    RunEdit(Tr("DocumentHistory", "Delete", "Delete"), [&] {
        for (const int row : rows)
            m_rules->ClearCells(row, left, row, right);
    });
}

void TableGrid::ShowOnlyRows(std::vector<bool> shown)
{
    if (!model())
        return;
    const int rows = model()->rowCount();
    if (shown.empty())
        shown.assign(std::size_t(rows), true);
    shown.resize(std::size_t(rows), false);
    const QModelIndex current = currentIndex();
    const bool currentGoes = current.isValid() && !shown[std::size_t(current.row())];
    if (currentGoes && !CommitCurrentCell())
        shown[std::size_t(current.row())] = true;
    for (int row = 0; row < rows; ++row) {
        if (isRowHidden(row) == shown[std::size_t(row)])
            setRowHidden(row, !shown[std::size_t(row)]);
    }
    if (!current.isValid() || shown[std::size_t(current.row())])
        return;
    int target = -1;
    if (const std::vector<int> after = ShownRows(current.row(), 1); !after.empty())
        target = after.front();
    for (int row = current.row() - 1; target < 0 && row >= 0; --row) {
        if (shown[std::size_t(row)])
            target = row;
    }
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    if (target >= 0)
        selectionModel()->setCurrentIndex(current.sibling(target, current.column()),
                                          QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
}

std::vector<int> TableGrid::ShownRows(int from, int count) const
{
    std::vector<int> rows;
    const int end = model() ? model()->rowCount() : 0;
    for (int row = std::max(from, 0); row < end && (count < 0 || int(rows.size()) < count); ++row) {
        if (IsRowShown(row))
            rows.push_back(row);
    }
    return rows;
}

std::vector<int> TableGrid::SelectedRows() const
{
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!model() || !SelectedRect(top, left, bottom, right))
        return {};
    std::vector<int> rows;
    for (int row = top; row <= bottom; ++row) {
        if (IsRowShown(row))
            rows.push_back(row);
    }
    return rows;
}

bool TableGrid::SelectedRect(int& top, int& left, int& bottom, int& right) const
{
    QItemSelection selection = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (selection.isEmpty() && currentIndex().isValid())
        selection.select(currentIndex(), currentIndex());
    if (selection.isEmpty())
        return false;
    top = selection.first().top();
    left = selection.first().left();
    bottom = selection.first().bottom();
    right = selection.first().right();
    for (const QItemSelectionRange& range : selection) {
        top = qMin(top, range.top());
        left = qMin(left, range.left());
        bottom = qMax(bottom, range.bottom());
        right = qMax(right, range.right());
    }
    return true;
}

void TableGrid::RunEdit(const QString& text, const std::function<void()>& change)
{
    if (m_recorder)
        m_recorder(text, change);
    else
        change();
}

void TableGrid::PlaceCursor(int row, int column)
{
    if (!model() || row < 0 || row >= model()->rowCount() || column < 0
        || column >= model()->columnCount())
        return;
    if (m_editor)
        CloseEditor();
    EndSession();
    MoveCurrentCommitted(row, column);
    scrollTo(currentIndex());
}

bool TableGrid::ClickRefusedFocus() const
{
    // A click gives the grid the focus before the press arrives; when the
    // focus is elsewhere now, another grid refused to let it go.
    return !Owns(QApplication::focusWidget());
}

bool TableGrid::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress
                       || event->type() == QEvent::MouseButtonDblClick;
    const bool header = watched == horizontalHeader()->viewport()
                        || watched == verticalHeader()->viewport();
    if (press && header && ClickRefusedFocus())
        return true;
    return QTableView::eventFilter(watched, event);
}

void TableGrid::mousePressEvent(QMouseEvent* event)
{
    if (ClickRefusedFocus()) {
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    const QModelIndex target = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    // A refused move keeps the button from dragging a selection (and from
    // sounding again for every cell the mouse passes).
    m_pressRefused = target.isValid() && target != before && currentIndex() == before && m_editor;
}

void TableGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressRefused && (event->buttons() & Qt::LeftButton))
        return;
    QTableView::mouseMoveEvent(event);
}

void TableGrid::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressRefused = false;
    QTableView::mouseReleaseEvent(event);
}

void TableGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (ClickRefusedFocus()) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // A double-click that arrives without its first press acts as the press.
    if (index != currentIndex())
        QTableView::mouseDoubleClickEvent(event);
    if (index == currentIndex())
        StartEditingKeepText();
}

void TableGrid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    // An open editor keeps the keyboard, even after a click beside it.
    if (m_editor)
        m_editor->setFocus();
}

bool TableGrid::Owns(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void TableGrid::OnFocusChanged(QWidget* old, QWidget* now)
{
    // Only a move to another control of the same window leaves the grid;
    // switching windows or opening a dialog keeps the edit as it is.
    if (g_restoringFocus || !Owns(old) || !now || Owns(now) || now->window() != window())
        return;
    const QScopedValueRollback<bool> restoring(g_restoringFocus, true);
    if (CommitCurrentCell())
        return;
    if (m_editor)
        m_editor->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TableGrid::OnRowDragged(int, int oldVisualIndex, int newVisualIndex)
{
    if (m_restoringRows)
        return;
    {
        // The row numbers stay where they are; the data moves instead.
        const QScopedValueRollback<bool> restoring(m_restoringRows, true);
        verticalHeader()->moveSection(newVisualIndex, oldVisualIndex);
    }
    if (!m_rules || (m_editor && !CommitCurrentCell()))
        return;
    RunEdit(Tr("DocumentHistory", "MoveRow", "Move row"), [&] { m_rules->MoveRow(oldVisualIndex, newVisualIndex); });
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    selectRow(newVisualIndex);
}

void TableGrid::ApplyHiddenColumns()
{
    if (!model() || !m_rules)
        return;
    for (int c = 0; c < model()->columnCount(); ++c)
        setColumnHidden(c, m_rules->IsHiddenColumn(c));
}

void TableGrid::RememberCursor()
{
    const QModelIndex current = currentIndex();
    m_savedRow = current.isValid() ? current.row() : -1;
    m_savedColumn = current.isValid() ? current.column() : -1;
    // Reloaded cells end any edit; the grid browses afterwards.
    if (m_editor)
        m_editMode = false;
    EndSession();
}

void TableGrid::RestoreCursor()
{
    ApplyHiddenColumns();
    if (!model() || model()->rowCount() == 0 || model()->columnCount() == 0)
        return;
    const int row = qBound(0, m_savedRow, model()->rowCount() - 1);
    const int column = qBound(0, m_savedColumn, model()->columnCount() - 1);
    const QScopedValueRollback<bool> skip(m_skipCommit, true);
    selectionModel()->setCurrentIndex(model()->index(row, column),
                                      QItemSelectionModel::ClearAndSelect);
}
