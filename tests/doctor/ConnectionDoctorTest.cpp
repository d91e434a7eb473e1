#include "ServiceDoubles.h"

#include "doctor/ConnectionDoctor.h"
#include "doctor/DeviceAccess.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A machine in a folder: /dev with an adapter, /sys for its maker, /proc with
// the usual rivals for the port, and the lock folder.
class ConnectionDoctorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        Write("dev/ttyUSB0", "");
        Write("sys/devices/usb1/1-1/idVendor", "067b\n");
        Write("sys/devices/usb1/1-1/idProduct", "2303\n");
        Write("sys/devices/usb1/1-1/manufacturer", "Prolific\n");
        Write("sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/uevent", "");
        QDir().mkpath(Path("sys/class/tty/ttyUSB0"));
        QFile::link("../../../devices/usb1/1-1/1-1:1.0/ttyUSB0", Path("sys/class/tty/ttyUSB0/device"));
        QDir().mkpath(Path("dev/serial/by-id"));
        QFile::link("../../ttyUSB0", Path("dev/serial/by-id/usb-Prolific_Cable-if00-port0"));
        QDir().mkpath(Path("lock"));
        device = Path("dev/ttyUSB0");
        SetPortResolver([this](const QString& name) { return name == "COM1" ? device : Path("dev/none"); });
    }
    void TearDown() override { SetPortResolver({}); }

    QString Path(const QString& relative) const { return root.filePath(relative); }
    void Write(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile file(Path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void Process(int pid, const QByteArray& command, const QString& openFile, const char* fdName = "3") const
    {
        Write(QStringLiteral("proc/%1/comm").arg(pid), command + "\n");
        QDir().mkpath(Path(QStringLiteral("proc/%1/fd").arg(pid)));
        QFile::link(openFile, Path(QStringLiteral("proc/%1/fd/%2").arg(pid).arg(fdName)));
    }

    QString Run()
    {
        QStringList lines;
        result = RunConnectionDoctor(*scripted.link, "COM1", {root.path(), Path("proc"), Path("lock")},
                                     [&](const DoctorLine& line) { lines << DoctorLineText(line); });
        return lines.join('\n');
    }

    QTemporaryDir root;
    QString device;
    ScriptedLink scripted;
    DoctorResult result;
};

TEST_F(ConnectionDoctorTest, AdapterLockAndRivalsAreNamedWithTheirRemedies)
{
    FakeRegister reg(*scripted.device);
    Process(120, "ModemManager", device);
    Process(130, "brltty", device);
    Process(140, "bash", Path("dev/null-like"));
    Process(150, "minicom", device);
    Write("lock/LCK..ttyUSB0", "       150\n");

    const QString report = Run();
    EXPECT_TRUE(report.contains("     /dev/ttyUSB0: USB serial adapter, Prolific [067b:2303], "
                                "/dev/serial/by-id/usb-Prolific_Cable-if00-port0, used as COM1"))
        << report.toStdString();
    EXPECT_TRUE(report.contains("     COM2 = " + Path("dev/none") + " (not present)"));
    EXPECT_TRUE(report.contains("FAIL Lock file " + Path("lock/LCK..ttyUSB0") + " is held by process 150 (minicom)."));
    EXPECT_TRUE(report.contains("FAIL process 120 (ModemManager) has the device open.\n"
                                "       -> ModemManager probes new serial devices"));
    EXPECT_TRUE(report.contains("FAIL process 130 (brltty) has the device open.\n"
                                "       -> brltty takes many USB serial adapters"));
    EXPECT_TRUE(report.contains("(or end it: kill 150)"));
    EXPECT_FALSE(report.contains("(bash)"));
    EXPECT_TRUE(report.contains("OK   Log-in at 9600 bit/s: the register answered."));
    EXPECT_EQ(result.answeredRate, 0);
    EXPECT_EQ(reg.Transcript(), QStringList({"login", "logout"}));
}

TEST_F(ConnectionDoctorTest, AStaleLockIsAWarningAndAMissingDeviceEndsTheCheck)
{
    Write("lock/LCK..ttyUSB0", QByteArray("\x39\x30\x00\x00", 4)); // binary pid 12345, not running
    scripted.device->SetScript({});
    const QString report = Run();
    EXPECT_TRUE(report.contains("WARN Stale lock file " + Path("lock/LCK..ttyUSB0") + ": process 12345 no longer runs."))
        << report.toStdString();
    EXPECT_TRUE(report.contains("FAIL No register answered"));
    EXPECT_FALSE(result.answeredRate);

    QFile::remove(device);
    const QString missing = Run();
    EXPECT_TRUE(missing.contains("FAIL COM1 (" + device + ") does not exist.")) << missing.toStdString();
    EXPECT_FALSE(missing.contains("Log-in"));
    EXPECT_FALSE(result.deviceUsable);
}

// The check is run to understand a failed transfer: the trace that transfer
// left in DEBUG.LOG stays, with the check's own exchanges after it. A stop
// asked for ends the check before the next rate, without a verdict.
TEST_F(ConnectionDoctorTest, TheTransfersTraceStaysAndAStopEndsTheCheckBeforeTheNextRate)
{
    AppPaths::SetProgramDir(root.path());
    Write("DEBUG.LOG", "the failed transfer's trace\r\n");
    scripted.device->SetScript({});
    QStringList lines;
    result = RunConnectionDoctor(
        *scripted.link, "COM1", {root.path(), Path("proc"), Path("lock")},
        [&](const DoctorLine& line) { lines << DoctorLineText(line); },
        [&] { return lines.filter("no answer").size() >= 2; });
    const QString report = lines.join('\n');
    EXPECT_TRUE(report.contains("Log-in at 19200 bit/s: no answer.")) << report.toStdString();
    EXPECT_FALSE(report.contains("38400")) << report.toStdString();
    EXPECT_FALSE(report.contains("No register answered")) << report.toStdString();
    EXPECT_TRUE(result.stopped);

    QFile log(Path("DEBUG.LOG"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray trace = log.readAll();
    EXPECT_TRUE(trace.startsWith("the failed transfer's trace\r\n")) << trace.left(80).constData();
    EXPECT_EQ(trace.count(">>>>>>Send data<<<<<<<<"), 4) << "two log-in frames at each of two rates";
    AppPaths::SetProgramDir(QString());
}

TEST(DeviceAccessTest, TheRemedySaysWhetherToJoinTheGroupOrToLogInAgain)
{
    EXPECT_EQ(AccessRemedy({true, "dialout", false, false}), "");
    EXPECT_TRUE(AccessRemedy({false, "dialout", false, false}).contains("sudo usermod -aG dialout $USER"));
    EXPECT_TRUE(AccessRemedy({false, "dialout", true, false}).contains("log out and in again"));
    EXPECT_TRUE(AccessRemedy({false, "dialout", true, true}).contains("check its permissions"));
}

} // namespace
