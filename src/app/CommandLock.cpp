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

CommandLock::CommandLock(QWidget& window) : QObject(&window), m_window(window) {}

CommandLock::~CommandLock()
{
    if (m_depth > 0)
        QCoreApplication::instance()->removeEventFilter(this);
}

void CommandLock::Acquire()
{
    if (m_depth++ > 0)
        return;
    QCoreApplication::instance()->installEventFilter(this);
}

void CommandLock::Release()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
}

bool CommandLock::eventFilter(QObject* watched, QEvent* event)
{
    // A shortcut reaches its action (or QShortcut) as an event of its own,
    // even when the window that owns it is disabled.
    return event->type() == QEvent::Shortcut && OwnedBy(watched, &m_window);
}
