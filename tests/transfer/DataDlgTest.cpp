#include "dialogs/RadioGroup.h"
#include "dialogs/DataDlg.h"
#include "transfer/DialogInput.h"
#include "transfer/DialogMessageRecorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Range = MemoryRangeChoice;

TEST(MemoryRangeInputTest, BaseIsHexadecimalCountDecimalAndTheRangeMustBeAddressable)
{
    EXPECT_EQ(MemoryRangeInput::Parse(Range::RAM, "1a", "16"), (Range{Range::RAM, 26, 16}));
    EXPECT_EQ(MemoryRangeInput::Parse(Range::FISCAL, "FFF8", "8"), (Range{Range::FISCAL, 0xFFF8, 8}));
    EXPECT_TRUE(MemoryRangeInput::Parse(Range::ROM, "0", "65536"));
    for (const auto& [base, count] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "8"}, {"0x10", "8"}, {"100000000", "1"}, {"0", "abc"}, {"0", "0"}, {"0", "-3"},
             {"FFFF", "2"}, {"10000", "1"}})
        EXPECT_FALSE(MemoryRangeInput::Parse(Range::ROM, base, count)) << base << " / " << count;
}

TEST(MemoryRangeInputTest, BaseFieldTakesControlKeysAndHexDigitsOnly)
{
    for (const char key : {'\b', '\x1b', '0', '9', 'A', 'F', 'a', 'f'})
        EXPECT_TRUE(TDataDlg::Edit1KeyPress(QChar::fromLatin1(key))) << int(key);
    for (const char key : {'G', 'g', ' ', '-', 'x'})
        EXPECT_FALSE(TDataDlg::Edit1KeyPress(QChar::fromLatin1(key))) << key;
}

class DataDlgTest : public testing::Test
{
protected:
    QLineEdit* Field(const char* name) { return dialog.findChild<QLineEdit*>(name); }

    bool RunAndPress(const char* button, std::function<void()> before = [] {})
    {
        QTimer::singleShot(0, &dialog, [=, this] {
            before();
            dialog.findChild<QPushButton*>(button)->click();
        });
        return dialog.Run();
    }

    DialogMessageRecorder messages;
    TDataDlg dialog{messages};
};

TEST_F(DataDlgTest, OkTakesTheAreaAndFields)
{
    EXPECT_TRUE(RunAndPress("OKBtn"));
    EXPECT_EQ(dialog.Choice(), (Range{Range::ROM, 0, 8}));
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        dialog.findChild<TRadioGroup*>("RadioGroup1")->SetItemIndex(Range::FISCAL);
        Field("Edit1")->setText("2a");
        Field("Edit2")->setText("3");
    }));
    EXPECT_EQ(dialog.Choice(), (Range{Range::FISCAL, 0x2A, 3}));
    EXPECT_EQ(messages.beeps, 0);
}

TEST_F(DataDlgTest, UnusableFieldsBeepAndCancelIsQuiet)
{
    EXPECT_FALSE(RunAndPress("OKBtn", [&] { Field("Edit2")->setText("0"); }));
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_FALSE(RunAndPress("CancelBtn"));
    EXPECT_EQ(messages.beeps, 1);
}

TEST_F(DataDlgTest, BaseFieldDiscardsTypedKeysThatAreNoHexDigits)
{
    QLineEdit* base = Field("Edit1");
    base->setEnabled(true);
    base->clear();
    QTest::keyClicks(base, "1g-Az");
    QTest::keyClick(base, Qt::Key_Backspace);
    EXPECT_EQ(base->text(), "1");
}

} // namespace
