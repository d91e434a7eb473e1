#include "app/CommandGate.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>

namespace {

// The window's own actions and those of its menus; not those of edit fields
// (a clear button) or of the dialogs that are the window's children.
bool IsWindowCommand(const QAction& action, const QWidget& window)
{
    for (const QObject* owner = action.parent(); owner != nullptr; owner = owner->parent()) {
        if (owner == &window)
            return true;
        if (!qobject_cast<const QMenu*>(owner) && !qobject_cast<const QMenuBar*>(owner))
            return false;
    }
    return false;
}

} // namespace

CommandGate::CommandGate(QMainWindow& window)
    : QObject(&window), m_window(window), m_group(new QActionGroup(this))
{
    m_group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
}

QAction* CommandGate::Add(QAction* action)
{
    return m_group->addAction(action);
}

void CommandGate::Run(const std::function<void()>& command)
{
    if (m_depth++ == 0)
        Close();
    const auto reopen = qScopeGuard([this] {
        if (--m_depth == 0)
            Open();
    });
    command();
}

void CommandGate::Close()
{
    JoinLaterActions();
    // An action's own enabled state (Undo with nothing to undo) is kept by
    // the group and comes back when it is enabled again.
    m_group->setEnabled(false);
    QWidget* area = m_window.centralWidget();
    if (area != nullptr && !area->testAttribute(Qt::WA_ForceDisabled)) {
        area->setEnabled(false);
        m_disabledArea = area;
    }
}

void CommandGate::Open()
{
    m_group->setEnabled(true);
    if (m_disabledArea)
        m_disabledArea->setEnabled(true);
    m_disabledArea.clear();
}

void CommandGate::JoinLaterActions()
{
    for (QAction* action : m_window.findChildren<QAction*>()) {
        if (action->actionGroup() == nullptr && IsWindowCommand(*action, m_window))
            m_group->addAction(action);
    }
}
