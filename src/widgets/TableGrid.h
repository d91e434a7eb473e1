#pragma once

#include "widgets/TableGridRules.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TableGridEditor;
class TextTable;

// The editing grid of the PLU, department and recycling tables.
//
// Three states: Ready (editing allowed, editor closed; a new grid starts here),
// Browsing (editing off, editor closed) and Editing (editor open). The current
// cell is checked with the table's rules whenever the cursor would leave it, by
// keyboard, mouse or program, and whenever the focus leaves the grid; a refused
// value beeps, keeps the cursor and reopens the editor on the rejected text.
class TableGrid : public QTableView
{
    Q_OBJECT

public:
    enum class State { Ready, Browsing, Editing };

    explicit TableGrid(QWidget* parent = nullptr);
    ~TableGrid() override;

    // Shows model under rules. Neither is owned; both must outlive the grid or
    // be replaced first. Hidden columns are hidden here and kept hidden.
    void SetTable(QAbstractItemModel* model, ITableGridRules* rules);
    // Shows a PLU or department table under its own rules (table not owned).
    void SetTextTable(TextTable* table);
    ITableGridRules* Rules() const { return m_rules; }

    // Checks the current cell. Valid: editing switched off, editor closed, true.
    // Refused: beep, editing on with the editor open on the rejected text, false.
    bool CommitCurrentCell();

    // On: editing allowed and the editor opened on the current cell (text kept).
    // Off: editor closed and editing disallowed until switched on again.
    void SetCellEditing(bool on);

    State CurrentState() const;
    bool IsEditorOpen() const { return !m_editor.isNull(); }
    // The open in-place editor, or nullptr.
    QLineEdit* Editor() const;

    // The sound of refused input; QApplication::beep unless replaced.
    void SetBeep(std::function<void()> beep);

    // The key filter of the editor: false for a character the table's files
    // cannot store or the column refuses. Codes below 32 always pass.
    bool AcceptKey(const QModelIndex& index, const QString& text, QChar ch,
                   bool hasSelection) const;

    // The character a typed or pasted ch becomes in the cell.
    QChar KeyChar(const QModelIndex& index, QChar ch) const;

    void setModel(QAbstractItemModel* model) override;

    // Every change the grid makes to its table (a committed cell, Delete, a
    // dragged row, cut, paste) runs through the recorder as one step named
    // text; without one the change simply runs. The document's undo history
    // installs itself here.
    using EditRecorder = std::function<void(const QString& text, const std::function<void()>& change)>;
    void SetEditRecorder(EditRecorder recorder) { m_recorder = std::move(recorder); }
    bool HasEditRecorder() const { return bool(m_recorder); }

    // The rows the operator sees. A filter hides rows; selection, copy, cut,
    // paste, Delete and Enter's move to the next row act on the shown rows
    // only, and the cursor does not stay on a hidden row.
    //
    // Shows the rows (from 0) whose entry is true, hides the others; an empty
    // list shows every row. A current cell on a row that goes is committed
    // and the cursor moves to the nearest shown row (none: no current cell);
    // a refused cell keeps its row shown.
    void ShowOnlyRows(std::vector<bool> shown);
    bool IsRowShown(int row) const { return !isRowHidden(row); }
    // The shown rows from row `from` on, at most `count` of them (-1: all).
    std::vector<int> ShownRows(int from = 0, int count = -1) const;
    // The shown rows of the selection, or the current cell's row.
    std::vector<int> SelectedRows() const;

    // The selected cells (or the current cell) as TAB-separated lines, hidden
    // rows and columns left out; empty without a current cell.
    QString SelectionText() const;
    // Copy puts SelectionText on the clipboard; Cut also resets the cells to
    // their defaults. Both commit the current cell first (false when refused).
    bool CopySelection();
    bool CutSelection();
    // A refused cell of a paste: grid row, column title and why. A column
    // left empty refuses the whole block (it does not fit).
    struct Refusal
    {
        int row = 0;
        QString column;
        QString reason;
    };
    // Writes a block of TAB-separated lines at the cursor, each cell through
    // the column's key filter and check as if typed. Its lines go to the
    // shown rows from the cursor on; its cells to the visible columns from
    // the cursor on, or, for a block wider than those (a row of an exported
    // sheet), to every column from the cursor on, hidden ones included, as
    // importing the sheet would. A block that does not fit is refused; with
    // any refused cell nothing changes and the refusals are returned.
    std::vector<Refusal> PasteText(const QString& text);
    std::vector<Refusal> PasteClipboard();

