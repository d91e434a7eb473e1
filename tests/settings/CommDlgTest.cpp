#include "settings/CommDlg.h"

#include "settings/AppPaths.h"
#include "settings/PortMap.h"
#include "settings/RadioGroup.h"
#include "settings/SerialDeviceList.h"
#include "settings/SettingsFile.h"
#include "transfer/DialogMessageRecorder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(SerialDeviceListTest, StableNamesFirstThenUsbAcmAndBuiltInPortsInNaturalOrder)
{
    QTemporaryDir root;
    for (const char* name : {"dev/ttyS1", "dev/ttyUSB10", "dev/ttyS0", "dev/ttyACM0", "dev/ttyUSB2",
                             "dev/tty0", "dev/ttyprintk", "dev/serial/by-id/usb-Maker_B",
                             "dev/serial/by-id/usb-Maker_A"})
        Touch(root.filePath(QString::fromLatin1(name)));
    // A stable name whose device is gone is not offered.
    QFile::link(root.filePath("dev/ttyUSB9"), root.filePath("dev/serial/by-id/usb-Gone"));

    EXPECT_EQ(ListSerialDevices(root.path()),
              (QStringList{"/dev/serial/by-id/usb-Maker_A", "/dev/serial/by-id/usb-Maker_B", "/dev/ttyUSB2",
                           "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1"}));
    EXPECT_TRUE(ListSerialDevices(root.filePath("nothing")).isEmpty());
}

class CommDlgTest : public testing::Test
{
protected:
    void SetUp() override { AppPaths::SetProgramDir(dir.path()); }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QComboBox* Ports() { return dialog.findChild<QComboBox*>("PortCB"); }
    QComboBox* Devices() { return dialog.findChild<QComboBox*>("DeviceCB"); }
    TRadioGroup* Rates() { return dialog.findChild<TRadioGroup*>("BaudRateRG"); }

    bool RunAndPress(const char* button, std::function<void()> before = [] {})
    {
        QTimer::singleShot(0, &dialog, [=, this] {
            before();
            dialog.findChild<QPushButton*>(button)->click();
        });
        return dialog.Run();
    }
    void WriteSettings(const QByteArray& content)
    {
        QFile file(AppPaths::SettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray SettingsContent()
    {
        QFile file(AppPaths::SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    DialogMessageRecorder messages;
    TCommDlg dialog{messages, nullptr, [] { return QStringList{"/dev/ttyUSB0", "/dev/ttyS0"}; }};
};

TEST_F(CommDlgTest, OkWritesPortThenBaudRate)
{
    QString shown;
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        shown = Ports()->currentText() + " " + Rates()->Button(Rates()->ItemIndex())->text();
        Ports()->setCurrentIndex(3);
        Rates()->SetItemIndex(3);
    }));
    EXPECT_EQ(shown, "COM2 9600");
    EXPECT_EQ(SettingsContent(), QByteArray("[Comm]\r\nPort=3\r\nBaudRate=3\r\n"));
    EXPECT_EQ(dialog.Port(), 3);
    EXPECT_EQ(dialog.BaudRate(), 3);
}

TEST_F(CommDlgTest, CancelWritesNothingAndKeepsTheValuesRead)
{
    WriteSettings("[Comm]\r\nPort=4\r\nBaudRate=2\r\n");
    EXPECT_FALSE(RunAndPress("CancelBtn", [&] {
        Ports()->setCurrentIndex(1);
        Devices()->setEditText("/dev/ttyUSB0");
    }));
    EXPECT_EQ(SettingsContent(), QByteArray("[Comm]\r\nPort=4\r\nBaudRate=2\r\n"));
    EXPECT_EQ(dialog.Port(), 4);
    EXPECT_EQ(dialog.BaudRate(), 2);
}

TEST_F(CommDlgTest, NoneStoresZeroAndAValueTheListLacksIsKept)
{
    EXPECT_TRUE(RunAndPress("OKBtn", [&] { Ports()->setCurrentIndex(0); }));
    EXPECT_EQ(SettingsFile(AppPaths::SettingsPath()).ReadInteger("Comm", "Port", -9), 0);

    WriteSettings("[Comm]\r\nPort=7\r\nBaudRate=9\r\n");
    EXPECT_TRUE(RunAndPress("OKBtn"));
    EXPECT_EQ(dialog.Port(), 7);
    EXPECT_EQ(dialog.BaudRate(), 9);
    EXPECT_EQ(SettingsFile(AppPaths::SettingsPath()).ReadInteger("Comm", "Port", -9), 7);
}

TEST_F(CommDlgTest, ChosenDeviceIsMappedOnOkAndOnlyChangedMappingsAreWritten)
{
    WriteSettings("[Ports]\r\nCOM3=/dev/ttyACM0\r\n");
    QString shownForCom3;
    QStringList offered;
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        Ports()->setCurrentIndex(3);
        shownForCom3 = Devices()->currentText();
        Ports()->setCurrentIndex(1);
        for (int i = 0; i < Devices()->count(); ++i)
            offered << Devices()->itemText(i);
        Devices()->setCurrentIndex(0);
    }));
    EXPECT_EQ(shownForCom3, "/dev/ttyACM0");
    EXPECT_EQ(offered, (QStringList{"/dev/ttyUSB0", "/dev/ttyS0"}));
    EXPECT_TRUE(SettingsContent().startsWith("[Ports]\r\nCOM3=/dev/ttyACM0\r\nCOM1=/dev/ttyUSB0\r\n"));

    // A path typed in for the port chosen.
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        Ports()->setCurrentIndex(2);
        Devices()->setEditText("/dev/pts/7");
    }));
    EXPECT_EQ(PortDevicePath("COM2"), "/dev/pts/7");
    EXPECT_EQ(dialog.Port(), 2);
}

} // namespace
