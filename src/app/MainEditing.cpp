// The main window's Edit menu: undo and redo over the document's history,
// the clipboard, find and go to, and the bulk price change.
#include "app/Main.h"

#include "app/FindBar.h"
#include "app/PriceChangeDlg.h"
#include "editing/DocumentHistory.h"
#include "model/Columns.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "model/TestData.h"
#include "dialogs/Recy.h"
#include "widgets/TableGrid.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// "&Undo" becomes "&Undo Change prices" while that step is next. The caption
// without the step is whatever the action showed before the first step was
// named, or what the language file put there since.
void NameStep(QAction& action, const QString& step)
{
    const char* const shown = "namedCaption";
    const char* const plain = "plainCaption";
    if (action.text() != action.property(shown).toString())
        action.setProperty(plain, action.text());
    const QString caption = action.property(plain).toString();
    const QString named = step.isEmpty() ? caption : Tr("MainForm", "NamedStep", "%1 %2").arg(caption, step);
    action.setText(named);
    action.setProperty(shown, named);
}

} // namespace

void TMainForm::CreateEditMenu(QMenuBar* bar)
{
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    const auto add = [&](const char* name, const QString& text, void (TMainForm::*handler)(),
                         const QList<QKeySequence>& keys, const QString& hint) {
        QAction* action = AddAction(name, text, handler);
        action->setShortcuts(keys);
        action->setStatusTip(hint);
        edit->addAction(action);
        return action;
    };
    QAction* undo = add("UndoItem", QStringLiteral("&Undo"), &TMainForm::UndoItemClick,
                        {QKeySequence::Undo}, QStringLiteral("Undo the last change"));
    QAction* redo = add("RedoItem", QStringLiteral("&Redo"), &TMainForm::RedoItemClick,
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                        QStringLiteral("Redo the change last undone"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&m_history->Stack(), &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&m_history->Stack(), &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&m_history->Stack(), &QUndoStack::undoTextChanged, undo,
            [undo](const QString& step) { NameStep(*undo, step); });
    connect(&m_history->Stack(), &QUndoStack::redoTextChanged, redo,
            [redo](const QString& step) { NameStep(*redo, step); });
    edit->addAction(AddSeparator("N20"));
    add("CutItem", QStringLiteral("Cu&t"), &TMainForm::CutItemClick, {QKeySequence::Cut},
        QStringLiteral("Copy the selected cells and reset them"));
    add("CopyItem", QStringLiteral("&Copy"), &TMainForm::CopyItemClick, {QKeySequence::Copy},
        QStringLiteral("Copy the selected cells"));
    add("PasteItem", QStringLiteral("&Paste"), &TMainForm::PasteItemClick, {QKeySequence::Paste},
        QStringLiteral("Paste cells at the cursor"));
    edit->addAction(AddSeparator("N21"));
    add("FindItem", QStringLiteral("&Find..."), &TMainForm::FindItemClick, {QKeySequence::Find},
        QStringLiteral("Find PLUs by name, barcode or number"));
    add("GotoItem", QStringLiteral("&Go to PLU..."), &TMainForm::GotoItemClick,
        {QKeySequence(Qt::CTRL | Qt::Key_G)}, QStringLiteral("Move the cursor to a PLU number"));
    edit->addAction(AddSeparator("N22"));
    add("PriceItem", QStringLiteral("C&hange prices..."), &TMainForm::PriceItemClick, {},
        QStringLiteral("Change the unit prices of many PLUs at once"));
}

TableGrid& TMainForm::ActiveGrid()
{
    QWidget* focus = focusWidget();
    if (focus != nullptr && (focus == m_deptGrid || m_deptGrid->isAncestorOf(focus)))
        return *m_deptGrid;
    return *m_pluGrid;
}

void TMainForm::FollowHistory()
{
    ShowModified();
}

void TMainForm::UndoItemClick()
{
    // A cell being typed in becomes a step of its own first, so Undo takes
    // back exactly the typing.
    if (CommitActiveGrid())
        m_history->Stack().undo();
}

void TMainForm::RedoItemClick()
{
    if (CommitActiveGrid())
        m_history->Stack().redo();
}

void TMainForm::ShowStepFocus(const EditFocus& focus)
{
    if (focus.table == nullptr)
        return;
    TableGrid* grid = focus.table == m_pluTable ? m_pluGrid : m_deptGrid;
    ShowFilteredRow(*grid, focus.row - 1);
    grid->PlaceCursor(focus.row - 1, focus.col - 1);
    grid->setFocus(Qt::OtherFocusReason);
}

void TMainForm::CutItemClick()
{
    ActiveGrid().CutSelection();
}

void TMainForm::CopyItemClick()
{
    ActiveGrid().CopySelection();
}

void TMainForm::PasteItemClick()
{
    const std::vector<TableGrid::Refusal> refusals = ActiveGrid().PasteClipboard();
    if (refusals.empty())
        return;
    if (refusals.front().column.isEmpty()) {
        m_messages->Error(Tr("MainForm", "NothingPasted", "Nothing was pasted. %1").arg(refusals.front().reason));
        return;
    }
    QStringList lines{Tr("MainForm", "NothingPastedCells", "Nothing was pasted. These cells were refused:")};
    for (const TableGrid::Refusal& refusal : refusals)
        lines << Tr("MainForm", "PastedCellRefused", "Row %1, %2: %3").arg(refusal.row + 1).arg(refusal.column, refusal.reason);
    m_messages->Error(lines.join(QLatin1Char('\n')));
}

void TMainForm::FindItemClick()
{
    m_findBar->Open();
}

void TMainForm::ShowFilteredRow(TableGrid& grid, int row)
{
    if (grid.IsRowShown(row) || !m_findBar->IsFiltering())
        return;
    m_findBar->SetFilter(false);
    const QString notice =
        &grid == m_pluGrid
            ? Tr("MainForm", "FilterOffForPlu", "\"Show matching rows only\" was switched off to show PLU %1.")
            : Tr("MainForm", "FilterOffForDepartment",
                 "\"Show matching rows only\" was switched off to show department %1.");
    statusBar()->showMessage(notice.arg(row + 1));
}

bool TMainForm::GoToPlu(int number)
{
    if (number < 1 || number >= m_pluTable->RowCount())
        return false;
    const QModelIndex current = m_pluGrid->currentIndex();
    const int column = current.isValid() ? current.column() : PLUColumn::Name - 1;
    const QModelIndex target = m_pluTable->index(number - 1, column);
    m_pluGrid->setFocus(Qt::ShortcutFocusReason);
    ShowFilteredRow(*m_pluGrid, target.row());
    m_pluGrid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    if (m_pluGrid->currentIndex().row() != target.row())
        return false;
    m_pluGrid->scrollTo(m_pluGrid->currentIndex(), QAbstractItemView::PositionAtCenter);
    return true;
}

void TMainForm::GotoItemClick()
{
    if (!CommitActiveGrid())
        return;
    const QModelIndex current = m_pluGrid->currentIndex();
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("GoToPluDlg"));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setWindowTitle(Tr("GoToPluDlg", "Caption", "Go to PLU"));
    dialog.setLabelText(Tr("GoToPluDlg", "NumberLbl.Caption", "PLU number:"));
    dialog.setIntRange(1, m_pluTable->RowCount() - 1);
    dialog.setIntValue(current.isValid() ? current.row() + 1 : 1);
    if (dialog.exec() == QDialog::Accepted)
        GoToPlu(dialog.intValue());
}

