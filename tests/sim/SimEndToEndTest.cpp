// Runs the real ecr-sim program on a pseudo-terminal and talks to it through
// the link path the way the PC program does.
#include "SimTestFrames.h"

#include "sim/SimContents.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <functional>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace SimTest;

namespace {

constexpr int kReplyTimeoutMs = 3000;
constexpr int kSilenceMs = 400;

// PLU_BIN_DIR names the folder of the programs; the build folder the test was
// configured with serves when it is not set.
QString SimProgram()
{
    QString binDir = qEnvironmentVariable("PLU_BIN_DIR");
    if (binDir.isEmpty())
        binDir = QStringLiteral(PLU_DEFAULT_BIN_DIR);
    return binDir + QStringLiteral("/ecr-sim");
}

class SimEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        linkPath = dir.filePath(QStringLiteral("port"));
    }

    void TearDown() override
    {
        ClosePort();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    void StartSim(const QStringList& extra = {})
    {
        process.setProgram(SimProgram());
        process.setArguments(QStringList{QStringLiteral("--link"), linkPath} + extra);
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000)) << qPrintable(process.errorString());
        while (!process.canReadLine()) {
            ASSERT_TRUE(process.waitForReadyRead(10000))
                << "no slave path printed: " << process.readAllStandardError().constData();
        }
        slavePath = QString::fromLocal8Bit(process.readLine().trimmed());
        ASSERT_TRUE(slavePath.startsWith(QLatin1String("/dev/"))) << qPrintable(slavePath);
        ASSERT_EQ(QFileInfo(linkPath).symLinkTarget(), slavePath);
    }

    void OpenPort(speed_t speed = B9600)
    {
        fd = ::open(QFile::encodeName(linkPath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        ::cfmakeraw(&tio);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
        SetRate(speed);
    }

    void SetRate(speed_t speed)
    {
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
    }

    void ClosePort()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    void Send(const Frame::Payload& request)
    {
        const QByteArray wire = Wire(request);
        qsizetype at = 0;
        while (at < wire.size()) {
            const ssize_t n = ::write(fd, wire.constData() + at, std::size_t(wire.size() - at));
            if (n < 0 && errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                ASSERT_GT(::poll(&p, 1, kReplyTimeoutMs), 0);
                continue;
            }
            ASSERT_GT(n, 0) << std::strerror(errno);
            at += n;
        }
    }

    // Reads until done(bytes) holds or timeoutMs have passed.
    QByteArray ReceiveUntil(const std::function<bool(const QByteArray&)>& done, int timeoutMs = kReplyTimeoutMs,
                            qsizetype limit = 4096)
    {
        QByteArray bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done(bytes) && bytes.size() < limit) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0)
                break;
            char buffer[512];
            const ssize_t n = ::read(fd, buffer, std::min<std::size_t>(sizeof buffer, std::size_t(limit - bytes.size())));
            if (n > 0)
                bytes.append(buffer, n);
        }
        return bytes;
    }

    // Up to count bytes, waiting at most timeoutMs for them.
    QByteArray Receive(qsizetype count, int timeoutMs = kReplyTimeoutMs)
    {
        return ReceiveUntil([count](const QByteArray& b) { return b.size() >= count; }, timeoutMs, count);
    }

    QByteArray Exchange(const Frame::Payload& request)
    {
        Send(request);
        return Receive(qsizetype(Frame::kWireBytes));
    }

    void StopSim()
    {
        process.terminate();  // SIGTERM
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    }

    QTemporaryDir dir;
    QString linkPath;
    QString slavePath;
    QProcess process;
    int fd = -1;
};

TEST_F(SimEndToEndTest, LogInStatusAndShutdown)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    ASSERT_NO_FATAL_FAILURE(OpenPort());
    Send(LogIn(0));
    EXPECT_EQ(Receive(1), QByteArray(1, '\x02'));

    const QByteArray wire = Exchange(Request(14, 16, QByteArray("\x00\x00\x10", 3)));
    ASSERT_EQ(wire.size(), 302);
    EXPECT_EQ(wire.left(4), Wire(Request(14, 16)).left(4)) << "the reply repeats the request's header";
    EXPECT_EQ(wire.at(301), '\xFF');
    const std::optional<Frame::Payload> reply = ReplyIn(wire);
    ASSERT_TRUE(reply.has_value());
    EXPECT_TRUE(DataOf(*reply).startsWith("RAM   0000"));

    ClosePort();
    ASSERT_NO_FATAL_FAILURE(StopSim());
    EXPECT_FALSE(QFileInfo(linkPath).isSymLink()) << "the link is removed on exit";
}

