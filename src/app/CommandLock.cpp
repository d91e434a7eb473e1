#include "app/CommandLock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include <utility>

namespace {

// Whether the object belongs to the window itself (its menus, toolbars,
// actions and shortcuts), not to a dialog that the running command opened.
bool OwnedBy(const QObject* object, const QWidget* window)
{
    for (; object != nullptr; object = object->parent()) {
        if (object == window)
            return true;
        const auto* widget = qobject_cast<const QWidget*>(object);
        if (widget != nullptr && widget->isWindow() && !qobject_cast<const QMenu*>(widget))
            return false;
    }
    return false;
}

} // namespace

// The filter stays installed for the lock's life: installing one while a
// key press runs through the filters (a hidden key starting a command) would
// hand that key press to the filters before it a second time.
CommandLock::CommandLock(QWidget& window) : QObject(&window), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

CommandLock::~CommandLock()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void CommandLock::Acquire()
{
    if (m_depth++ > 0)
        return;
    DisableParts();
}

void CommandLock::Release()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    EnableParts();
}

void CommandLock::DisableParts()
{
    for (QWidget* part : m_window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (part->isWindow() || part->testAttribute(Qt::WA_ForceDisabled))
            continue;
        part->setEnabled(false);
        m_disabledParts << part;
    }
}

void CommandLock::EnableParts()
{
    for (const QPointer<QWidget>& part : std::exchange(m_disabledParts, {}))
        if (part)
            part->setEnabled(true);
}

bool CommandLock::eventFilter(QObject* watched, QEvent* event)
{
    // A shortcut reaches its action (or QShortcut) as an event of its own,
    // even when the window that owns it is disabled.
    return m_depth > 0 && event->type() == QEvent::Shortcut && OwnedBy(watched, &m_window);
}
