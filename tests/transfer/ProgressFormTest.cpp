#include "transfer/DialogMessageRecorder.h"
#include "dialogs/ProgressForm.h"

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
    QLabel* Label(const char* name) { return form.findChild<QLabel*>(name); }
    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(name); }
    QProgressBar* Bar() { return form.findChild<QProgressBar*>("ProgressBar1"); }
    QColor StatusBackground() { return Label("StatusLabel")->palette().color(QPalette::Window); }

    QWidget mainWindow;
    DialogMessageRecorder messages;
    TProgressForm form{&mainWindow, messages};
    int aborts = 0;
    void SetUp() override { form.SetCancelHandler([this] { ++aborts; }); }
};

TEST_F(ProgressFormTest, MainWindowIsDisabledExactlyWhileShownAndOnlyItsButtonsEndIt)
{
    form.SetMargin(5);
    form.SetProgress(3);
    form.Show();
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(Button("CancelBtn")->isEnabled());
    EXPECT_EQ(Label("CurLabel")->text() + Label("TotalLabel")->text(), "00");

    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(aborts, 0);

    form.Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(form.ProgressState(), State::Running);
}

// Escape is the button shown: Cancel while a step runs, OK on an error.
TEST_F(ProgressFormTest, EscapeIsCancelOrOk)
{
    form.Show();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
    EXPECT_FALSE(form.isVisible());

    form.Show();
    form.ShowStatus(Mode::Error, "Connect...Error!");
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(aborts, 1) << "OK aborts nothing";
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
}

// The cause goes below the error and leaves with it; the times show the
// elapsed time at once and the time left after twenty packages.
TEST_F(ProgressFormTest, TheCauseBelowTheErrorAndTheTimes)
{
    form.Show();
    form.SetLineRate(115200);
    EXPECT_EQ(Label("ElapsedLabel")->text(), "0:00");
    form.SetMargin(100);
    form.SetProgress(5);
    EXPECT_TRUE(Label("TimeLeftLabel")->text().isEmpty());
    form.SetProgress(30);
    EXPECT_TRUE(Label("TimeLeftLabel")->text().startsWith("about ")) << qPrintable(Label("TimeLeftLabel")->text());

    form.ShowStatus(Mode::Error, "Download:PLU...Error!");
    EXPECT_TRUE(Label("TimeLeftLabel")->text().isEmpty()) << "no time is left after an error";
    form.ShowCause("The register refused the package (NAK).");
    EXPECT_FALSE(Label("CauseLabel")->isHidden());
    EXPECT_EQ(Label("CauseLabel")->text(), "The register refused the package (NAK).");
    form.ShowStatus(Mode::Normal, "Upload:department...");
    EXPECT_TRUE(Label("CauseLabel")->isHidden());

    form.ShowStatus(Mode::Error, "Connect...Error!");
    Button("OKBtn")->click();
    form.ShowCause("late");
    EXPECT_NE(Label("CauseLabel")->text(), "late") << "nothing is shown once dismissed";
    form.Show();
    EXPECT_TRUE(Label("CauseLabel")->isHidden());
}

TEST_F(ProgressFormTest, MarginZeroEmptiesTheCountersButKeepsTheBarRange)
{
    form.Show();
    form.SetMargin(12);
    form.SetProgress(7);
    EXPECT_EQ(Label("CurLabel")->text() + "/" + Label("TotalLabel")->text(), "7/12");
    form.SetMargin(0);
    EXPECT_EQ(Label("CurLabel")->text() + "/" + Label("TotalLabel")->text(), "0/0");
    EXPECT_EQ(Bar()->maximum(), 12);
    EXPECT_EQ(Bar()->value(), 0);
    // A count past the end fills the bar instead of being dropped by it.
    form.SetProgress(15);
    EXPECT_EQ(Bar()->value(), 12);
}

TEST_F(ProgressFormTest, ErrorOffersOkInRedAndNormalModeBringsCancelBack)
{
    form.Show();
    const QColor buttonFace = StatusBackground();
    form.ShowStatus(Mode::Error, "Download:PLU...Error!");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(Label("StatusLabel")->text(), "Download:PLU...Error!");
    EXPECT_EQ(StatusBackground(), QColor(Qt::red));
    EXPECT_TRUE(!Button("OKBtn")->isHidden() && Button("CancelBtn")->isHidden());
    EXPECT_EQ(form.ProgressState(), State::ErrorShown);

    form.ShowStatus(Mode::Normal, "Upload:department...");
    EXPECT_EQ(StatusBackground(), buttonFace);
    EXPECT_TRUE(Button("OKBtn")->isHidden() && !Button("CancelBtn")->isHidden());
    EXPECT_EQ(form.ProgressState(), State::Running);
}

TEST_F(ProgressFormTest, CancelAbortsHidesAndDropsLaterStatusTexts)
{
    form.Show();
    form.ShowStatus(Mode::Normal, "Connect...");
    Button("CancelBtn")->click();
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(form.ProgressState(), State::Dismissed);

    form.ShowStatus(Mode::Error, "Connect...Error!");
    EXPECT_EQ(messages.beeps, 0);
    EXPECT_EQ(Label("StatusLabel")->text(), "Connect...");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
}

TEST_F(ProgressFormTest, WaitDismissedReturnsOnOkAndTheNextShowStartsClean)
{
    form.Show();
    form.ShowStatus(Mode::Error, "Check ecr status...Error!");
    QTimer::singleShot(0, &form, [&] { Button("OKBtn")->click(); });
    form.WaitDismissed();
    EXPECT_EQ(form.ProgressState(), State::Dismissed);
    EXPECT_TRUE(!form.isVisible() && mainWindow.isEnabled());

    form.Show();
    EXPECT_EQ(form.ProgressState(), State::Running);
    EXPECT_TRUE(Button("OKBtn")->isHidden() && !Button("CancelBtn")->isHidden());
    EXPECT_TRUE(Label("StatusLabel")->text().isEmpty());

    // Nobody can dismiss a hidden window, so waiting on one returns.
    form.Close();
    form.ShowStatus(Mode::Error, "Error");
    form.WaitDismissed();
    EXPECT_EQ(form.ProgressState(), State::ErrorShown);
}

} // namespace