TEST_F(SimEndToEndTest, RateFollowsWhatThePcSideSets)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    ASSERT_NO_FATAL_FAILURE(OpenPort(B19200));
    Send(LogIn(4));
    EXPECT_TRUE(Receive(1, kSilenceMs).isEmpty()) << "not listening at 19200";

    ASSERT_NO_FATAL_FAILURE(SetRate(B9600));
    Send(LogIn(4));
    ASSERT_EQ(Receive(1), QByteArray(1, '\x02'));
    ASSERT_NO_FATAL_FAILURE(SetRate(B115200));
    EXPECT_TRUE(ReplyIn(Exchange(Request(0, 0))).has_value());

    // The PC closes the port between transfers; the line stays up.
    ClosePort();
    ASSERT_NO_FATAL_FAILURE(OpenPort(B115200));
    Send(LogOut());
    EXPECT_EQ(Receive(1), QByteArray(1, '\x02'));
    ASSERT_NO_FATAL_FAILURE(SetRate(B9600));
    Send(LogIn(0));
    EXPECT_EQ(Receive(1), QByteArray(1, '\x02'));
    ASSERT_NO_FATAL_FAILURE(StopSim());
}

TEST_F(SimEndToEndTest, StateAndLogFilesAreWritten)
{
    const QString statePath = dir.filePath(QStringLiteral("state.json"));
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--state"), statePath, QStringLiteral("--fill-demo"),
                                      QStringLiteral("--price-decimals"), QStringLiteral("3"),
                                      QStringLiteral("--log"), logPath}));
    ASSERT_NO_FATAL_FAILURE(OpenPort());
    Send(LogIn(0));
    ASSERT_EQ(Receive(1), QByteArray(1, '\x02'));
    const std::optional<Frame::Payload> status = ReplyIn(Exchange(Request(0, 0)));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ((*status)[Frame::kDataOffset], 3);

    QByteArray entry(256, '\0');
    entry[0] = 1;
    entry[1] = char(2999 & 0xFF);
    entry[2] = char(2999 >> 8);
    entry.replace(5 + 7, 4, "Test");
    Send(Request(13, 0, entry));
    ASSERT_EQ(Receive(1), QByteArray(1, '\x02'));
    ASSERT_NO_FATAL_FAILURE(StopSim());

    TSimContents saved;
    QString error;
    ASSERT_TRUE(saved.LoadFile(statePath, &error)) << qPrintable(error);
    EXPECT_EQ(SimRecords::DecodePlu(saved.Plu(2999)).name, "Test");
    EXPECT_EQ(SimRecords::DecodePlu(saved.Plu(0)).name, "Milk 1l");
    EXPECT_EQ(saved.PriceDecimals(), 3);

    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].contains("cmd 13 param 0")) << lines[2].constData();
}

// A simulator that fell behind still logs every frame sent before it was told
// to stop: its log is complete once it has ended.
TEST_F(SimEndToEndTest, FramesSentBeforeTheStopAreLogged)
{
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--log"), logPath}));
    ASSERT_NO_FATAL_FAILURE(OpenPort());
    // Stopped, it reads nothing: the log-in and the request to end wait together.
    const pid_t pid = pid_t(process.processId());
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    for (int i = 0; i < 200 && !(stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ")); ++i) {
        stat.close();
        ::usleep(10000);
    }
    Send(LogIn(0));
    process.terminate();
    ASSERT_EQ(::kill(pid, SIGCONT), 0);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();

    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("cmd 14 param 1 (log-in)"));
}

TEST_F(SimEndToEndTest, PacedSplitNoisyLineStillCarriesTheExchange)
{
    ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--wire-time"), QStringLiteral("--split"),
                                      QStringLiteral("--noise"), QStringLiteral("--rate"), QStringLiteral("19200")}));
    ASSERT_NO_FATAL_FAILURE(OpenPort(B19200));
    Send(LogIn(1));
    const QByteArray ack = ReceiveUntil([](const QByteArray& b) { return b.contains('\x02'); });
    ASSERT_TRUE(ack.endsWith('\x02')) << ack.toHex(' ').constData();
    EXPECT_GT(ack.size(), 1) << "noise came first";
    Send(Request(0, 0));
    const QByteArray reply = ReceiveUntil([](const QByteArray& b) { return ReplyIn(b).has_value(); });
    EXPECT_TRUE(ReplyIn(reply).has_value()) << reply.toHex(' ').constData();
    ASSERT_NO_FATAL_FAILURE(StopSim());
}

TEST_F(SimEndToEndTest, NeverReplacesAFileThatIsNotALink)
{
    QFile file(linkPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    process.start(SimProgram(), {QStringLiteral("--link"), linkPath});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_NE(process.exitCode(), 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

} // namespace
