#include "transfer/DialogInput.h"
#include "transfer/RangeSpinEdit.h"
#include "transfer/uprange.h"
#include "transfer/DialogMessageRecorder.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(PluRangeInputTest, TextsThatAreNoNumberCountAsOneButOverlongNumbersAreRefused)
{
    EXPECT_EQ(PluRangeInput::FieldValue(QString()), 1);
    EXPECT_EQ(PluRangeInput::FieldValue(QStringLiteral("abc")), 1);
    EXPECT_EQ(PluRangeInput::FieldValue(QStringLiteral("12x")), 1);
    EXPECT_EQ(PluRangeInput::FieldValue(QStringLiteral(" 42 ")), 42);
    EXPECT_EQ(PluRangeInput::FieldValue(QStringLiteral("0")), 0);
    EXPECT_FALSE(PluRangeInput::IsValid(1, PluRangeInput::FieldValue(QStringLiteral("99999999999"))));

    EXPECT_TRUE(PluRangeInput::IsValid(1, 3000));
    EXPECT_TRUE(PluRangeInput::IsValid(7, 7));
    EXPECT_FALSE(PluRangeInput::IsValid(3000, 1));
    EXPECT_FALSE(PluRangeInput::IsValid(0, 5));
    EXPECT_FALSE(PluRangeInput::IsValid(5, 3001));
}

class TransferRangeDlgTest : public testing::Test
{
protected:
    DialogMessageRecorder messages;
    TDownloadDlg dialog{messages};

    TRangeSpinEdit* From() { return dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeBeginEdit")); }
    TRangeSpinEdit* To() { return dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit")); }
    QListWidget* Items() { return dialog.findChild<QListWidget*>(QStringLiteral("CheckListBox1")); }
    void Press(const char* button)
    {
        dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }

    // Runs the dialog while `operate` plays the operator inside its loop.
    bool RunWith(std::function<void()> operate)
    {
        QTimer::singleShot(0, &dialog, std::move(operate));
        return dialog.Run();
    }
};

TEST_F(TransferRangeDlgTest, StartsWithTheWholeRange)
{
    EXPECT_EQ(From()->text(), QStringLiteral("1"));
    EXPECT_EQ(To()->text(), QStringLiteral("3000"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Download data"));
}

TEST_F(TransferRangeDlgTest, OkGivesTheTickedTablesAndTheRange)
{
    const bool ok = RunWith([&] {
        ASSERT_EQ(Items()->count(), 3);
        EXPECT_EQ(Items()->item(2)->text(), QStringLiteral("parameter"));
        Items()->item(0)->setCheckState(Qt::Checked);
        Items()->item(2)->setCheckState(Qt::Checked);
        From()->SetText(QStringLiteral("10"));
        To()->SetText(QStringLiteral("20"));
        Press("OKBtn");
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.DownloadSelection(), 0b101u);
    EXPECT_EQ(dialog.RangeBegin(), 10);
    EXPECT_EQ(dialog.RangeEnd(), 20);
    EXPECT_TRUE(messages.informations.isEmpty());
}

TEST_F(TransferRangeDlgTest, SecondRunHasNoTicksButKeepsTheRangeAndCancelKeepsTheLastChoice)
{
    RunWith([&] {
        Items()->item(1)->setCheckState(Qt::Checked);
        From()->SetText(QStringLiteral("5"));
        To()->SetText(QStringLiteral("6"));
        Press("OKBtn");
    });
    int ticked = -1;
    QString from, to;
    const bool ok = RunWith([&] {
        ticked = 0;
        for (int i = 0; i < Items()->count(); ++i)
            ticked += Items()->item(i)->checkState() == Qt::Checked;
        from = From()->text();
        to = To()->text();
        Items()->item(0)->setCheckState(Qt::Checked);
        Press("CancelBtn");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(ticked, 0);
    EXPECT_EQ(from, QStringLiteral("5"));
    EXPECT_EQ(to, QStringLiteral("6"));
    EXPECT_EQ(dialog.DownloadSelection(), 0b010u);
    EXPECT_EQ(dialog.RangeBegin(), 5);
}

TEST_F(TransferRangeDlgTest, ReversedRangeIsRefusedAndTheDialogStaysOpen)
{
    bool stayedOpen = false;
    const bool ok = RunWith([&] {
        From()->SetText(QStringLiteral("3000"));
        To()->SetText(QStringLiteral("1"));
        Press("OKBtn");
        stayedOpen = dialog.isVisible();
        EXPECT_EQ(From()->text(), QStringLiteral("3000"));
        To()->SetText(QStringLiteral("3000"));
        Press("OKBtn");
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.informations, QStringList{QStringLiteral("Invalid PLU range")});
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.RangeBegin(), 3000);
    EXPECT_EQ(dialog.RangeEnd(), 3000);
}

TEST_F(TransferRangeDlgTest, CloseCheckCountsAnEmptiedFieldAsOneAndRefusesZero)
{
    From()->SetText(QString());
    To()->SetText(QStringLiteral("8"));
    EXPECT_TRUE(dialog.FormCloseQuery());
    EXPECT_EQ(dialog.RangeBegin(), 1);
    EXPECT_EQ(dialog.RangeEnd(), 8);

    From()->SetText(QStringLiteral("0"));
    EXPECT_FALSE(dialog.FormCloseQuery());
    EXPECT_EQ(messages.informations.size(), 1);
    // A refused range is not taken.
    EXPECT_EQ(dialog.RangeBegin(), 1);
}

TEST_F(TransferRangeDlgTest, FieldsKeepTypedTextAndStepWithinTheRange)
{
    From()->setFocus();
    From()->SetText(QString());
    QTest::keyClicks(From(), QStringLiteral("x0y9z"));
    EXPECT_EQ(From()->text(), QStringLiteral("x0y9"));

    QTest::keyClick(From(), Qt::Key_Up);
    EXPECT_EQ(From()->text(), QStringLiteral("2"));
    To()->SetText(QStringLiteral("3000"));
    To()->stepBy(1);
    EXPECT_EQ(To()->text(), QStringLiteral("3000"));
    To()->stepBy(-10);
    EXPECT_EQ(To()->text(), QStringLiteral("2990"));
}

TEST(UploadDlgTest, ShowsTheCurrentChoiceNamesAtEveryRun)
{
    DialogMessageRecorder messages;
    QStringList tips{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    TUploadDlg dialog(messages, nullptr, [&] { return tips; });
    tips[1] = QStringLiteral("Abteilung");
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        auto* items = dialog.findChild<QListWidget*>(QStringLiteral("CheckListBox1"));
        shown = items->item(1)->text();
        items->item(1)->setCheckState(Qt::Checked);
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    EXPECT_TRUE(dialog.Run());
    EXPECT_EQ(shown, QStringLiteral("Abteilung"));
    EXPECT_EQ(dialog.UploadSelection(), 0b010u);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("UploadDlg"));
}

} // namespace
