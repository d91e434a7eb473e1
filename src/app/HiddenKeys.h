#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Lets a window see its keys before the focused control does: every key press
// that reaches `window` is shown to `handler` first and then delivered
// unchanged. Keys of other windows (an open dialog) are not shown.
class KeyPreview : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

    KeyPreview(QWidget& window, Handler handler);
    ~KeyPreview() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    Handler m_handler;
    // The key press just handled, while it still runs through the filters.
    const QEvent* m_lastPress = nullptr;
};
