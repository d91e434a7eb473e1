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

// A serial device that opens only the device path the register is on; every
// other port name resolves to a device that does not exist.
class RoutedDevice : public ScriptedSerialDevice
{
public:
    QString registerPath;
    QStringList opened;

    void OpenPort() override
    {
        const QString path = PortDevicePath(CommName());
        opened << path;
        if (path != registerPath)
            throw ECommsError("Error opening serial port");
        ScriptedSerialDevice::OpenPort();
    }
};

class RecordingScanView : public IDetectScanView
{
public:
    std::map<int, QStringList> shown; // every text per port, in order
    std::function<bool()> wanted = [] { return true; };

    void ShowPortResult(int port, const QString& text) override { shown[port] << text; }
    bool ScanWanted() const override { return wanted(); }

    QString Last(int port) const { return shown.at(port).last(); }
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
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
        auto device = std::make_unique<RoutedDevice>();
        m_device = device.get();
        m_device->registerPath = m_dir.filePath("register");
        m_link = std::make_unique<TQelmIBusComm>(std::move(device));
        m_link->SetMessageBox(&linkMessages);
        m_register = std::make_unique<FakeRegister>(*m_device);

        QFile settings(AppPaths::SettingsPath());
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Comm]\r\nPort=2\r\nBaudRate=1\r\n[Ports]\r\nCOM1=absent1\r\nCOM2=absent2\r\n"
                       "COM3=register\r\nCOM4=absent4\r\n");
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    std::optional<int> Scan() { return DetectPort(*m_link, messages, view); }
    int Errors() const { return int(linkMessages.errors.size()); }

    QTemporaryDir m_dir;
    RoutedDevice* m_device = nullptr;
    std::unique_ptr<TQelmIBusComm> m_link;
    std::unique_ptr<FakeRegister> m_register;
    MessageRecorder linkMessages;
    MessageRecorder messages;
    RecordingScanView view;
};

} // namespace

TEST_F(DetectScanTest, RegisterOnCom3IsFoundAndApplied)
{
    EXPECT_EQ(Scan(), 3);

    EXPECT_EQ(linkMessages.errors, QStringList({"Error opening COM1!\r\nplease select other ports.",
                                                "Error opening COM2!\r\nplease select other ports."}));
    EXPECT_EQ(view.shown[1], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.shown[2], QStringList({"", "Testing...", "No qelm found."}));
    EXPECT_EQ(view.shown[3], QStringList({"", "Testing...", "Qelm found!"}));
    EXPECT_EQ(view.shown[4], QStringList({""})) << "the scan stops at the register";
    EXPECT_EQ(messages.questions, QStringList({"Port found! Do you want to apply it?"}));

    const QByteArray settings = ReadFile(AppPaths::SettingsPath());
    EXPECT_TRUE(settings.contains("Port=3\r\n"));
    EXPECT_TRUE(settings.contains("BaudRate=1\r\n")) << "the rate is not touched";
    EXPECT_TRUE(settings.contains("COM3=register\r\n"));

    ASSERT_EQ(m_register->Frames().size(), 2u) << "a log-in and its status request, no log-out";
    EXPECT_EQ(m_register->Frames()[0][14], 1) << "a log-in for a transfer";
    EXPECT_FALSE(m_device->IsOpen());
}

TEST_F(DetectScanTest, NoLeavesTheSettingsUnchanged)
{
    messages.answerYes = false;
    const QByteArray before = ReadFile(AppPaths::SettingsPath());

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(ReadFile(AppPaths::SettingsPath()), before);
    EXPECT_EQ(view.Last(3), "Qelm found!");
    EXPECT_EQ(view.shown[4], QStringList({""}));
}

TEST_F(DetectScanTest, PortsWithoutARegisterAreAllReported)
{
    m_device->registerPath = PortDevicePath("COM4");
    m_register->presence = FakeRegister::Presence::Absent;

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(Errors(), 3);
    for (int port = 1; port <= 4; ++port)
        EXPECT_EQ(view.Last(port), "No qelm found.") << port;
    EXPECT_EQ(m_register->CountFrames(14, 1, 0), 21) << "the whole log-in hunt on COM4";
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_FALSE(m_device->IsOpen());
}

TEST_F(DetectScanTest, ClosingTheDialogStopsAfterThePortBeingTried)
{
    view.wanted = [] { return false; };
    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(Errors(), 1) << "no further message boxes after COM1";
    EXPECT_EQ(view.shown[1], QStringList({"", "Testing..."}));
    EXPECT_EQ(view.shown[2], QStringList({""}));
}

TEST_F(DetectScanTest, ClosingDuringALogInAbortsTheWait)
{
    // The register on COM1 stays silent; Close aborts the link's wait.
    m_device->registerPath = PortDevicePath("COM1");
    m_register->presence = FakeRegister::Presence::Silent;
    bool closed = false;
    view.wanted = [&closed] { return !closed; };
    QTimer::singleShot(50, [&] {
        closed = true;
        m_link->Abort();
    });

    EXPECT_EQ(Scan(), std::nullopt);
    EXPECT_EQ(m_register->CountFrames(14, 1, 0), 1);
    EXPECT_EQ(Errors(), 0);
    EXPECT_EQ(m_device->opened.size(), 1);
    EXPECT_FALSE(m_device->IsOpen());
}
