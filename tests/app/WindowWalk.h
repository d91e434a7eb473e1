#pragma once

// Opens whatever the main window can show, for tests that look at every
// window: the windows it registers, and every dialog or window each command
// of its menus and hidden keys opens. Menus and dialogs added later are
// walked without a change here.
#include "app/Main.h"
#include "serial/PortResolver.h"

#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace WindowWalk {

// Windows of this program, not Qt's own (file, print and colour dialogs).
inline bool IsOwnWindow(const QWidget* widget)
{
    return !QString::fromLatin1(widget->metaObject()->className()).startsWith(u'Q');
}

// Every action of the menus and every hidden key, but not Exit.
inline QList<QAction*> Commands(const TMainForm& form)
{
    QList<QAction*> commands;
    QList<QMenu*> menus;
    for (QAction* top : form.menuBar()->actions())
        if (top->menu() != nullptr)
            menus << top->menu();
    while (!menus.isEmpty()) {
        for (QAction* action : menus.takeFirst()->actions()) {
            if (action->menu() != nullptr)
                menus << action->menu();
            else if (!action->isSeparator())
                commands << action;
        }
    }
    for (QAction* action : form.actions())
        if (!commands.contains(action))
            commands << action;
    commands.removeIf([](const QAction* action) { return action->objectName() == u"ExitItem"; });
    return commands;
}

using Visit = std::function<void(QWidget& window)>;

// Shows each window the main window registers (but itself), visits it and
// hides it again.
inline void RegisteredWindows(const TMainForm& form, const Visit& visit)
{
    for (QWidget* window : form.Windows()) {
        if (window == &form)
            continue;
        window->show();
        visit(*window);
        window->hide();
    }
}

// Runs every enabled command. A modal dialog it opens is visited and closed
// from the event loop it runs (the command then goes on as if cancelled);
// windows it shows without waiting are visited and hidden after it returns.
// Qt's own dialogs go to `visitQts` instead, when given. `afterCommand` runs
// once each command is done, with the command.
inline void CommandWindows(TMainForm& form, const Visit& visit,
                           const std::function<void(QAction&)>& afterCommand = {}, const Visit& visitQts = {})
{
    for (QAction* action : Commands(form)) {
        if (!action->isEnabled())
            continue;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible())
                return;
            if (IsOwnWindow(dialog))
                visit(*dialog);
            else if (visitQts)
                visitQts(*dialog);
            dialog->reject();
        });
        watch.start(5);
        action->trigger();
        watch.stop();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window == &form || !window->isVisible() || qobject_cast<QMenu*>(window) != nullptr
                || !IsOwnWindow(window))
                continue;
            visit(*window);
            window->hide();
        }
        if (afterCommand)
            afterCommand(*action);
    }
}

// The main window shown over a fresh program folder for a walk; commands that
// reach for the register fail at once.
class Fixture : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        SetPortResolver([this](const QString&) { return FilePath(QStringLiteral("no-such-tty")); });
    }
    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ProgramDirFixture::TearDown();
    }

    // An empty `languageFile` keeps the program's own.
    void ShowForm(const QString& languageFile)
    {
        m_form = std::make_unique<TMainForm>(&messages, &dialogs);
        if (!languageFile.isEmpty())
            m_form->SetLanguageFilePath(languageFile);
        m_form->CreateWindows(QStringLiteral("Shop"));
        m_form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace WindowWalk
