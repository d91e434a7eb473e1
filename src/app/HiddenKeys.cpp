#include "app/HiddenKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

KeyPreview::KeyPreview(QWidget& window, Handler handler)
    : QObject(&window), m_window(window), m_handler(std::move(handler))
{
    QCoreApplication::instance()->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    // A key press reaches the native window once, before it is handed to the
    // focused widget and then up its parents; looking at it there sees every
    // key exactly once.
    //
    // A filter installed while the handler runs (by the command a key
    // started) makes the filters after it see the same press once more,
    // straight away: that second look is skipped.
    if (event == m_lastPress)
        return false;
    m_lastPress = nullptr;
    if (event->type() == QEvent::KeyPress && watched == m_window.windowHandle()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        m_handler(key->key(), key->modifiers());
        m_lastPress = event;
    }
    return false;
}