    // Moves the cursor to a cell without checking the cell it leaves (the
    // table changed under it, as after undo).
    void PlaceCursor(int row, int column);

signals:
    // The current cell's value was refused (reason in words, see
    // ITableGridRules::RefusalReason), or, with an empty reason, a refused
    // cell has been accepted since.
    void cellRefused(const QString& reason);
    // Undo (false) or redo (true) was pressed in the cell editor; the window
    // that keeps the history commits the cell and takes the step.
    void historyRequested(bool redo);

    // The operator changed a cell's text from the keyboard: a printable key
    // typed over a browsed cell, or typing, Backspace or a paste in the
    // editor. The document then holds work that is not saved.
    void textTyped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TableGridSelectionModel;
    friend class TableGridDelegate;

    // Where a cursor move to index may go: hidden columns are passed over, and
    // leaving the current cell needs a successful commit. Invalid when refused.
    QModelIndex PermittedTarget(const QModelIndex& index);
    QModelIndex PassHiddenColumns(const QModelIndex& index) const;

    // Keys the open editor hands over; true when taken.
    bool HandleEditorKey(QKeyEvent* event);
    void EditorCreated(TableGridEditor* editor, const QModelIndex& index);
    void EditorDestroyed(QWidget* editor);
    void EditorTextChanged(const QModelIndex& index, const QString& text);

    void HandleEnter();
    void HandleVerticalKey(QKeyEvent* event);
    void HandleTab(QKeyEvent* event);
    void HandlePrintable(QKeyEvent* event);
    void CancelEditing();
    void StartEditingKeepText();
    void ClearSelectedCells();
    void MoveCurrentCommitted(int row, int column);
    void RunEdit(const QString& text, const std::function<void()>& change);
    // The bounding rectangle of the selection, or the current cell; false
    // when there is neither. Hidden rows inside it are not selected cells.
    bool SelectedRect(int& top, int& left, int& bottom, int& right) const;
    // The columns a pasted line of width cells goes to, from column on.
    QList<int> PasteColumns(int column, qsizetype width) const;
    // A printable key over a browsed cell that the column refuses.
    bool RefusesFirstKey(const QModelIndex& index, const QString& text) const;
    // Which text of a pasted cell the column takes, or why it refuses it.
    std::optional<QString> PastedCellText(const QModelIndex& index, const QString& value,
                                          QString& reason) const;

    void OpenEditor();
    void CloseEditor();
    void BeginSession(const QModelIndex& index);
    void EndSession();

    void OnFocusChanged(QWidget* old, QWidget* now);
    void OnRowDragged(int logicalIndex, int oldVisualIndex, int newVisualIndex);
    void ApplyHiddenColumns();
    void RememberCursor();
    void RestoreCursor();

    bool Owns(const QWidget* widget) const;
    bool ClickRefusedFocus() const;

    ITableGridRules* m_rules = nullptr;
    std::unique_ptr<ITableGridRules> m_ownedRules;
    QPointer<TableGridEditor> m_editor;
    std::function<void()> m_beep;
    EditRecorder m_recorder;
    bool m_editMode = true;        // Ready at first
    bool m_skipCommit = false;     // the current cell has just been committed
    bool m_pressRefused = false;   // a mouse press could not leave the cell
    bool m_restoringRows = false;
    bool m_refusalShown = false;
    int m_savedRow = -1;
    int m_savedColumn = -1;

    // The cell being edited and its text before the edit began (for Escape).
    QPersistentModelIndex m_sessionIndex;
    QString m_textBeforeEdit;
};
