#include "transfer/ProgressForm.h"
#include "transfer/DialogMessageRecorder.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Mode = IProgress::Mode;
using State = IProgress::State;

class ProgressFormTest : public testing::Test
{
protected:
    QWidget mainWindow;
    DialogMessageRecorder messages;
    TProgressForm form{&mainWindow, messages};

    QString Label(const char* name) { return form.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(QString::fromLatin1(name)); }
    QProgressBar* Bar() { return form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")); }
    QColor StatusBackground()
    {
        return form.findChild<QLabel*>(QStringLiteral("StatusLabel"))->palette().color(QPalette::Window);
    }
};

TEST_F(ProgressFormTest, MainWindowIsDisabledExactlyWhileShown)
{
    mainWindow.show();
    form.SetMargin(5);
    form.SetProgress(3);
    form.Show();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(Button("CancelBtn")->isEnabled());
    EXPECT_EQ(Label("CurLabel"), QStringLiteral("0"));
    EXPECT_EQ(Label("TotalLabel"), QStringLiteral("0"));
    EXPECT_EQ(form.ProgressState(), State::Running);

    form.Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(form.ProgressState(), State::Running);
}

TEST_F(ProgressFormTest, MarginZeroEmptiesTheCountersButKeepsTheBarRange)
{
    form.Show();
    form.SetMargin(12);
    form.SetProgress(7);
    EXPECT_EQ(Label("CurLabel"), QStringLiteral("7"));
    EXPECT_EQ(Label("TotalLabel"), QStringLiteral("12"));
    EXPECT_EQ(Bar()->value(), 7);

    form.SetMargin(0);
    EXPECT_EQ(Label("CurLabel"), QStringLiteral("0"));
    EXPECT_EQ(Label("TotalLabel"), QStringLiteral("0"));
    EXPECT_EQ(Bar()->maximum(), 12);
    EXPECT_EQ(Bar()->value(), 0);

    // A count past the end fills the bar instead of being dropped by it.
    form.SetProgress(15);
    EXPECT_EQ(Label("CurLabel"), QStringLiteral("15"));
    EXPECT_EQ(Bar()->value(), 12);
}

TEST_F(ProgressFormTest, ErrorOffersOkInRedAndNormalModeBringsCancelBack)
{
    form.Show();
    const QColor buttonFace = StatusBackground();
    form.ShowStatus(Mode::Error, QStringLiteral("Download:PLU...Error!"));
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(Label("StatusLabel"), QStringLiteral("Download:PLU...Error!"));
    EXPECT_EQ(StatusBackground(), QColor(Qt::red));
    EXPECT_FALSE(Button("OKBtn")->isHidden());
    EXPECT_TRUE(Button("CancelBtn")->isHidden());
    EXPECT_EQ(form.ProgressState(), State::ErrorShown);

    form.ShowStatus(Mode::Normal, QStringLiteral("Upload:department..."));
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(StatusBackground(), buttonFace);
    EXPECT_TRUE(Button("OKBtn")->isHidden());
    EXPECT_FALSE(Button("CancelBtn")->isHidden());
    EXPECT_EQ(form.ProgressState(), State::Running);
}

TEST_F(ProgressFormTest, CancelAbortsHidesAndDropsLaterStatusTexts)
{
    int aborts = 0;
    form.SetCancelHandler([&] { ++aborts; });
    form.Show();
    form.ShowStatus(Mode::Normal, QStringLiteral("Connect..."));
    Button("CancelBtn")->click();
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(form.ProgressState(), State::Dismissed);

    form.ShowStatus(Mode::Error, QStringLiteral("Connect...Error!"));
    EXPECT_EQ(messages.beeps, 0);
    EXPECT_EQ(Label("StatusLabel"), QStringLiteral("Connect..."));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
    form.WaitDismissed();
}

TEST_F(ProgressFormTest, WaitDismissedReturnsWhenTheOperatorPressesOk)
{
    form.Show();
    form.ShowStatus(Mode::Error, QStringLiteral("Check ecr status...Error!"));
    QTimer::singleShot(0, &form, [&] { Button("OKBtn")->click(); });
    form.WaitDismissed();
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());

    // The next transfer starts from a clean window.
    form.Show();
    EXPECT_EQ(form.ProgressState(), State::Running);
    EXPECT_TRUE(Button("OKBtn")->isHidden());
    EXPECT_FALSE(Button("CancelBtn")->isHidden());
    EXPECT_TRUE(Label("StatusLabel").isEmpty());
}

TEST_F(ProgressFormTest, NeitherEscapeNorTheWindowSystemClosesIt)
{
    int aborts = 0;
    form.SetCancelHandler([&] { ++aborts; });
    form.Show();
    QTest::keyClick(&form, Qt::Key_Escape);
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(aborts, 0);
    EXPECT_EQ(form.ProgressState(), State::Running);
}

TEST_F(ProgressFormTest, WaitingOnAHiddenWindowDoesNotHang)
{
    form.ShowStatus(Mode::Error, QStringLiteral("Error"));
    form.WaitDismissed();
    EXPECT_EQ(form.ProgressState(), State::ErrorShown);
}

} // namespace
