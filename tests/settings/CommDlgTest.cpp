#include "dialogs/CommDlg.h"

#include "config/AppPaths.h"
#include "config/PortMap.h"
#include "dialogs/RadioGroup.h"
#include "serial/SerialDeviceList.h"
#include "config/SettingsFile.h"
#include "transfer/DialogMessageRecorder.h"

#include <QComboBox>
#include <QLabel>
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

TEST(SerialDeviceListTest, AdaptersWithTheirStableNamesAndMakersThenBuiltInPortsWithAUart)
{
    QTemporaryDir root;
    for (const char* name : {"dev/ttyUSB0", "dev/ttyACM0", "dev/ttyS0", "dev/ttyS1",
                             "sys/devices/usb1/1-2/1-2:1.0/ttyUSB0/x", "sys/class/tty/ttyACM0/x"})
        Touch(root.filePath(QString::fromLatin1(name)));
    const auto write = [&](const char* path, const QByteArray& text) {
        QFile file(root.filePath(QString::fromLatin1(path)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("sys/devices/usb1/1-2/idVendor", "0403\n");
    write("sys/devices/usb1/1-2/idProduct", "6001\n");
    write("sys/devices/usb1/1-2/manufacturer", "Maker\n");
    write("sys/devices/usb1/1-2/product", "USB Serial\n");
    QDir().mkpath(root.filePath("sys/class/tty/ttyUSB0"));
    QDir().mkpath(root.filePath("sys/class/tty/ttyS0"));
    QDir().mkpath(root.filePath("sys/class/tty/ttyS1"));
    QFile::link("../../../devices/usb1/1-2/1-2:1.0/ttyUSB0", root.filePath("sys/class/tty/ttyUSB0/device"));
    write("sys/class/tty/ttyS0/type", "4\n");
    write("sys/class/tty/ttyS1/type", "0\n");
    QDir().mkpath(root.filePath("dev/serial/by-id"));
    QFile::link("../../ttyUSB0", root.filePath("dev/serial/by-id/usb-Maker_Cable-if00-port0"));

    const std::vector<SerialDeviceInfo> devices = DescribeSerialDevices(root.path());
    ASSERT_EQ(devices.size(), 3u) << "ttyS1 has no UART behind it";
    EXPECT_EQ(devices[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(devices[0].byId, "/dev/serial/by-id/usb-Maker_Cable-if00-port0");
    EXPECT_EQ(devices[0].vendor + "/" + devices[0].product + "/" + devices[0].usbId, "Maker/USB Serial/0403:6001");
    EXPECT_EQ(devices[1].device, "/dev/ttyACM0");
    EXPECT_EQ(devices[1].kind, SerialDeviceInfo::Kind::Acm);
    EXPECT_EQ(devices[2].device, "/dev/ttyS0");
    EXPECT_EQ(SerialDeviceAlias("/dev/ttyUSB0", root.path()), "usb-Maker_Cable-if00-port0");
    EXPECT_EQ(SerialDeviceAlias("/dev/serial/by-id/usb-Maker_Cable-if00-port0", root.path()), "ttyUSB0");
    EXPECT_EQ(SerialDeviceAlias("/dev/ttyS0", root.path()), "");
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
    TCommDlg dialog{messages, nullptr, [] { return QStringList{"/dev/ttyUSB0", "/dev/ttyS0"}; },
                    [](const QString& path) { return path == "/dev/ttyUSB0" ? QString("usb-Maker_X") : QString(); }};
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
    EXPECT_EQ(offered, (QStringList{"/dev/ttyUSB0  (usb-Maker_X)", "/dev/ttyS0"}));
    EXPECT_TRUE(SettingsContent().startsWith("[Ports]\r\nCOM3=/dev/ttyACM0\r\nCOM1=/dev/ttyUSB0\r\n"));

    // A path typed in for the port chosen.
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        Ports()->setCurrentIndex(2);
        Devices()->setEditText("/dev/pts/7");
    }));
    EXPECT_EQ(PortDevicePath("COM2"), "/dev/pts/7");
    EXPECT_EQ(dialog.Port(), 2);
}

TEST_F(CommDlgTest, EmptyingTheDeviceFieldRemovesThePortsLine)
{
    WriteSettings("[Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM3=/dev/ttyACM0\r\n");
    QString mappings;
    EXPECT_TRUE(RunAndPress("OKBtn", [&] {
        Ports()->setCurrentIndex(1);
        mappings = dialog.findChild<QLabel*>("MappingLbl")->text();
        Devices()->setEditText(" ");
    }));
    EXPECT_TRUE(mappings.startsWith("COM1 = /dev/ttyUSB0  (usb-Maker_X)\nCOM2 = /dev/ttyS1\n")) << mappings.toStdString();
    EXPECT_TRUE(SettingsContent().startsWith("[Ports]\r\nCOM3=/dev/ttyACM0\r\n"));
    EXPECT_EQ(PortDevicePath("COM1"), "/dev/ttyS0");
}

} // namespace
