#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Keeps every command of a window from starting while one runs: its parts
// are disabled (menu bar, toolbars, client area, whoever added them), and
// shortcuts of its actions and
// shortcut objects are swallowed, whoever added them. Nested locks count;
// the window is enabled again when the last one ends.
class CommandLock : public QObject
{
    Q_OBJECT
public:
    explicit CommandLock(QWidget& window);
    ~CommandLock() override;

    void Acquire();
    void Release();
    bool IsHeld() const { return m_depth > 0; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    int m_depth = 0;
};
