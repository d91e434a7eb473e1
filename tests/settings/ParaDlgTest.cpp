#include "dialogs/ParaDlg.h"

#include "model/Numbers.h"
#include "config/AppPaths.h"
#include "model/RateFieldText.h"
#include "config/SettingsFile.h"
#include "transfer/DialogMessageRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(RateFieldTextTest, ShowsTwoDigitsTheSeparatorAndTwoDigits)
{
    EXPECT_EQ(RateFieldText("7.5", u'.'), "07.50");
    EXPECT_EQ(RateFieldText("12,5", u','), "12,50");
    EXPECT_EQ(RateFieldText("12.5", u','), "00,00");
    EXPECT_EQ(RateFieldText("abc", u'.'), "00.00");
    EXPECT_EQ(RateFieldText("100.00", u'.'), "99.99");
}

class ParaDlgTest : public testing::Test
{
protected:
    void SetUp() override { AppPaths::SetProgramDir(dir.path()); }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QLineEdit* Edit(const QString& name) { return dialog.findChild<QLineEdit*>(name); }
    QSpinBox* Spin(const QString& name) { return dialog.findChild<QSpinBox*>(name); }
    QCheckBox* Box(const QString& name) { return dialog.findChild<QCheckBox*>(name); }

    void WriteFile(const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString Stored(const QString& key) { return SettingsFile(path).ReadText("Default", key, "<none>"); }
    QStringList KeysInFile()
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList keys;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.contains('='))
                keys << QString::fromLatin1(line.left(line.indexOf('=')));
        }
        return keys;
    }

    // The dialogs below take the separator when they are made.
    struct FullStopSeparator
    {
        FullStopSeparator() { SetDecimalSeparator(u'.'); }
        ~FullStopSeparator() { ResetDecimalSeparator(); }
    } separator;
    QTemporaryDir dir;
    QString path = dir.filePath("SYSTEM.CFG");
    DialogMessageRecorder messages;
    TParaDlg dialog{messages};
};

TEST_F(ParaDlgTest, WithoutAFileEveryControlShowsItsDefault)
{
    WriteFile("[Default]\r\nHeader1=Shop\r\nPrint Speed=5\r\nFlag04=1\r\nVAT3=12.50\r\nVATEnable3=0\r\n"
              "BCode2=7\r\nClerkPWD4=12\r\nTax-free=2\r\n");
    dialog.LoadParameters(path);
    dialog.LoadParameters(dir.filePath("missing.cfg"));

    EXPECT_TRUE(Edit("HeaderEd1")->text().isEmpty());
    EXPECT_TRUE(Edit("ClerkPWDEd4")->text().isEmpty());
    EXPECT_EQ(Edit("DecRateME")->displayText(), "00.00");
    EXPECT_EQ(Edit("VATME3")->displayText(), "00.00");
    EXPECT_EQ(Spin("PrnSpeedSE")->value(), 1);
    EXPECT_EQ(Spin("BCodeSE2")->value(), 0);
    EXPECT_FALSE(Box("Flag04")->isChecked());
    EXPECT_TRUE(Box("VATCB3")->isChecked() && Edit("VATME3")->isEnabled());
    EXPECT_EQ(dialog.findChild<QComboBox*>("TaxFreeCB")->currentIndex(), 8);
}

TEST_F(ParaDlgTest, SavingAMissingFileWritesEveryKeyInTheFixedOrder)
{
    dialog.LoadParameters(path);
    ASSERT_TRUE(dialog.SaveParameters(path));

    QStringList expected{"-% rate", "+% rate", "Print Speed"};
    for (int bit = 0; bit < 8; ++bit)
        expected << QStringLiteral("Flag0%1").arg(bit);
    for (int n = 1; n <= 4; ++n)
        expected << QStringLiteral("ClerkName%1").arg(n) << QStringLiteral("ClerkPWD%1").arg(n);
    for (int n = 1; n <= 5; ++n)
        expected << QStringLiteral("Header%1").arg(n);
    expected << "Tail1" << "Tail2";
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("BCode%1").arg(n);
    for (int n = 1; n <= 9; ++n)
        expected << QStringLiteral("VAT%1").arg(n) << QStringLiteral("VATEnable%1").arg(n);
    expected << "Tax-free";
    EXPECT_EQ(KeysInFile(), expected);
    EXPECT_EQ(Stored("+% rate") + " " + Stored("VAT9") + " " + Stored("VATEnable9"), "00.00 00.00 1");
    EXPECT_EQ(Stored("Print Speed") + " " + Stored("Tax-free"), "1 8");
}

