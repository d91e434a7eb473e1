#include "serial/Comm.h"

#include "EventWait.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QMetaProperty>
#include <QTemporaryFile>
#include <QThread>

#include <gtest/gtest.h>

#include <utility>

#include <memory>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

speed_t OutputSpeed(const PtyPair& pty)
{
    const termios t = pty.SlaveSettings();
    return cfgetospeed(&t);
}

class CommTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The way the link layer sets the port up.
        comm.SetCommName(pty.SlavePath());
        comm.SetDtrControl(TComm::TDtrControl::DtrDisable);
        comm.SetTxContinueOnXoff(false);
        comm.SetOutx_XonXoffFlow(false);
        comm.SetReadIntervalTimeout(1);
        comm.SetOnSendDataEmpty([this](TComm* sender) {
            EXPECT_EQ(sender, &comm);
            ++sendEmptyCount;
        });
        comm.SetOnReceiveData([this](TComm*, const quint8* buffer, quint16 length) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            chunkSizes.push_back(length);
            received.append(reinterpret_cast<const char*>(buffer), length);
        });
    }

    bool Write(const QByteArray& bytes)
    {
        return comm.WriteBytes(reinterpret_cast<const quint8*>(bytes.constData()),
                               static_cast<quint16>(bytes.size()));
    }

    static std::string OpenError(TComm& device) { return OpenFailure(device).first; }
    static std::string OpenReason(TComm& device) { return OpenFailure(device).second; }

    // The fixed text and the reason of a failed opening; both empty when it opened.
    static std::pair<std::string, std::string> OpenFailure(TComm& device)
    {
        try {
            device.OpenPort();
        } catch (const ECommsError& error) {
            return {error.what(), error.Reason()};
        }
        return {};
    }

    PtyPair pty;
    TComm comm;
    int sendEmptyCount = 0;
    QByteArray received;
    std::vector<int> chunkSizes;
};

TEST_F(CommTest, PublishesItsPropertiesInOrderWithTheirDefaults)
{
    const TComm fresh;
    const QMetaObject& meta = TComm::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names << QString::fromLatin1(meta.property(i).name());
    EXPECT_EQ(
        names.join(' '),
        "CommName BaudRate ParityCheck Outx_CtsFlow Outx_DsrFlow DtrControl DsrSensitivity "
        "TxContinueOnXoff Outx_XonXoffFlow Inx_XonXoffFlow ReplaceWhenParityError IgnoreNullChar "
        "RtsControl XonLimit XoffLimit ByteSize Parity StopBits XonChar XoffChar ReplacedChar "
        "ReadIntervalTimeout ReadTotalTimeoutMultiplier ReadTotalTimeoutConstant "
        "WriteTotalTimeoutMultiplier WriteTotalTimeoutConstant");
    EXPECT_EQ(fresh.CommName(), "COM2");
    EXPECT_EQ(fresh.BaudRate(), 9600u);
    EXPECT_EQ(fresh.DtrControl(), TComm::TDtrControl::DtrEnable);
    EXPECT_TRUE(fresh.TxContinueOnXoff());
    EXPECT_TRUE(fresh.Outx_XonXoffFlow());
    EXPECT_TRUE(fresh.Inx_XonXoffFlow());
    EXPECT_EQ(fresh.XonLimit(), 500);
    EXPECT_EQ(fresh.XonChar(), 0x11);
    EXPECT_EQ(fresh.XoffChar(), 0x13);
    EXPECT_EQ(fresh.ReadIntervalTimeout(), 100u);
    EXPECT_FALSE(fresh.IsOpen());
}

// --- Opening -------------------------------------------------------------

TEST_F(CommTest, FailedOpeningsLeaveThePortClosedAndALaterOpeningWorks)
{
    TComm device;
    device.SetCommName(QStringLiteral("/dev/no-such-serial-port"));
    EXPECT_EQ(OpenError(device), "Error opening serial port");
    EXPECT_EQ(OpenReason(device), "/dev/no-such-serial-port does not exist.");
    EXPECT_FALSE(device.IsOpen());

    device.SetCommName(QStringLiteral("/dev/null"));
    EXPECT_EQ(OpenError(device), "File handle is not a comm handle ");
    EXPECT_EQ(OpenReason(device), "/dev/null is not a serial device.");
    EXPECT_FALSE(device.IsOpen());

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    device.SetCommName(file.fileName());
    EXPECT_EQ(OpenError(device), "File handle is not a comm handle ");
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.WriteBytes(reinterpret_cast<const quint8*>("x"), 1));

    device.SetCommName(pty.SlavePath());
    EXPECT_EQ(OpenError(device), "");
    EXPECT_TRUE(device.IsOpen());
}

