#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QActionGroup;
class QMainWindow;
class QWidget;

// One command at a time in a window. Every command of the window is an action
// in one group (menu items, toolbar buttons, shortcuts and the hidden keys
// alike); while a command runs the group is disabled, so nothing can start a
// second one, and the client area with the tables takes no input. Actions
// added to the window or its menus later (recent files) join the group when
// the next command starts. The window itself stays enabled, so the dialogs a
// command opens over it can be used.
class CommandGate : public QObject
{
    Q_OBJECT

public:
    explicit CommandGate(QMainWindow& window);

    // Makes action one of the window's commands.
    QAction* Add(QAction* action);

    // Runs command with the gate closed. A command run inside another keeps
    // it closed until the outer one has returned.
    void Run(const std::function<void()>& command);
    bool IsRunning() const { return m_depth > 0; }

private:
    void Close();
    void Open();
    void JoinLaterActions();

    QMainWindow& m_window;
    QActionGroup* m_group;
    // The client area, when this gate disabled it.
    QPointer<QWidget> m_disabledArea;
    int m_depth = 0;
};