TEST_F(ParaDlgTest, FileValuesOutsideTheFieldsAreClampedAndSavedClamped)
{
    WriteFile("[Default]\r\nPrint Speed=0\r\nBCode1=40\r\nBCode2=-5\r\nBCode3=17\r\nTax-free=12\r\n");
    dialog.LoadParameters(path);
    EXPECT_EQ(Spin("PrnSpeedSE")->value(), 1);
    EXPECT_EQ(Spin("BCodeSE1")->value(), 36);
    EXPECT_EQ(Spin("BCodeSE2")->value(), 0);
    EXPECT_EQ(Spin("BCodeSE3")->value(), 17);
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored("Print Speed") + " " + Stored("BCode1") + " " + Stored("Tax-free"), "1 36 -1");
}

TEST_F(ParaDlgTest, RatesKeepTheirLeadingZerosAndADisabledRateKeepsItsText)
{
    WriteFile("[Default]\r\n-% rate=7.5\r\nVAT1=07.50\r\nVAT2=12.50\r\nVATEnable2=0\r\n");
    dialog.LoadParameters(path);
    EXPECT_EQ(Edit("DecRateME")->displayText(), "07.50");
    EXPECT_FALSE(Box("VATCB2")->isChecked() || Edit("VATME2")->isEnabled());
    EXPECT_EQ(Edit("VATME2")->displayText(), "12.50");

    Box("VATCB4")->click();
    EXPECT_FALSE(Edit("VATME4")->isEnabled());
    EXPECT_TRUE(Edit("VATME5")->isEnabled());
    // Positions the operator has emptied count as 0.
    Edit("IncRateME")->clear();
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored("-% rate") + " " + Stored("+% rate") + " " + Stored("VAT1"), "7.5 00.00 07.50")
        << "an untouched rate goes back as it was";
    EXPECT_EQ(Stored("VAT2") + " " + Stored("VATEnable2") + " " + Stored("VATEnable4"), "12.50 0 0");
}

TEST_F(ParaDlgTest, WhatTheFieldsCannotShowSurvivesOpeningAndOk)
{
    const QString longHeader = "a header of thirty characters";
    WriteFile(("[Default]\r\n-% rate=100.00\r\n+% rate=250.5\r\nVAT3=100.00\r\nVAT4=123\r\nHeader1="
               + longHeader + "\r\nClerkPWD1=12ab\r\n").toLatin1());
    dialog.LoadParameters(path);
    EXPECT_EQ(Edit("DecRateME")->displayText(), "99.99");
    Edit("VATME4")->setText("08.00");
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored("-% rate") + " " + Stored("+% rate") + " " + Stored("VAT3"), "100.00 250.5 100.00");
    EXPECT_EQ(Stored("VAT4"), "08.00") << "an edited rate is saved as typed";
    EXPECT_EQ(Stored("Header1"), longHeader);
    EXPECT_EQ(Stored("ClerkPWD1"), "12ab");

    // Passwords are numbers: the field takes digits only.
    QLineEdit* password = Edit("ClerkPWDEd2");
    password->setFocus();
    QTest::keyClicks(password, "1a2-3 ");
    EXPECT_EQ(password->text(), "123");
}

TEST_F(ParaDlgTest, TextsSurviveSaveAndLoadUnchanged)
{
    dialog.LoadParameters(path);
    Edit("ClerkPWDEd2")->setText(" 0042 ");
    Edit("ClerkNameEd3")->setText("Z\u00e9lie");
    Edit("HeaderEd5")->setText("hidden line");
    ASSERT_TRUE(dialog.SaveParameters(path));

    TParaDlg other(messages);
    other.LoadParameters(path);
    EXPECT_EQ(other.findChild<QLineEdit*>("ClerkPWDEd2")->text(), " 0042 ");
    EXPECT_EQ(other.findChild<QLineEdit*>("ClerkNameEd3")->text(), "Z\u00e9lie");
    EXPECT_EQ(other.findChild<QLineEdit*>("HeaderEd5")->text(), "hidden line");
}

