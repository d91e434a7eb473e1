#include "settings/ParaDlg.h"

#include "settings/AppPaths.h"
#include "settings/RateFieldText.h"
#include "settings/SettingsFile.h"
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

const QString kDefault = QStringLiteral("Default");

TEST(RateFieldTextTest, ShowsTwoDigitsTheSeparatorAndTwoDigits)
{
    EXPECT_EQ(RateFieldText(QStringLiteral("07.50"), u'.'), QStringLiteral("07.50"));
    EXPECT_EQ(RateFieldText(QStringLiteral("7.5"), u'.'), QStringLiteral("07.50"));
    EXPECT_EQ(RateFieldText(QStringLiteral("12,5"), u','), QStringLiteral("12,50"));
    EXPECT_EQ(RateFieldText(QStringLiteral("12.5"), u','), QStringLiteral("00,00"));
    EXPECT_EQ(RateFieldText(QStringLiteral("abc"), u'.'), QStringLiteral("00.00"));
    EXPECT_EQ(RateFieldText(QStringLiteral("100.00"), u'.'), QStringLiteral("99.99"));
}

class ParaDlgTest : public testing::Test
{
protected:
    void SetUp() override { AppPaths::SetProgramDir(dir.path()); }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    template <typename T>
    T* Find(const QString& name)
    {
        T* control = dialog.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    QLineEdit* Edit(const QString& name) { return Find<QLineEdit>(name); }
    QSpinBox* Spin(const QString& name) { return Find<QSpinBox>(name); }
    QCheckBox* Box(const QString& name) { return Find<QCheckBox>(name); }

    void WriteFile(const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString Stored(const QString& key) { return SettingsFile(path).ReadText(kDefault, key, QStringLiteral("<none>")); }
    // The keys of the file in the order they stand in it.
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

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("SYSTEM.CFG"));
    DialogMessageRecorder messages;
    TParaDlg dialog{messages, u'.'};
};

TEST_F(ParaDlgTest, WithoutAFileEveryControlShowsItsDefault)
{
    WriteFile("[Default]\r\nHeader1=Shop\r\nPrint Speed=5\r\nFlag04=1\r\nVAT3=12.50\r\nVATEnable3=0\r\n"
              "BCode2=7\r\nClerkName1=Ann\r\nTax-free=2\r\n");
    dialog.LoadParameters(path);
    dialog.LoadParameters(dir.filePath(QStringLiteral("missing.cfg")));

    for (const QString& name : {QStringLiteral("HeaderEd1"), QStringLiteral("HeaderEd5"), QStringLiteral("TailEd2"),
                                QStringLiteral("ClerkNameEd1"), QStringLiteral("ClerkPWDEd4")})
        EXPECT_TRUE(Edit(name)->text().isEmpty()) << name.toStdString();
    EXPECT_EQ(Edit(QStringLiteral("DecRateME"))->displayText(), QStringLiteral("00.00"));
    EXPECT_EQ(Edit(QStringLiteral("VATME3"))->displayText(), QStringLiteral("00.00"));
    EXPECT_EQ(Spin(QStringLiteral("PrnSpeedSE"))->value(), 1);
    EXPECT_EQ(Spin(QStringLiteral("BCodeSE2"))->value(), 0);
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_FALSE(Box(QStringLiteral("Flag0%1").arg(bit))->isChecked());
    for (int n = 1; n <= 9; ++n) {
        EXPECT_TRUE(Box(QStringLiteral("VATCB%1").arg(n))->isChecked());
        EXPECT_TRUE(Edit(QStringLiteral("VATME%1").arg(n))->isEnabled());
    }
    EXPECT_EQ(Find<QComboBox>(QStringLiteral("TaxFreeCB"))->currentIndex(), 8);
}

TEST_F(ParaDlgTest, SavingAMissingFileWritesEveryKeyInTheFixedOrder)
{
    dialog.LoadParameters(path);
    ASSERT_TRUE(dialog.SaveParameters(path));

    QStringList expected{QStringLiteral("-% rate"), QStringLiteral("+% rate"), QStringLiteral("Print Speed")};
    for (int bit = 0; bit < 8; ++bit)
        expected << QStringLiteral("Flag0%1").arg(bit);
    for (int n = 1; n <= 4; ++n)
        expected << QStringLiteral("ClerkName%1").arg(n) << QStringLiteral("ClerkPWD%1").arg(n);
    for (int n = 1; n <= 5; ++n)
        expected << QStringLiteral("Header%1").arg(n);
    expected << QStringLiteral("Tail1") << QStringLiteral("Tail2");
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("BCode%1").arg(n);
    for (int n = 1; n <= 9; ++n)
        expected << QStringLiteral("VAT%1").arg(n) << QStringLiteral("VATEnable%1").arg(n);
    expected << QStringLiteral("Tax-free");
    EXPECT_EQ(KeysInFile(), expected);
    EXPECT_EQ(Stored(QStringLiteral("-% rate")), QStringLiteral("00.00"));
    EXPECT_EQ(Stored(QStringLiteral("VAT9")), QStringLiteral("00.00"));
    EXPECT_EQ(Stored(QStringLiteral("VATEnable9")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("Print Speed")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("Tax-free")), QStringLiteral("8"));
}

TEST_F(ParaDlgTest, FileValuesOutsideTheFieldsAreClampedAndSavedClamped)
{
    WriteFile("[Default]\r\nPrint Speed=0\r\nBCode1=40\r\nBCode2=-5\r\nBCode3=17\r\nTax-free=12\r\n");
    dialog.LoadParameters(path);
    EXPECT_EQ(Spin(QStringLiteral("PrnSpeedSE"))->value(), 1);
    EXPECT_EQ(Spin(QStringLiteral("BCodeSE1"))->value(), 36);
    EXPECT_EQ(Spin(QStringLiteral("BCodeSE2"))->value(), 0);
    EXPECT_EQ(Spin(QStringLiteral("BCodeSE3"))->value(), 17);
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored(QStringLiteral("Print Speed")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("BCode1")), QStringLiteral("36"));
    EXPECT_EQ(Stored(QStringLiteral("Tax-free")), QStringLiteral("-1"));
}

