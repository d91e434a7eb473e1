#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Keeps every command of a window from starting while one runs: its parts
// (menu bar, toolbars, client area, status bar, whoever added them) are
// disabled, and shortcuts of its actions and shortcut objects are swallowed,
// whoever added them. The window itself stays enabled, since a disabled
// window would disable the dialogs the running command opens over it.
// Nested locks count; the parts are enabled again when the last one ends.
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
    void DisableParts();
    void EnableParts();

    QWidget& m_window;
    // The parts this lock disabled; one disabled by the program stays so.
    QList<QPointer<QWidget>> m_disabledParts;
    int m_depth = 0;
};
