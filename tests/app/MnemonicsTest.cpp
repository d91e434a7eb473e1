// No two entries of a menu, and no two controls of a dialog, share an Alt
// letter, in English and in each shipped language. The test walks whatever
// the window has: every menu of the menu bar, every window it registers, and
// every dialog an action opens, so menus and dialogs added later are checked
// without a change here.
#include "app/Main.h"

#include "AppTestSupport.h"
#include "WindowWalk.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <map>

namespace {

// The letter after a single '&' (lower case), or nothing.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// "letter: text, text" for every letter taken more than once.
QStringList Clashes(const QList<std::pair<QString, QString>>& labelled)
{
    std::map<QChar, QStringList> byLetter;
    for (const auto& [where, text] : labelled)
        if (const QChar letter = Mnemonic(text); !letter.isNull())
            byLetter[letter] << where + u' ' + text;
    QStringList clashes;
    for (const auto& [letter, texts] : byLetter)
        if (texts.size() > 1)
            clashes << QStringLiteral("%1: %2").arg(letter).arg(texts.join(QStringLiteral(", ")));
    return clashes;
}

void CheckMenu(const QString& title, const QList<QAction*>& actions, QStringList* problems)
{
    QList<std::pair<QString, QString>> labelled;
    for (QAction* action : actions) {
        if (action->isSeparator())
            continue;
        labelled.append({action->objectName(), action->text()});
        if (QMenu* sub = action->menu())
            CheckMenu(action->text(), sub->actions(), problems);
    }
    for (const QString& clash : Clashes(labelled))
        problems->append(title + QStringLiteral(" menu, ") + clash);
}

// The controls an operator reaches by Alt+letter in a shown window.
void CheckWindow(QWidget& window, QStringList* problems)
{
    QList<std::pair<QString, QString>> labelled;
    const auto shown = [&window](const QWidget* widget) { return widget->isVisibleTo(&window); };
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (shown(button))
            labelled.append({button->objectName(), button->text()});
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (shown(label) && label->buddy() != nullptr)
            labelled.append({label->objectName(), label->text()});
    for (const QGroupBox* group : window.findChildren<QGroupBox*>())
        if (shown(group) && group->isCheckable())
            labelled.append({group->objectName(), group->title()});
    for (const QTabBar* tabs : window.findChildren<QTabBar*>())
        for (int i = 0; shown(tabs) && i < tabs->count(); ++i)
            labelled.append({tabs->objectName(), tabs->tabText(i)});
    const QString name = QString::fromLatin1(window.metaObject()->className()) + u' ' + window.objectName();
    for (const QString& clash : Clashes(labelled))
        problems->append(name + QStringLiteral(": ") + clash);
}

class MnemonicsTest : public WindowWalk::Fixture, public ::testing::WithParamInterface<const char*>
{
protected:
    void SetUp() override
    {
        WindowWalk::Fixture::SetUp();
        const QString code = QString::fromLatin1(GetParam());
        ShowForm(code.isEmpty() ? QString() : QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/%1.LNG").arg(code));
    }
};

TEST_P(MnemonicsTest, NoMenuHasTwoEntriesWithTheSameLetter)
{
    QStringList problems;
    CheckMenu(QStringLiteral("Main"), m_form->menuBar()->actions(), &problems);
    EXPECT_EQ(problems.join(u'\n').toStdString(), "");
}

TEST_P(MnemonicsTest, NoWindowTheProgramCreatesHasTwoControlsWithTheSameLetter)
{
    QStringList problems;
    WindowWalk::RegisteredWindows(*m_form, [&](QWidget& window) { CheckWindow(window, &problems); });
    EXPECT_EQ(problems.join(u'\n').toStdString(), "");
}

TEST_P(MnemonicsTest, NoDialogACommandOpensHasTwoControlsWithTheSameLetter)
{
    QStringList problems;
    QStringList opened;
    WindowWalk::CommandWindows(*m_form, [&](QWidget& window) {
        opened << window.objectName();
        CheckWindow(window, &problems);
    });
    EXPECT_EQ(problems.join(u'\n').toStdString(), "");
    // The walk reached the dialogs behind the menus.
    for (const char* name : {"CommDlg", "DownloadDlg", "UploadDlg", "ParaDlg", "AboutBox", "PriceChangeDlg"})
        EXPECT_TRUE(opened.contains(QLatin1String(name))) << name << " not opened; opened: "
                                                          << opened.join(u',').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, MnemonicsTest, ::testing::Values("", "de", "fr"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             const std::string code = info.param;
                             return code.empty() ? std::string("English") : code;
                         });

} // namespace
