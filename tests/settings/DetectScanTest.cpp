#include "ServiceDoubles.h"

#include "serial/CommsError.h"
#include "settings/AppPaths.h"
#include "settings/DetectScan.h"
#include "settings/PortMap.h"

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
    bool closed = false;

    void ShowPortResult(int port, const QString& text) override { shown[port] << text; }
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
        settings.write("[Comm]\r\nPort=2\r\n[Ports]\r\nCOM1=absent1\r\nCOM2=absent2\r\nCOM3=register\r\n");
        settings.close();

        auto owned = std::make_unique<RoutedDevice>();
        device = owned.get();
        device->registerName = "COM3";
        link = std::make_unique<TQelmIBusComm>(std::move(owned));
        link->SetMessageBox(&linkMessages);
        reg = std::make_unique<FakeRegister>(*device);
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    std::optional<int> Scan() { return DetectPort(*link, messages, view); }

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
    EXPECT_EQ(linkMessages.shown, QStringList({"Error opening COM1!\r\nplease select other ports.",
                                               "Error opening COM2!\r\nplease select other ports."}));
    EXPECT_EQ(view.shown[1], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.shown[2], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing...", "Qelm found!"}));
    EXPECT_EQ(view.shown[4], QStringList({""})) << "the scan ends at the register";
    EXPECT_EQ(messages.shown, QStringList({"Port found! Do you want to apply it?"}));
    EXPECT_EQ(reg->Transcript(), QStringList({"login", "read"})) << "no log-out";
    EXPECT_EQ(ReadFile(AppPaths::SettingsPath()), before);
    EXPECT_FALSE(device->IsOpen());
}

TEST_F(DetectScanTest, ClosingTheDialogDuringALogInEndsTheScan)
{
    device->registerName = "COM1";
    device->SetScript({}); // a silent register: only the Close ends the wait
    QTimer::singleShot(50, [this] {
        view.closed = true;
        link->Abort();
    });

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(device->Writes().size(), 1);
    EXPECT_EQ(view.shown[1], QStringList({"", "Testing..."}));
    EXPECT_EQ(view.shown[2], QStringList({""}));
    EXPECT_TRUE(linkMessages.shown.isEmpty());
    EXPECT_FALSE(device->IsOpen());
}
