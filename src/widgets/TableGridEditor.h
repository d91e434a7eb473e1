#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include <functional>

class TableGrid;

// The in-place editor of a TableGrid cell. Every character that would enter
// it, typed, composed or pasted, passes the grid's key filter first.
class TableGridEditor : public QLineEdit
{
public:
    // Whether ch may join text; hasSelection: ch replaces selected text.
    using KeyFilter = std::function<bool(const QString& text, QChar ch, bool hasSelection)>;
    // The character a typed or pasted one becomes ("," for "." and so on).
    using KeyMap = std::function<QChar(QChar ch)>;

    TableGridEditor(QWidget* parent, const QModelIndex& index, KeyFilter filter, KeyMap map = {});

    // Keys whose text is an ordinary character: not a control code, and not a
    // Ctrl or Alt combination, which belongs to commands and menus.
    static bool TypesCharacter(const QKeyEvent* event);

    QModelIndex Index() const { return m_index; }

    // The cell's rectangle; the editor widens beyond it for long texts.
    void SetCellRect(const QRect& rect);

    // Inserts text as if typed, dropping what the filter refuses.
    void InsertFiltered(const QString& text);

    // With a handler, the undo and redo keys go to it rather than to the
    // editor's own history (the window commits the cell and undoes a step).
    using UndoHandler = std::function<void(bool redo)>;
    void SetUndoHandler(UndoHandler handler) { m_undoHandler = std::move(handler); }

    static bool IsUndoOrRedoKey(const QKeyEvent* event);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString Filtered(const QString& text) const;
    QString Mapped(const QString& text) const;
    void PasteFrom(QClipboard::Mode mode);
    void FitToText();

    QPersistentModelIndex m_index;
    KeyFilter m_filter;
    KeyMap m_map;
    QRect m_cellRect;
    UndoHandler m_undoHandler;
};

// Creates TableGridEditors and hands the keys that end or move an edit to the
// grid; the editor's text follows into the cell as it changes.
class TableGridDelegate : public QStyledItemDelegate
{
public:
    explicit TableGridDelegate(TableGrid* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TableGrid* m_grid;
};