TEST_F(ParaDlgTest, RatesKeepTheirLeadingZerosAndADisabledRateKeepsItsText)
{
    WriteFile("[Default]\r\n-% rate=7.5\r\nVAT1=07.50\r\nVAT2=12.50\r\nVATEnable2=0\r\n");
    dialog.LoadParameters(path);
    EXPECT_EQ(Edit(QStringLiteral("DecRateME"))->displayText(), QStringLiteral("07.50"));
    EXPECT_FALSE(Box(QStringLiteral("VATCB2"))->isChecked());
    EXPECT_FALSE(Edit(QStringLiteral("VATME2"))->isEnabled());
    EXPECT_EQ(Edit(QStringLiteral("VATME2"))->displayText(), QStringLiteral("12.50"));

    // Positions the operator has emptied count as 0.
    Edit(QStringLiteral("IncRateME"))->clear();
    ASSERT_TRUE(dialog.SaveParameters(path));
    EXPECT_EQ(Stored(QStringLiteral("-% rate")), QStringLiteral("07.50"));
    EXPECT_EQ(Stored(QStringLiteral("+% rate")), QStringLiteral("00.00"));
    EXPECT_EQ(Stored(QStringLiteral("VAT1")), QStringLiteral("07.50"));
    EXPECT_EQ(Stored(QStringLiteral("VAT2")), QStringLiteral("12.50"));
    EXPECT_EQ(Stored(QStringLiteral("VATEnable2")), QStringLiteral("0"));
}

TEST_F(ParaDlgTest, TickingAVatBoxSwitchesItsFieldOnly)
{
    dialog.LoadParameters(path);
    Box(QStringLiteral("VATCB4"))->click();
    EXPECT_FALSE(Edit(QStringLiteral("VATME4"))->isEnabled());
    EXPECT_TRUE(Edit(QStringLiteral("VATME5"))->isEnabled());
    Box(QStringLiteral("VATCB4"))->click();
    EXPECT_TRUE(Edit(QStringLiteral("VATME4"))->isEnabled());
}

TEST_F(ParaDlgTest, TextsSurviveSaveAndLoadUnchanged)
{
    dialog.LoadParameters(path);
    Edit(QStringLiteral("ClerkPWDEd2"))->setText(QStringLiteral(" 0042 "));
    Edit(QStringLiteral("ClerkNameEd3"))->setText(QStringLiteral("Z\u00e9lie"));
    Edit(QStringLiteral("HeaderEd5"))->setText(QStringLiteral("hidden line"));
    Edit(QStringLiteral("TailEd1"))->setText(QStringLiteral("  Thank you  "));
    Box(QStringLiteral("Flag07"))->setChecked(true);
    Spin(QStringLiteral("BCodeSE10"))->setValue(29);
    ASSERT_TRUE(dialog.SaveParameters(path));

    DialogMessageRecorder otherMessages;
    TParaDlg other(otherMessages, u'.');
    other.LoadParameters(path);
    EXPECT_EQ(other.findChild<QLineEdit*>(QStringLiteral("ClerkPWDEd2"))->text(), QStringLiteral(" 0042 "));
    EXPECT_EQ(other.findChild<QLineEdit*>(QStringLiteral("ClerkNameEd3"))->text(), QStringLiteral("Z\u00e9lie"));
    EXPECT_EQ(other.findChild<QLineEdit*>(QStringLiteral("HeaderEd5"))->text(), QStringLiteral("hidden line"));
    EXPECT_EQ(other.findChild<QLineEdit*>(QStringLiteral("TailEd1"))->text(), QStringLiteral("  Thank you  "));
    EXPECT_TRUE(other.findChild<QCheckBox*>(QStringLiteral("Flag07"))->isChecked());
    EXPECT_EQ(other.findChild<QSpinBox*>(QStringLiteral("BCodeSE10"))->value(), 29);
}

