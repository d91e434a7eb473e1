#include "transfer/DialogInput.h"
#include "transfer/DialogMessageRecorder.h"
#include "dialogs/RangeSpinEdit.h"
#include "dialogs/uprange.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(PluRangeInputTest, TextsThatAreNoNumberCountAsOneButOverlongNumbersAreRefused)
{
    EXPECT_EQ(PluRangeInput::FieldValue(""), 1);
    EXPECT_EQ(PluRangeInput::FieldValue("12x"), 1);
    EXPECT_EQ(PluRangeInput::FieldValue(" 42 "), 42);
    EXPECT_FALSE(PluRangeInput::IsValid(1, PluRangeInput::FieldValue("99999999999")));
    EXPECT_TRUE(PluRangeInput::IsValid(7, 7));
    EXPECT_FALSE(PluRangeInput::IsValid(0, 5));
    EXPECT_FALSE(PluRangeInput::IsValid(5, 3001));
}

class TransferRangeDlgTest : public testing::Test
{
protected:
    TRangeSpinEdit* From() { return dialog.findChild<TRangeSpinEdit*>("RangeBeginEdit"); }
    TRangeSpinEdit* To() { return dialog.findChild<TRangeSpinEdit*>("RangeEndEdit"); }
    QListWidgetItem* Item(int row) { return dialog.findChild<QListWidget*>("CheckListBox1")->item(row); }
    void Press(const char* button) { dialog.findChild<QPushButton*>(button)->click(); }

    // Runs the dialog while `operate` plays the operator inside its loop.
    bool RunWith(std::function<void()> operate)
    {
        QTimer::singleShot(0, &dialog, std::move(operate));
        return dialog.Run();
    }

    DialogMessageRecorder messages;
    TDownloadDlg dialog{messages};
};

TEST_F(TransferRangeDlgTest, SecondRunHasNoTicksButKeepsTheRangeAndCancelKeepsTheLastChoice)
{
    QString initialRange;
    EXPECT_TRUE(RunWith([&] {
        initialRange = From()->text() + "-" + To()->text();
        Item(0)->setCheckState(Qt::Checked);
        Item(2)->setCheckState(Qt::Checked);
        From()->SetText("5");
        To()->SetText("6");
        Press("OKBtn");
    }));
    EXPECT_EQ(initialRange, "1-3000");
    EXPECT_EQ(dialog.DownloadSelection(), 0b101u);

    QString secondRun;
    EXPECT_FALSE(RunWith([&] {
        secondRun = Item(2)->text() + (Item(0)->checkState() || Item(2)->checkState() ? " ticked " : " ")
                    + From()->text() + "-" + To()->text();
        Item(1)->setCheckState(Qt::Checked);
        Press("CancelBtn");
    }));
    EXPECT_EQ(secondRun, "parameter 5-6");
    EXPECT_EQ(dialog.DownloadSelection(), 0b101u);
    EXPECT_EQ(dialog.RangeBegin(), 5);
    EXPECT_EQ(dialog.RangeEnd(), 6);
}

TEST_F(TransferRangeDlgTest, ReversedRangeIsRefusedAndTheDialogStaysOpen)
{
    bool stayedOpen = false;
    EXPECT_TRUE(RunWith([&] {
        Item(0)->setCheckState(Qt::Checked);
        From()->SetText("3000");
        To()->SetText("1");
        Press("OKBtn");
        stayedOpen = dialog.isVisible() && From()->text() == "3000";
        To()->SetText("3000");
        Press("OKBtn");
    }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.informations, QStringList{"Invalid PLU range"});
    EXPECT_EQ(dialog.RangeBegin(), 3000);
}

// Nothing ticked would connect, log in and out and end as if done.
TEST_F(TransferRangeDlgTest, OkWaitsForATickedTableAtEveryRun)
{
    QPushButton* ok = dialog.findChild<QPushButton*>("OKBtn");
    bool enabledUnticked = true;
    bool enabledTicked = false;
    bool enabledUntickedAgain = true;
    bool openAfterAccept = false;
    EXPECT_TRUE(RunWith([&] {
        enabledUnticked = ok->isEnabled();
        dialog.accept();
        openAfterAccept = dialog.isVisible();
        Item(1)->setCheckState(Qt::Checked);
        enabledTicked = ok->isEnabled();
        Item(1)->setCheckState(Qt::Unchecked);
        enabledUntickedAgain = ok->isEnabled();
        Item(2)->setCheckState(Qt::Checked);
        Press("OKBtn");
    }));
    EXPECT_FALSE(enabledUnticked);
    EXPECT_TRUE(openAfterAccept) << "accepting with nothing ticked keeps the dialog open";
    EXPECT_TRUE(enabledTicked);
    EXPECT_FALSE(enabledUntickedAgain);
    EXPECT_EQ(dialog.DownloadSelection(), 0b100u);

    // The ticks of the last run are gone, so OK waits again.
    bool enabledAtSecondRun = true;
    EXPECT_FALSE(RunWith([&] {
        enabledAtSecondRun = ok->isEnabled();
        Press("CancelBtn");
    }));
    EXPECT_FALSE(enabledAtSecondRun);

    TCompareDlg compare(messages);
    QTimer::singleShot(0, &compare, [&] {
        enabledAtSecondRun = compare.findChild<QPushButton*>("OKBtn")->isEnabled();
        compare.reject();
    });
    EXPECT_FALSE(compare.Run());
    EXPECT_FALSE(enabledAtSecondRun) << "the compare dialog waits for a table too";
}

TEST_F(TransferRangeDlgTest, CloseCheckCountsAnEmptiedFieldAsOneAndRefusesZero)
{
    From()->SetText("");
    To()->SetText("8");
    EXPECT_TRUE(dialog.FormCloseQuery());
    EXPECT_EQ(dialog.RangeBegin(), 1);
    From()->SetText("0");
    EXPECT_FALSE(dialog.FormCloseQuery());
    EXPECT_EQ(messages.informations.size(), 1);
    EXPECT_EQ(dialog.RangeBegin(), 1);
}

TEST_F(TransferRangeDlgTest, FieldsKeepTypedTextAndStepWithinTheRange)
{
    From()->setFocus();
    From()->SetText("");
    QTest::keyClicks(From(), "x0y9z");
    EXPECT_EQ(From()->text(), "x0y9");
    QTest::keyClick(From(), Qt::Key_Up);
    EXPECT_EQ(From()->text(), "2");
    To()->stepBy(1);
    EXPECT_EQ(To()->text(), "3000");
    To()->stepBy(-10);
    EXPECT_EQ(To()->text(), "2990");
}

TEST(UploadDlgTest, ShowsTheCurrentChoiceNamesAtEveryRun)
{
    DialogMessageRecorder messages;
    QStringList tips{"A", "B", "C"};
    TUploadDlg dialog(messages, nullptr, [&] { return tips; });
    tips[1] = "Abteilung";
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        QListWidgetItem* item = dialog.findChild<QListWidget*>("CheckListBox1")->item(1);
        shown = item->text();
        item->setCheckState(Qt::Checked);
        dialog.findChild<QPushButton*>("OKBtn")->click();
    });
    EXPECT_TRUE(dialog.Run());
    EXPECT_EQ(shown, "Abteilung");
    EXPECT_EQ(dialog.UploadSelection(), 0b010u);
}

} // namespace
