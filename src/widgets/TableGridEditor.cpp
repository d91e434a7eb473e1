#include "widgets/TableGridEditor.h"

#include "widgets/TableGrid.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

bool TableGridEditor::TypesCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 0x7F)
        return false;
    // Ctrl or Alt alone make a command; both together may be AltGr.
    const Qt::KeyboardModifiers mods = event->modifiers();
    return mods.testFlag(Qt::AltModifier) == mods.testFlag(Qt::ControlModifier);
}

TableGridEditor::TableGridEditor(QWidget* parent, const QModelIndex& index, KeyFilter filter, KeyMap map)
    : QLineEdit(parent), m_index(index), m_filter(std::move(filter)), m_map(std::move(map))
{
    setFrame(false);
    setAcceptDrops(false); // a drop would bypass the filter
    connect(this, &QLineEdit::textChanged, this, [this] { FitToText(); });
}

bool TableGridEditor::IsUndoOrRedoKey(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
           || event->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y)
           || event->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
}

bool TableGridEditor::event(QEvent* event)
{
    // The keys come here even while the window's Undo has nothing to undo:
    // the typing itself is the step to take back.
    if (m_undoHandler && event->type() == QEvent::ShortcutOverride
        && IsUndoOrRedoKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void TableGridEditor::SetCellRect(const QRect& rect)
{
    m_cellRect = rect;
    FitToText();
}

void TableGridEditor::FitToText()
{
    if (!m_cellRect.isValid())
        return;
    const QMargins margins = textMargins() + contentsMargins();
    const int wanted = fontMetrics().horizontalAdvance(text()) + margins.left()
                       + margins.right() + 2 * fontMetrics().averageCharWidth();
    int width = qMax(m_cellRect.width(), wanted);
    if (parentWidget())
        width = qMin(width, qMax(m_cellRect.width(), parentWidget()->width() - m_cellRect.x()));
    setGeometry(QRect(m_cellRect.topLeft(), QSize(width, m_cellRect.height())));
}

QString TableGridEditor::Filtered(const QString& text) const
{
    // Simulate typing the characters one by one over the current text with
    // its selection already removed, as an insertion replaces the selection.
    QString base = this->text();
    int position = cursorPosition();
    if (hasSelectedText()) {
        position = selectionStart();
        base.remove(position, selectedText().size());
    }
    QString accepted;
    for (const QChar ch : Mapped(text)) {
        const QString current = base.left(position) + accepted + base.mid(position);
        if (ch.unicode() >= 32 && m_filter(current, ch, false))
            accepted += ch;
    }
    return accepted;
}

QString TableGridEditor::Mapped(const QString& text) const
{
    if (!m_map)
        return text;
    QString mapped = text;
    for (QChar& ch : mapped)
        ch = m_map(ch);
    return mapped;
}

void TableGridEditor::InsertFiltered(const QString& text)
{
    const QString accepted = Filtered(text);
    if (!accepted.isEmpty())
        insert(accepted);
}

void TableGridEditor::PasteFrom(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    InsertFiltered(QGuiApplication::clipboard()->text(mode));
}

void TableGridEditor::keyPressEvent(QKeyEvent* event)
{
    if (m_undoHandler && IsUndoOrRedoKey(event)) {
        event->accept();
        // The handler closes this editor; the view deletes it later.
        const UndoHandler handler = m_undoHandler;
        handler(!event->matches(QKeySequence::Undo));
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteFrom(QClipboard::Clipboard);
        event->accept();
        return;
    }
    if (TypesCharacter(event)) {
        const QString text = event->text();
        for (const QChar ch : text) {
            if (!m_filter(this->text(), ch, hasSelectedText())) {
                event->accept(); // discarded
                return;
            }
        }
        if (Mapped(text) != text) {
            insert(Mapped(text));
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TableGridEditor::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    const QString accepted = commit.isEmpty() ? commit : Filtered(commit);
    if (accepted == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
}

void TableGridEditor::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's Paste would insert the clipboard unchecked: route it through the filter.
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { PasteFrom(QClipboard::Clipboard); });
        }
    }
    menu->exec(event->globalPos());
    event->accept();
}

void TableGridEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        PasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

TableGridDelegate::TableGridDelegate(TableGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* TableGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    TableGrid* grid = m_grid;
    const QPersistentModelIndex cell(index);
    auto* editor = new TableGridEditor(
        parent, index,
        [grid, cell](const QString& text, QChar ch, bool hasSelection) {
            return grid->AcceptKey(cell, text, ch, hasSelection);
        },
        [grid, cell](QChar ch) { return grid->KeyChar(cell, ch); });
    editor->setFont(option.font);
    if (m_grid->HasEditRecorder())
        editor->SetUndoHandler([grid](bool redo) { emit grid->historyRequested(redo); });
    m_grid->EditorCreated(editor, index);
    return editor;
}

void TableGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    m_grid->EditorDestroyed(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
}

void TableGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The cell follows the editor, so it usually holds the same text already;
    // setting it again would move the caret and drop the selection.
    if (line->text() != text)
        line->setText(text);
}

void TableGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    if (index.data(Qt::EditRole).toString() != text)
        model->setData(index, text, Qt::EditRole);
}

void TableGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const
{
    static_cast<TableGridEditor*>(editor)->SetCellRect(option.rect);
}

bool TableGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // Keys that end or move an edit are the grid's; the rest the editor's.
        return m_grid->HandleEditorKey(static_cast<QKeyEvent*>(event));
    case QEvent::FocusOut:
        // The grid decides when its editor closes: a move or leaving the grid
        // commits first, and switching to another window keeps the edit open.
        return false;
    default:
        return QStyledItemDelegate::eventFilter(object, event);
    }
}