TEST_F(CommTest, OpeningAnOpenPortAndClosingAClosedOneDoNothing)
{
    comm.ClosePort();
    comm.OpenPort();
    // The transmit thread reports its empty queue once at start-up.
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount == 1; }));
    EXPECT_NO_THROW(comm.OpenPort());
    ProcessPosted();
    EXPECT_EQ(sendEmptyCount, 1);
    EXPECT_TRUE(comm.IsOpen());

    // Still the same threads: the bytes get through once, with no second start-up notice.
    ASSERT_TRUE(Write("ping"));
    EXPECT_EQ(pty.ReadMaster(4), "ping");
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount == 2; }));

    comm.ClosePort();
    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommTest, APortIsOpenedExclusivelyAndReleasedOnClose)
{
    comm.OpenPort();
    TComm second;
    second.SetCommName(pty.SlavePath());
    EXPECT_EQ(OpenError(second), "Error opening serial port");
    EXPECT_EQ(OpenReason(second), pty.SlavePath().toStdString() + " is in use by another program.");
    EXPECT_FALSE(second.IsOpen());

    comm.ClosePort();
    EXPECT_EQ(OpenError(second), "");
    EXPECT_TRUE(second.IsOpen());
}

// --- Line settings -------------------------------------------------------

TEST_F(CommTest, OpenSetsARawEightNoneOneLineWithInputFlowControlOnly)
{
    comm.OpenPort();
    const termios t = pty.SlaveSettings();
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL | INPCK), 0u);
    EXPECT_NE(t.c_iflag & IXOFF, 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));
}

TEST_F(CommTest, LineSettingsChangeAtOnceOnAnOpenPort)
{
    comm.OpenPort();
    comm.SetBaudRate(115200);
    EXPECT_EQ(OutputSpeed(pty), speed_t(B115200));

    comm.SetStopBits(TComm::TStopBits::_2);
    comm.SetParityCheck(true);
    comm.SetOutx_CtsFlow(true);
    comm.SetOutx_XonXoffFlow(true);
    comm.SetInx_XonXoffFlow(false);
    comm.SetXoffChar(0x14);
    const termios t = pty.SlaveSettings();
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_iflag & INPCK, 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(t.c_iflag & IXON, 0u);
    EXPECT_EQ(t.c_iflag & IXOFF, 0u);
    EXPECT_EQ(t.c_cc[VSTOP], 0x14);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));
}

TEST_F(CommTest, AnUnchangedValueLeavesThePortAlone)
{
    comm.OpenPort();
    termios marked = pty.SlaveSettings();
    marked.c_lflag |= ECHO; // something only a reapplication would clear
    pty.SetSlaveSettings(marked);

    comm.SetBaudRate(comm.BaudRate());
    comm.SetParity(comm.Parity());
    EXPECT_NE(pty.SlaveSettings().c_lflag & ECHO, 0u);

    comm.SetBaudRate(19200);
    const termios t = pty.SlaveSettings();
    EXPECT_EQ(t.c_lflag & ECHO, 0u);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
}

TEST_F(CommTest, AnUnsupportedBaudRateIsRefusedAndTheOldOneKept)
{
    EXPECT_THROW(comm.SetBaudRate(12345), std::invalid_argument);
    EXPECT_EQ(comm.BaudRate(), 9600u);

    comm.SetBaudRate(57600);
    comm.OpenPort();
    EXPECT_THROW(comm.SetBaudRate(0), std::invalid_argument);
    EXPECT_EQ(comm.BaudRate(), 57600u);
    EXPECT_EQ(OutputSpeed(pty), speed_t(B57600));
}

// --- Transmitting --------------------------------------------------------

TEST_F(CommTest, EmptyBlocksAndClosedPortsRefuseWrites)
{
    EXPECT_FALSE(Write("abc"));
    comm.OpenPort();
    EXPECT_FALSE(comm.WriteBytes(reinterpret_cast<const quint8*>("abc"), 0));
    ASSERT_TRUE(Write("abc"));
    EXPECT_EQ(pty.ReadMaster(3), "abc");
    comm.ClosePort();
    EXPECT_FALSE(Write("abc"));
}

TEST_F(CommTest, QuickWritesKeepTheirOrderAndAreReportedAfterTheLast)
{
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount == 1; }));

    // At each report, look at what has reached the far end by then.
    QByteArray seen;
    bool reportedAfterBoth = false;
    comm.SetSendCompleteHandler([&] {
        seen += pty.ReadMasterAvailable();
        reportedAfterBoth = reportedAfterBoth || seen == "first block|second block";
    });
    ASSERT_TRUE(Write("first block|"));
    ASSERT_TRUE(Write("second block"));
    ASSERT_TRUE(WaitUntil([&] { return reportedAfterBoth; }));
}

