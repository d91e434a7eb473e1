#include "ServiceDoubles.h"

#include "serial/CommsError.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"
#include "transfer/DetectScan.h"
#include "config/PortMap.h"
#include "config/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

namespace {

// Opens only the device the register is on; the port names resolve through
// the [Ports] section of the test's SYSTEM.CFG.
class RoutedDevice : public ScriptedSerialDevice
{
public:
    QString registerName;

    void OpenPort() override
    {
        if (PortDevicePath(CommName()) != PortDevicePath(registerName))
            throw ECommsError("Error opening serial port");
        ScriptedSerialDevice::OpenPort();
    }
};

class RecordingScanView : public IDetectScanView
{
public:
    std::map<int, QStringList> shown;
    QStringList devices; // "name: text" of every device row shown
    bool closed = false;

    void ShowPortResult(int port, const QString& text) override { shown[port] << text; }
    void ShowDeviceResult(int row, const QString& name, const QString& text) override
    {
        devices << QStringLiteral("%1 %2: %3").arg(row).arg(name, text);
    }
    bool ScanWanted() const override { return !closed; }
};

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DetectScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        AppPaths::SetProgramDir(dir.path());
        QFile settings(AppPaths::SettingsPath());
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Comm]\r\nPort=2\r\n[Ports]\r\nCOM1=absent1\r\nCOM2=absent2\r\nCOM3=register\r\n"
                       "COM4=ttyUSB0\r\n");
        settings.close();
        for (const char* name : {"register", "ttyUSB0", "ttyUSB1", "ttyACM0"}) {
            QFile device(dir.filePath(name));
            ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        }
        SetPortResolver(PortDevicePath);

        auto owned = std::make_unique<RoutedDevice>();
        device = owned.get();
        device->registerName = "COM3";
        link = std::make_unique<TQelmIBusComm>(std::move(owned));
        link->SetMessageBox(&linkMessages);
        reg = std::make_unique<FakeRegister>(*device);
    }
    void TearDown() override
    {
        SetPortResolver({});
        AppPaths::SetProgramDir(QString());
    }

    std::optional<int> Scan(int currentPort = 2)
    {
        DetectScanOptions options;
        options.currentPort = currentPort;
        options.listDevices = [this] {
            // ttyUSB0 is COM4 already; the built-in port is never offered.
            return std::vector<SerialDeviceInfo>{
                {dir.filePath("ttyUSB0"), {}, SerialDeviceInfo::Kind::Usb, {}, {}, {}},
                {dir.filePath("ttyUSB1"), "/dev/serial/by-id/usb-Maker_Cable-port0", SerialDeviceInfo::Kind::Usb, {}, {}, {}},
                {dir.filePath("ttyACM0"), {}, SerialDeviceInfo::Kind::Acm, {}, {}, {}},
                {dir.filePath("ttyS0"), {}, SerialDeviceInfo::Kind::BuiltIn, {}, {}, {}}};
        };
        return DetectPort(*link, messages, view, options);
    }

    QTemporaryDir dir;
    RoutedDevice* device = nullptr;
    std::unique_ptr<TQelmIBusComm> link;
    std::unique_ptr<FakeRegister> reg;
    MessageRecorder linkMessages;
    MessageRecorder messages;
    RecordingScanView view;
};

} // namespace

TEST_F(DetectScanTest, RegisterOnCom3AnsweredNoLeavesTheSettings)
{
    messages.answerYes = false;
    const QByteArray before = ReadFile(AppPaths::SettingsPath());

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_TRUE(linkMessages.shown.isEmpty()) << "a device that does not exist is not opened";
    EXPECT_EQ(view.shown[1], QStringList({"", "not present"}));
    EXPECT_EQ(view.shown[2], QStringList({"", "not present"}));
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing...", "Qelm found!"}));
    EXPECT_EQ(view.shown[4], QStringList({""})) << "the scan ends at the register";
    EXPECT_EQ(messages.shown, QStringList({"Port found! Do you want to apply it?"}));
    EXPECT_EQ(reg->Transcript(), QStringList({"login", "read"})) << "no log-out";
    EXPECT_EQ(ReadFile(AppPaths::SettingsPath()), before);
    EXPECT_FALSE(device->IsOpen());
}

TEST_F(DetectScanTest, ClosingTheDialogDuringALogInEndsTheScan)
{
    device->SetScript({}); // a silent register: only the Close ends the wait
    QTimer::singleShot(50, [this] {
        view.closed = true;
        link->Abort();
    });

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(device->Writes().size(), 1);
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing..."}));
    EXPECT_EQ(view.shown[4], QStringList({""}));
    EXPECT_TRUE(view.devices.isEmpty());
    EXPECT_TRUE(linkMessages.shown.isEmpty());
    EXPECT_FALSE(device->IsOpen());
}

TEST_F(DetectScanTest, APortTheSettingsFileRefusesStaysAsItWas)
{
    messages.answerYes = true;
    QFile::setPermissions(AppPaths::SettingsPath(), QFileDevice::ReadOwner);
    EXPECT_EQ(Scan(), std::nullopt);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].startsWith("Unable to write to"));
}

TEST_F(DetectScanTest, WhenNoPortAnswersUnmappedAdaptersAreTriedAndTheCurrentPortMappedToTheOneFound)
{
    device->registerName = dir.filePath("ttyACM0");
    messages.answerYes = true;

    EXPECT_EQ(Scan(), 2);
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.devices, (QStringList{"0 ttyUSB1: Testing...", "0 ttyUSB1: No qelm found.",
                                         "1 ttyACM0: Testing...", "1 ttyACM0: Qelm found!"}));
    EXPECT_EQ(messages.shown.last(),
              "A register answered on " + dir.filePath("ttyACM0") + ".\nMap COM2 to this device?");
    EXPECT_EQ(PortDevicePath("COM2"), dir.filePath("ttyACM0"));

    // With the port at None, COM1 is mapped (to the stable name) and chosen.
    device->registerName = dir.filePath("ttyUSB1");
    SetPortDevicePath("COM2", "absent2");
    view.devices.clear();
    EXPECT_EQ(Scan(0), 1);
    EXPECT_EQ(PortDevicePath("COM1"), "/dev/serial/by-id/usb-Maker_Cable-port0");
    EXPECT_EQ(SettingsFile(AppPaths::SettingsPath()).ReadInteger("Comm", "Port", 0), 1);
}

// The register's cable is pulled while the log-in on COM3 hunts through the
// rates: that port is reported as not answering, and the scan goes on.
TEST_F(DetectScanTest, APulledCableDuringALogInIsNoRegisterAndTheScanGoesOn)
{
    device->SetScript({});
    device->HangUpAtWrite(1);

    std::optional<int> found = 0;
    EXPECT_NO_THROW(found = Scan());
    EXPECT_EQ(found, std::nullopt);
    EXPECT_EQ(device->Writes().size(), 2) << "nothing more is offered to the dead port";
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.shown[4], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(device->IsOpen());
}