TEST_F(ParaDlgTest, FieldsRefuseWhatTheyCannotHold)
{
    QLineEdit* header = Edit("HeaderEd1");
    header->setFocus();
    QTest::keyClick(header, 'a');
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "\u20ac");
    QApplication::sendEvent(header, &euro);
    QTest::keyClicks(header, "b" + QString(30, u'x'));
    EXPECT_EQ(header->text(), "ab" + QString(22, u'x'));

    QSpinBox* speed = Spin("PrnSpeedSE");
    speed->setFocus();
    QTest::keyClicks(speed, "7");
    EXPECT_EQ(speed->value(), 1);
    QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(speed->value(), 2);
}

// Rates are typed like on a calculator: the whole part fills from the right,
// either separator moves to the decimals, a third whole digit is refused.
TEST_F(ParaDlgTest, TypedRatesFillTheWholePartFromTheRight)
{
    const auto typed = [this](const char* name, const QString& keys) {
        QLineEdit* field = Edit(QString::fromLatin1(name));
        field->setFocus();
        QTest::keyClicks(field, keys);
        return field->displayText();
    };
    EXPECT_EQ(typed("VATME1", "5.5"), "05.50");
    EXPECT_EQ(typed("VATME2", "150"), "15.00");
    EXPECT_EQ(typed("VATME3", "7,25"), "07.25");
    QTest::keyClick(Edit("VATME3"), Qt::Key_Backspace);
    EXPECT_EQ(Edit("VATME3")->displayText(), "07.20");
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored("VAT1") + " " + Stored("VAT2"), "05.50 15.00");
}

TEST_F(ParaDlgTest, CommaSeparatorShowsAndStoresCommaRates)
{
    SetDecimalSeparator(u',');
    TParaDlg commaDialog(messages);
    WriteFile("[Default]\r\nVAT1=12,5\r\n");
    commaDialog.LoadParameters(path);
    EXPECT_EQ(commaDialog.findChild<QLineEdit*>("VATME1")->displayText(), "12,50");
    ASSERT_TRUE(commaDialog.SaveParameters(path));
    EXPECT_EQ(Stored("VAT1") + " " + Stored("VAT2"), "12,5 00,00");
}

TEST_F(ParaDlgTest, RefusedWriteIsReportedWithThePath)
{
    WriteFile("[Default]\r\nHeader1=Old\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    dialog.LoadParameters(path);
    Edit("HeaderEd1")->setText("New");
    EXPECT_FALSE(dialog.SaveParameters(path));
    EXPECT_EQ(messages.errors, QStringList{"Unable to write to " + path});
    EXPECT_EQ(Stored("Header1"), "Old");
}

TEST_F(ParaDlgTest, EditParametersSavesOnOkOnlyAndShowsTheFileAfresh)
{
    const QString settings = AppPaths::SettingsPath();
    QTimer::singleShot(0, &dialog, [&] {
        Edit("HeaderEd1")->setText("Cancelled");
        dialog.findChild<QPushButton*>("CancelBtn")->click();
    });
    EXPECT_FALSE(dialog.EditParameters());
    EXPECT_FALSE(QFile::exists(settings));

    QString shownAfterCancel;
    QTimer::singleShot(0, &dialog, [&] {
        shownAfterCancel = Edit("HeaderEd1")->text();
        Edit("HeaderEd1")->setText("Kept");
        dialog.findChild<QPushButton*>("OKBtn")->click();
    });
    EXPECT_TRUE(dialog.EditParameters());
    EXPECT_TRUE(shownAfterCancel.isEmpty());
    EXPECT_EQ(SettingsFile(settings).ReadText("Default", "Header1"), "Kept");
}

TEST_F(ParaDlgTest, FontCommandReachesEveryControlAndRefitsTheDialog)
{
    const int width = dialog.sizeHint().width();
    QFont larger = dialog.font();
    larger.setPointSize(larger.pointSize() * 2);
    dialog.SetFontForAll(larger);
    EXPECT_EQ(Edit("VATME9")->font().pointSize(), larger.pointSize());
    EXPECT_GT(dialog.sizeHint().width(), width);
}

} // namespace