void TMainForm::PriceItemClick()
{
    if (!CommitActiveGrid())
        return;
    std::vector<int> selected;
    for (const int row : m_pluGrid->SelectedRows())
        selected.push_back(row + 1);
    std::optional<std::vector<int>> shown;
    if (m_findBar->IsFiltering())
        shown = m_findBar->ShownPluRows();
    TPriceChangeDlg dialog(*m_pluTable, selected, shown, this);
    if (m_findBar->IsFiltering())
        dialog.SetScope(TPriceChangeDlg::Scope::Shown);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<PriceChangeRow> plan = dialog.Changes();
    m_history->Record(Tr("DocumentHistory", "ChangePrices", "Change prices"), [&] {
        for (const PriceChangeRow& row : plan)
            m_pluTable->SetCell(PLUColumn::UnitPrice, row.row, row.after);
    });
    FollowHistory();
}

void TMainForm::RecyItemClick()
{
    if (m_recyForm == nullptr)
        return;
    RecyTable edited = m_recyTable;
    if (!m_recyForm->EditRecycling(edited))
        return;
    m_history->Record(Tr("DocumentHistory", "Recycling", "Recycling"), [&] { m_recyTable = edited; });
    FollowHistory();
}

void TMainForm::FillTestDataClick()
{
    if (!CommitActiveGrid())
        return;
    m_history->Record(Tr("DocumentHistory", "TestData", "Test data"),
                      [this] { FillTestData(*m_pluTable, *m_deptTable, m_recyTable); });
    FollowHistory();
}
