#include "settings/RadioGroup.h"
#include "transfer/DataDlg.h"
#include "transfer/DialogInput.h"
#include "transfer/DialogMessageRecorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Range = MemoryRangeChoice;

TEST(MemoryRangeInputTest, BaseIsHexadecimalAndCountDecimal)
{
    EXPECT_EQ(MemoryRangeInput::Parse(Range::RAM, QStringLiteral("1A"), QStringLiteral("16")),
              (Range{Range::RAM, 26, 16}));
    EXPECT_EQ(MemoryRangeInput::Parse(Range::ROM, QStringLiteral("ff"), QStringLiteral("1")),
              (Range{Range::ROM, 255, 1}));
    EXPECT_EQ(MemoryRangeInput::Parse(Range::FISCAL, QStringLiteral("FFF8"), QStringLiteral("8")),
              (Range{Range::FISCAL, 0xFFF8, 8}));
}

TEST(MemoryRangeInputTest, RefusesWhatDoesNotConvertAndRangesTheRegisterCannotAddress)
{
    for (const auto& [base, count] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "8"}, {"xyz", "8"}, {"0x10", "8"}, {"100000000", "1"},
             {"0", ""}, {"0", "abc"}, {"0", "0"}, {"0", "-3"},
             {"FFFF", "2"}, {"10000", "1"}, {"0", "65537"}}) {
        EXPECT_FALSE(MemoryRangeInput::Parse(Range::ROM, QString::fromLatin1(base), QString::fromLatin1(count)))
            << base << " / " << count;
    }
    EXPECT_TRUE(MemoryRangeInput::Parse(Range::ROM, QStringLiteral("0"), QStringLiteral("65536")));
}

TEST(MemoryRangeInputTest, BaseFieldTakesControlKeysAndHexDigitsOnly)
{
    for (const char key : {'\b', '\r', '\x1b', '0', '9', 'A', 'F', 'a', 'f'})
        EXPECT_TRUE(TDataDlg::Edit1KeyPress(QChar::fromLatin1(key))) << int(key);
    for (const char key : {'G', 'g', ' ', '-', 'x', '$'})
        EXPECT_FALSE(TDataDlg::Edit1KeyPress(QChar::fromLatin1(key))) << key;
}

class DataDlgTest : public testing::Test
{
protected:
    DialogMessageRecorder messages;
    TDataDlg dialog{messages};

    QLineEdit* Field(const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    TRadioGroup* Areas() { return dialog.findChild<TRadioGroup*>(QStringLiteral("RadioGroup1")); }

    bool RunAndPress(const char* button, std::function<void()> before = {})
    {
        QTimer::singleShot(0, &dialog, [=, this] {
            if (before)
                before();
            dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        return dialog.Run();
    }
};

TEST_F(DataDlgTest, OkWithTheInitialFieldsGivesEightRomBlocksFromZero)
{
    EXPECT_FALSE(Field("Edit1")->isEnabled());
    EXPECT_FALSE(Field("Edit2")->isEnabled());
    EXPECT_TRUE(RunAndPress("OKBtn"));
    EXPECT_EQ(dialog.Choice(), (Range{Range::ROM, 0, 8}));
    EXPECT_EQ(messages.beeps, 0);
}

TEST_F(DataDlgTest, TheChosenAreaAndFieldsAreTaken)
{
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        Areas()->SetItemIndex(Range::FISCAL);
        Field("Edit1")->setText(QStringLiteral("2a"));
        Field("Edit2")->setText(QStringLiteral("3"));
    }));
    EXPECT_EQ(dialog.Choice(), (Range{Range::FISCAL, 0x2A, 3}));
}

TEST_F(DataDlgTest, UnusableFieldsBeepAndCancelIsQuiet)
{
    EXPECT_FALSE(RunAndPress("OKBtn", [&] { Field("Edit2")->setText(QStringLiteral("0")); }));
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_FALSE(RunAndPress("CancelBtn"));
    EXPECT_EQ(messages.beeps, 1);
}

TEST_F(DataDlgTest, BaseFieldDiscardsTypedKeysThatAreNoHexDigits)
{
    QLineEdit* base = Field("Edit1");
    base->setEnabled(true);
    base->clear();
    QTest::keyClicks(base, QStringLiteral("1g-Az"));
    QTest::keyClick(base, Qt::Key_Backspace);
    EXPECT_EQ(base->text(), QStringLiteral("1"));
}

} // namespace
