#include "app/CommandGate.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A window with two commands on keys, a menu and an edit field as its tables.
class CommandGateTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_window.setCentralWidget(new QLineEdit);
        m_menu = m_window.menuBar()->addMenu(QStringLiteral("&File"));
        m_gate = new CommandGate(m_window);
        m_first = Command(Qt::Key_F9, m_firstRuns);
        m_hidden = Command(QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_F3), m_hiddenRuns);
        m_window.addAction(m_hidden);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QAction* Command(QKeyCombination key, int& runs)
    {
        auto* action = new QAction(QStringLiteral("Command"), &m_window);
        action->setShortcut(key);
        QObject::connect(action, &QAction::triggered, [&runs] { ++runs; });
        m_menu->addAction(action);
        return m_gate->Add(action);
    }

    void Press(QKeyCombination key)
    {
        QTest::keyClick(m_window.windowHandle(), key.key(), key.keyboardModifiers());
    }

    QMainWindow m_window;
    QMenu* m_menu = nullptr;
    CommandGate* m_gate = nullptr;
    QAction* m_first = nullptr;
    QAction* m_hidden = nullptr;
    int m_firstRuns = 0;
    int m_hiddenRuns = 0;
};

TEST_F(CommandGateTest, WhileACommandRunsNoKeyMenuItemOrLaterActionStartsAnother)
{
    int laterRuns = 0;
    auto* later = m_menu->addAction(QStringLiteral("Recent"));
    later->setShortcut(Qt::Key_F11);
    QObject::connect(later, &QAction::triggered, [&laterRuns] { ++laterRuns; });
    auto* undo = new QAction(QStringLiteral("Undo"), &m_window);
    undo->setEnabled(false);
    m_gate->Add(undo);
    QDialog dialog(&m_window);

    bool dialogUsable = false;
    m_gate->Run([&] {
        EXPECT_TRUE(m_gate->IsRunning());
        Press(Qt::Key_F9);
        Press(QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_F3));
        Press(Qt::Key_F11);
        m_first->trigger();
        later->trigger();
        EXPECT_FALSE(m_window.centralWidget()->isEnabled()) << "the tables take no input";
        EXPECT_TRUE(m_window.isEnabled());
        dialogUsable = dialog.isEnabled();
        // A command inside the command keeps the gate closed until the outer one ends.
        m_gate->Run([] {});
        EXPECT_FALSE(m_first->isEnabled());
        // Something to undo now; still not while the command runs.
        undo->setEnabled(true);
        EXPECT_FALSE(undo->isEnabled());
    });
    EXPECT_EQ(m_firstRuns, 0);
    EXPECT_EQ(m_hiddenRuns, 0);
    EXPECT_EQ(laterRuns, 0);
    EXPECT_TRUE(dialogUsable) << "a command's own dialogs stay usable";

    EXPECT_FALSE(m_gate->IsRunning());
    EXPECT_TRUE(m_window.centralWidget()->isEnabled());
    EXPECT_TRUE(undo->isEnabled());
    Press(Qt::Key_F9);
    Press(Qt::Key_F11);
    EXPECT_EQ(m_firstRuns, 1);
    EXPECT_EQ(laterRuns, 1);
}

TEST_F(CommandGateTest, AnActionDisabledBeforeAndAFailingCommandLeaveTheGateAsItWas)
{
    m_first->setEnabled(false);
    EXPECT_THROW(m_gate->Run([] { throw std::runtime_error("failed"); }), std::runtime_error);
    EXPECT_FALSE(m_gate->IsRunning());
    EXPECT_FALSE(m_first->isEnabled()) << "what was disabled before stays so";
    EXPECT_TRUE(m_hidden->isEnabled());
    EXPECT_TRUE(m_window.centralWidget()->isEnabled());
}

// A hidden key's command may install an application event filter (a dialog)
// while the key press is still being handed round: the command runs once per
// press all the same.
TEST_F(CommandGateTest, EachPressOfAHiddenKeyRunsItsCommandOnceEvenWhenItInstallsAFilter)
{
    QObject filter;
    QObject::connect(m_hidden, &QAction::triggered, [&] {
        m_gate->Run([&] { QApplication::instance()->installEventFilter(&filter); });
    });
    const QKeyCombination key(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_F3);
    Press(key);
    Press(key);
    EXPECT_EQ(m_hiddenRuns, 2);
}

} // namespace
