#include "app/CommandLock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool OwnedBy(const QObject* object, const QObject* owner)
{
    for (; object != nullptr; object = object->parent())
        if (object == owner)
            return true;
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
    m_window.setEnabled(false);
    QCoreApplication::instance()->installEventFilter(this);
}

void CommandLock::Release()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    m_window.setEnabled(true);
}

bool CommandLock::eventFilter(QObject* watched, QEvent* event)
{
    // A shortcut reaches its action (or QShortcut) as an event of its own,
    // even when the window that owns it is disabled.
    return event->type() == QEvent::Shortcut && OwnedBy(watched, &m_window);
}