// On an idle line the block is written before WriteBytes returns: handing it
// to the transmit thread first costs a wake-up of that thread on every frame.
TEST_F(CommTest, ABlockForAnIdleLineIsOnItsWayWhenTheCallReturns)
{
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount == 1; }));
    ASSERT_TRUE(Write("frame"));
    EXPECT_EQ(pty.ReadMasterAvailable(), "frame");
    EXPECT_TRUE(WaitUntil([&] { return sendEmptyCount == 2; })) << "the block was not reported sent";
}

TEST_F(CommTest, ABlockLargerThanTheDriverBufferIsWrittenWhole)
{
    comm.OpenPort();
    const QByteArray block = Pattern(60000);
    ASSERT_TRUE(Write(block));
    EXPECT_EQ(pty.ReadMaster(block.size()), block);
}

// --- Receiving -----------------------------------------------------------

TEST_F(CommTest, BytesFromTheLineReachTheHandlerOnTheUserInterfaceThread)
{
    comm.OpenPort();
    pty.WriteMaster("\x02 hello");
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 7; }));
    EXPECT_EQ(received, "\x02 hello");
}

TEST_F(CommTest, ABurstArrivesCompleteAndInOrderInBoundedChunks)
{
    comm.OpenPort();
    const QByteArray burst = Pattern(5000);
    pty.WriteMaster(burst);
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= burst.size(); }));
    EXPECT_EQ(received, burst);
    EXPECT_GE(chunkSizes.size(), 3u);
    for (const int size : chunkSizes)
        EXPECT_LE(size, 2048);
}

TEST_F(CommTest, NulBytesAreDroppedOnlyWhenAskedTo)
{
    comm.OpenPort();
    pty.WriteMaster(QByteArray("a\0b", 3));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 3; }));
    EXPECT_EQ(received, QByteArray("a\0b", 3));

    received.clear();
    comm.SetIgnoreNullChar(true);
    pty.WriteMaster(QByteArray("\0c\0\0d", 5));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 2; }));
    EXPECT_EQ(received, "cd");
}

TEST_F(CommTest, TheLinkLayerViewDeliversChunksAndSendReports)
{
    ISerialDevice& device = comm;
    QByteArray got;
    int reports = 0;
    device.SetReceiveHandler([&](const quint8* data, quint16 length) {
        got.append(reinterpret_cast<const char*>(data), length);
    });
    device.SetSendCompleteHandler([&] { ++reports; });
    device.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return reports == 1; }));
    pty.WriteMaster("reply");
    ASSERT_TRUE(WaitUntil([&] { return got == "reply"; }));
}

// --- Closing and losing the line ----------------------------------------

TEST_F(CommTest, ClosingInterruptsAPendingReadAndReleasesThePort)
{
    comm.SetReadIntervalTimeout(30000);
    comm.OpenPort();
    pty.WriteMaster("x"); // the receive thread now waits for a quiet line
    QElapsedTimer clock;
    clock.start();
    comm.ClosePort();
    EXPECT_LT(clock.elapsed(), 10000); // far below the interval it was waiting out
    EXPECT_FALSE(comm.IsOpen());

    ProcessPosted();
    EXPECT_TRUE(received.isEmpty());
    TComm next;
    next.SetCommName(pty.SlavePath());
    EXPECT_EQ(OpenError(next), "");
}

TEST_F(CommTest, NotificationsOfAnEarlierOpeningAreDropped)
{
    comm.OpenPort(); // its transmit thread reports at start-up...
    comm.ClosePort();
    ProcessPosted(); // ...but the port has been closed since
    EXPECT_EQ(sendEmptyCount, 0);

    comm.OpenPort();
    comm.ClosePort();
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount >= 1; }));
    ProcessPosted();
    EXPECT_EQ(sendEmptyCount, 1);
}

TEST_F(CommTest, AVanishedLineIsReportedOnceOnTheUserInterfaceThread)
{
    int hangups = 0;
    comm.SetOnRequestHangup([&](TComm* sender) {
        EXPECT_EQ(sender, &comm);
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ++hangups;
    });
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return sendEmptyCount == 1; }));
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return hangups > 0; }));

    // The transmit thread fails on the dead line as well; still one report.
    Write("lost");
    WaitUntil([&] { return false; }, 200ms);
    EXPECT_EQ(hangups, 1);

    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommTest, DestroyingAnOpenComponentStopsItsThreads)
{
    bool called = false;
    {
        auto device = std::make_unique<TComm>();
        device->SetCommName(pty.SlavePath());
        device->SetReadIntervalTimeout(1);
        device->SetOnReceiveData([&](TComm*, const quint8*, quint16) { called = true; });
        device->SetOnSendDataEmpty([&](TComm*) { called = true; });
        device->OpenPort();
        pty.WriteMaster("pending");
        device->WriteBytes(reinterpret_cast<const quint8*>("out"), 3);
    }
    ProcessPosted();
    EXPECT_FALSE(called);

    TComm next;
    next.SetCommName(pty.SlavePath());
    EXPECT_EQ(OpenError(next), "");
}

} // namespace