TEST_F(ParaDlgTest, FieldsRefuseWhatTheyCannotHold)
{
    QLineEdit* header = Edit(QStringLiteral("HeaderEd1"));
    header->setFocus();
    QTest::keyClick(header, 'a');
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u20ac"));
    QApplication::sendEvent(header, &euro);
    QTest::keyClicks(header, QStringLiteral("b") + QString(30, u'x'));
    EXPECT_EQ(header->text(), QStringLiteral("ab") + QString(22, u'x'));

    QSpinBox* speed = Spin(QStringLiteral("PrnSpeedSE"));
    speed->setFocus();
    QTest::keyClicks(speed, QStringLiteral("7"));
    EXPECT_EQ(speed->value(), 1);
    QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(speed->value(), 2);
}

TEST_F(ParaDlgTest, CommaSeparatorShowsAndStoresCommaRates)
{
    TParaDlg commaDialog(messages, u',');
    WriteFile("[Default]\r\nVAT1=12,5\r\n");
    commaDialog.LoadParameters(path);
    EXPECT_EQ(commaDialog.findChild<QLineEdit*>(QStringLiteral("VATME1"))->displayText(), QStringLiteral("12,50"));
    ASSERT_TRUE(commaDialog.SaveParameters(path));
    EXPECT_EQ(Stored(QStringLiteral("VAT1")), QStringLiteral("12,50"));
    EXPECT_EQ(Stored(QStringLiteral("VAT2")), QStringLiteral("00,00"));
}

TEST_F(ParaDlgTest, RefusedWriteIsReportedWithThePath)
{
    WriteFile("[Default]\r\nHeader1=Old\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    dialog.LoadParameters(path);
    Edit(QStringLiteral("HeaderEd1"))->setText(QStringLiteral("New"));
    EXPECT_FALSE(dialog.SaveParameters(path));
    EXPECT_EQ(messages.errors, QStringList{QStringLiteral("Unable to write to ") + path});
    EXPECT_EQ(Stored(QStringLiteral("Header1")), QStringLiteral("Old"));
}

TEST_F(ParaDlgTest, EditParametersSavesOnOkOnly)
{
    const QString settings = AppPaths::SettingsPath();
    QTimer::singleShot(0, &dialog, [&] {
        Edit(QStringLiteral("HeaderEd1"))->setText(QStringLiteral("Cancelled"));
        Find<QPushButton>(QStringLiteral("CancelBtn"))->click();
    });
    EXPECT_FALSE(dialog.EditParameters());
    EXPECT_FALSE(QFile::exists(settings));

    QString shownAfterCancel;
    QTimer::singleShot(0, &dialog, [&] {
        shownAfterCancel = Edit(QStringLiteral("HeaderEd1"))->text();
        Edit(QStringLiteral("HeaderEd1"))->setText(QStringLiteral("Kept"));
        Find<QPushButton>(QStringLiteral("OKBtn"))->click();
    });
    EXPECT_TRUE(dialog.EditParameters());
    EXPECT_TRUE(shownAfterCancel.isEmpty());
    EXPECT_EQ(SettingsFile(settings).ReadText(kDefault, QStringLiteral("Header1")), QStringLiteral("Kept"));
}

TEST_F(ParaDlgTest, FontCommandReachesEveryControlAndRefitsTheDialog)
{
    const int width = dialog.sizeHint().width();
    QFont larger = dialog.font();
    larger.setPointSize(larger.pointSize() * 2);
    dialog.SetFontForAll(larger);
    EXPECT_EQ(Edit(QStringLiteral("VATME9"))->font().pointSize(), larger.pointSize());
    EXPECT_GT(dialog.sizeHint().width(), width);
}

} // namespace
