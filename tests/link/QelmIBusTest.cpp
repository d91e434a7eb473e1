#include "link/QelmIBus.h"
#include "link/RegisterLink.h"

#include "link/support/RegisterFrames.h"
#include "link/support/ScriptedSerialDevice.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "serial/CommsError.h"
#include "config/AppPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

using namespace RegisterFrames;
using Result = TQelmIBusComm::WaitResult;
using Write = ScriptedSerialDevice::Write;

namespace {

class RecordingMessageBox : public IMessageBox
{
public:
    void Error(const QString& text) override { errors << text; }
    void Information(const QString&) override {}
    SaveAnswer AskYesNoCancel(const QString&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const QString&) override { return false; }
    void Beep() override {}

    QStringList errors;
};

const QByteArray kAck = Bytes({0x02});
const QByteArray kNak = Bytes({0x55});

bool IsLogIn(const Write& write)
{
    const Frame::Payload p = PayloadOf(write.bytes);
    return IsFrame(write.bytes) && p[0] == 14 && p[1] == 1 && p[2] == 0;
}

bool IsStatusRequest(const Write& write)
{
    const Frame::Payload p = PayloadOf(write.bytes);
    return IsFrame(write.bytes) && p[0] == 14 && p[1] == 16 && p[2] == 0;
}

// A register that acknowledges every frame except requests, which it answers
// with a reply frame carrying counting data bytes.
QList<QByteArray> Cooperative(const Write& write, int)
{
    if (IsStatusRequest(write))
        return {Reply(PayloadOf(write.bytes), Counting(0x40)) + Bytes({0xFF})};
    return {kAck};
}

QStringList Lines(const QByteArray& file)
{
    QStringList lines = QString::fromLatin1(file).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString()) << "the file ends with CR LF";
    return lines;
}

class QelmIBusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
        auto device = std::make_unique<ScriptedSerialDevice>();
        m_device = device.get();
        m_link = std::make_unique<TQelmIBusComm>(std::move(device));
        TraceBesideSettings(*m_link);
        m_link->SetMessageBox(&m_messages);
        m_link->SetRetryInterval(30);
        m_link->SetActive(true);
    }

    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QByteArray TraceFile() const
    {
        QFile file(AppPaths::TracePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    int RetryMarkers() const { return static_cast<int>(m_link->TraceLines().filter("Retry:").size()); }

    QList<quint32> WriteRates() const
    {
        QList<quint32> rates;
        for (const Write& write : m_device->Writes())
            rates << write.rate;
        return rates;
    }

    Result WaitForAnswerTo(const QByteArray& answer, int interval = 30)
    {
        m_device->SetScript([answer](const Write&, int) { return QList<QByteArray>{answer}; });
        m_link->SendRaw(std::vector<quint8>{0x11});
        m_link->SetReceiveMode(LinkReceiver::Mode::Ack);
        return m_link->WaitReply(interval);
    }

    QTemporaryDir m_dir;
    RecordingMessageBox m_messages;
    ScriptedSerialDevice* m_device = nullptr;
    std::unique_ptr<TQelmIBusComm> m_link;
};

} // namespace

TEST_F(QelmIBusTest, DefaultsAndLineRate)
{
    auto device = std::make_unique<ScriptedSerialDevice>();
    ScriptedSerialDevice* raw = device.get();
    TQelmIBusComm link(std::move(device));
    EXPECT_EQ(raw->BaudRate(), 9600u);
    EXPECT_EQ(link.RetryInterval(), 800);
    EXPECT_EQ(link.RetryCount(), 6);

    link.SetBaudRate(TQelmIBusComm::tbr57600);
    EXPECT_EQ(raw->BaudRate(), 57600u);
    link.SetCommName("COM4");
    EXPECT_EQ(raw->CommName(), "COM4");
    link.SetRetryCount(11);
    EXPECT_EQ(link.RetryCount(), 10);
}

TEST_F(QelmIBusTest, AcknowledgementOutcomes)
{
    m_link->SetTraceEnabled(true);
    EXPECT_EQ(WaitForAnswerTo(Bytes({0x41, 0x02, 0x55})), Result::Acknowledged);
    EXPECT_EQ(WaitForAnswerTo(Bytes({0x41, 0x55, 0x02})), Result::Rejected);
    EXPECT_EQ(WaitForAnswerTo(Bytes({0x41, 0x03, 0x04, 0x80})), Result::TimedOut);

    // Only the accepted bytes reach the trace, never the noise around them.
    const QStringList received = m_link->TraceLines().filter("Receive");
    EXPECT_EQ(received.size(), 2);
    EXPECT_EQ(m_link->TraceLines().filter("41").size(), 0);
    EXPECT_TRUE(m_link->TraceLines().contains("02 "));
    EXPECT_TRUE(m_link->TraceLines().contains("55 "));
}

TEST_F(QelmIBusTest, AcknowledgementQueuedBeforeTheWaitCountsForTheNewTransmission)
{
    // A late 0x02 that answered an earlier attempt is still waiting in the
    // event queue when the next transmission starts.
    m_device->Deliver(kAck);
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 1);
}

TEST_F(QelmIBusTest, AnswersPostedByAWorkerThreadEndTheWaitAtOnce)
{
    // Were the wait left blocked after handling the answer, the reply timer
    // would end it first and every attempt would count as silence.
    m_link->SetRetryInterval(2000);
    m_link->SetRetryCount(1);
    m_device->AnswerFromWorkerThread(20);
    m_device->SetScript(Cooperative);
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_TRUE(m_link->ReadStatus());
    EXPECT_EQ(m_device->Writes().size(), 2);
}

TEST_F(QelmIBusTest, SilentRegisterGetsRetryCountPlusOneFrames)
{
    m_link->SetTraceEnabled(true);
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 7);
    EXPECT_EQ(RetryMarkers(), 6);
    EXPECT_TRUE(m_link->TraceLines().contains("Retry:6"));

    EXPECT_FALSE(m_link->RequestPacket(11, 2));
    EXPECT_EQ(m_device->Writes().size(), 14);
}

TEST_F(QelmIBusTest, AnswerToTheLastTransmissionCountsOnlyForExchanges)
{
    m_device->SetScript([](const Write& write, int index) {
        if (index % 7 != 6)
            return QList<QByteArray>{};
        const Frame::Payload request = PayloadOf(write.bytes);
        return request[0] == 13 ? QList<QByteArray>{kAck}
                                : QList<QByteArray>{Reply(request, Counting(1))};
    });
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 7);
    EXPECT_TRUE(m_link->RequestPacket(11, 1));
    EXPECT_EQ(m_device->Writes().size(), 14);

    m_link->SetRetryCount(0);
    m_device->SetScript(Cooperative);
    EXPECT_FALSE(m_link->SendPacket(13, 1)) << "the only acknowledgement is never looked at";
}

TEST_F(QelmIBusTest, RejectionIsRetried)
{
    m_device->SetScript([](const Write&, int index) { return QList<QByteArray>{index == 0 ? kNak : kAck}; });
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 2);
}

TEST_F(QelmIBusTest, WrongOrCorruptReplyIsRetried)
{
    m_link->SetTraceEnabled(true);
    m_device->SetScript([](const Write& write, int index) {
        Frame::Payload request = PayloadOf(write.bytes);
        if (index == 0) {
            Frame::Payload other = request;
            other[1] ^= 0x01; // another parameter: the header does not match
            return QList<QByteArray>{Reply(other, Counting(9))};
        }
        QByteArray reply = Reply(request, Counting(9));
        if (index == 1)
            reply[100] = static_cast<char>(reply[100] ^ 0x01); // checksum no longer matches
        return QList<QByteArray>{reply.left(50), reply.mid(50, 200), reply.mid(250)};
    });
    EXPECT_TRUE(m_link->RequestPacket(8, 0x0102));
    EXPECT_EQ(m_device->Writes().size(), 3);
    EXPECT_EQ(RetryMarkers(), 2);
    // The wrong reply was never accepted; the corrupt one was, then refused.
    EXPECT_EQ(m_link->TraceLines().filter("Receive").size(), 2);
    const RegisterFrames::Data expected = Counting(9);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), m_link->PacketData().begin()));
}

TEST_F(QelmIBusTest, RequestCopiesOnlyTheReplysDataBytes)
{
    m_link->PacketData().fill(0xEE);
    m_device->SetScript([](const Write& write, int) {
        return QList<QByteArray>{Reply(PayloadOf(write.bytes), Counting(0x20))};
    });
    EXPECT_TRUE(m_link->RequestPacket(10, 0x0203));
    const Frame::Payload sent = PayloadOf(m_device->Writes().first().bytes);
    EXPECT_EQ(sent[0], 10);
    EXPECT_EQ(sent[1], 0x03);
    EXPECT_EQ(sent[2], 0x02);
    EXPECT_EQ(sent[3], 0xEE) << "the request carries PacketData";

    const auto& data = m_link->PacketData();
    EXPECT_EQ(data[0], 0x20);
    EXPECT_EQ(data[255], static_cast<quint8>(0x20 + 255));
    EXPECT_EQ(data[256], 0xEE) << "bytes past the 256 data bytes are not touched";
}

TEST_F(QelmIBusTest, StatusRequestPayloadAndClearedArea)
{
    m_link->PacketData().fill(0xEE);
    m_device->SetScript(Cooperative);
    EXPECT_TRUE(m_link->ReadStatus());
    const Frame::Payload sent = PayloadOf(m_device->Writes().first().bytes);
    EXPECT_EQ(std::vector<quint8>(sent.begin(), sent.begin() + 6),
              (std::vector<quint8>{0x0E, 0x10, 0x00, 0x00, 0x00, 0x10}));
    EXPECT_TRUE(std::all_of(sent.begin() + 6, sent.begin() + 259, [](quint8 b) { return b == 0; }));
    EXPECT_EQ(m_link->PacketData()[0], 0x40);
    EXPECT_TRUE(std::all_of(m_link->PacketData().begin() + 256, m_link->PacketData().end(),
                            [](quint8 b) { return b == 0; }));
}

TEST_F(QelmIBusTest, BroadcastSilenceIsSuccessAndRejectionFailure)
{
    m_link->SetBroadCast(true);
    m_link->SetBroadCastInterval(20);
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 1);

    m_device->SetScript([](const Write&, int) { return QList<QByteArray>{kNak}; });
    EXPECT_FALSE(m_link->SendPacket(13, 2));
    EXPECT_EQ(m_device->Writes().size(), 2);
}

TEST_F(QelmIBusTest, BroadcastLogInGoesOnceAtTheConfiguredRate)
{
    m_link->SetBroadCast(true);
    m_link->SetBroadCastInterval(20);
    m_link->SetBroadCastScaleType(TQelmIBusComm::tbs5120);
    m_link->SetBaudRate(TQelmIBusComm::tbr38400);
    m_link->BroadCastAddresses()[1] = 4321;
    m_device->SetScript([](const Write& write, int) {
        return IsStatusRequest(write) ? Cooperative(write, 0) : QList<QByteArray>{};
    });
    EXPECT_TRUE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    ASSERT_EQ(m_device->Writes().size(), 2);
    EXPECT_EQ(WriteRates(), (QList<quint32>{38400, 38400}));
    const Frame::Payload logIn = PayloadOf(m_device->Writes()[0].bytes);
    EXPECT_EQ(logIn[3], 0x00);
    EXPECT_EQ(logIn[14], 0xA5);
    EXPECT_EQ(logIn[39], 0x21);
    EXPECT_EQ(logIn[40], 0x43);
}

TEST_F(QelmIBusTest, AbortEndsTheWaitWithoutFurtherTransmissions)
{
    m_link->SetRetryInterval(10000);
    QTimer::singleShot(30, m_link.get(), [this] { m_link->Abort(); });
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 1);

    QTimer::singleShot(30, m_link.get(), [this] { m_link->Abort(); });
    EXPECT_FALSE(m_link->RequestPacket(11, 1));
    EXPECT_EQ(m_device->Writes().size(), 2);

    QTimer::singleShot(30, m_link.get(), [this] { m_link->Abort(); });
    m_link->SendRaw(std::vector<quint8>{0x11});
    m_link->SetReceiveMode(LinkReceiver::Mode::Frame);
    EXPECT_EQ(m_link->WaitReply(10000), Result::Aborted);
}

TEST_F(QelmIBusTest, RefusedTransmissionFailsTheAttemptAtOnce)
{
    m_link->SetTraceEnabled(true);
    m_link->SetActive(false);
    m_link->SetRetryInterval(60000);
    // Should a wait hang on the send-complete notice that never comes, this
    // ends it after the first attempt and the counts below fail.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, m_link.get(), [this] { m_link->Abort(); });
    guard.start(5000);

    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->RefusedWrites(), 7);
    EXPECT_FALSE(m_link->RequestPacket(11, 1));
    EXPECT_EQ(m_device->RefusedWrites(), 14);
    EXPECT_FALSE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    EXPECT_EQ(m_device->RefusedWrites(), 35);

    m_link->SetBroadCast(true);
    EXPECT_FALSE(m_link->SendPacket(13, 1)) << "no silence to count as success";
    m_link->SetBroadCast(false);

    m_link->SetBaudRate(TQelmIBusComm::tbr19200);
    EXPECT_FALSE(m_link->SendSyncPattern());
    EXPECT_EQ(m_device->BaudRate(), 19200u);
    EXPECT_TRUE(m_device->Writes().isEmpty());
    EXPECT_TRUE(m_link->TraceLines().filter("Send").isEmpty()) << "nothing went out";
}

TEST_F(QelmIBusTest, LogInHuntsThroughTheLineRates)
{
    m_device->SetScript([](const Write&, int) { return QList<QByteArray>{kNak}; });
    EXPECT_FALSE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    ASSERT_EQ(m_device->Writes().size(), 21);
    const QList<quint32> expected{9600,  9600,  19200, 38400,  57600, 115200, 9600,
                                  19200, 38400, 57600, 115200, 9600,  19200,  38400,
                                  57600, 115200, 9600, 19200,  38400, 57600,  115200};
    EXPECT_EQ(WriteRates(), expected);
    EXPECT_TRUE(std::all_of(m_device->Writes().begin(), m_device->Writes().end(), IsLogIn))
        << "no status request after a failed log-in";
}

TEST_F(QelmIBusTest, LogInSwitchesToTheConfiguredRateForTheStatusRequest)
{
    m_link->SetTraceEnabled(true);
    m_link->SetBaudRate(TQelmIBusComm::tbr57600);
    m_device->SetScript([](const Write& write, int index) {
        if (index == 0)
            return QList<QByteArray>{};            // silence: a full log-in wait
        if (index == 1)
            return QList<QByteArray>{kNak};        // retried like silence
        return Cooperative(write, index);
    });
    EXPECT_TRUE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    ASSERT_EQ(m_device->Writes().size(), 4);
    EXPECT_EQ(WriteRates(), (QList<quint32>{9600, 9600, 19200, 57600}));
    EXPECT_TRUE(IsStatusRequest(m_device->Writes()[3]));
    EXPECT_EQ(m_device->BaudRate(), 57600u);
    EXPECT_EQ(RetryMarkers(), 2);
    EXPECT_EQ(PayloadOf(m_device->Writes()[0].bytes)[13], 3);
}

TEST_F(QelmIBusTest, RejectedProgramLoadLogInEndsAtOnce)
{
    m_device->SetScript([](const Write&, int) { return QList<QByteArray>{kNak}; });
    EXPECT_FALSE(m_link->LogIn(TQelmIBusComm::kAccessCode, true));
    EXPECT_EQ(m_device->Writes().size(), 1);
    EXPECT_EQ(PayloadOf(m_device->Writes()[0].bytes)[14], 0);
}

TEST_F(QelmIBusTest, LogInPayloadTakesTheClockOnce)
{
    int reads = 0;
    m_link->SetClock([&reads] {
        ++reads;
        return QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
    });
    m_device->SetScript([](const Write& write, int index) {
        return index == 0 ? QList<QByteArray>{kNak} : Cooperative(write, index);
    });
    EXPECT_TRUE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    EXPECT_EQ(reads, 1);
    const Frame::Payload first = PayloadOf(m_device->Writes()[0].bytes);
    EXPECT_EQ(first, PayloadOf(m_device->Writes()[1].bytes));
    EXPECT_EQ(std::vector<quint8>(first.begin() + 3, first.begin() + 15),
              (std::vector<quint8>{0x50, 0x73, 0x00, 0x00, 0x26, 0x12, 0x31, 0x23, 0x59, 0x58, 0x00, 0x01}));
}

TEST_F(QelmIBusTest, LogOutTriesThreeTimesWithoutRetryMarkers)
{
    m_link->SetTraceEnabled(true);
    EXPECT_TRUE(m_link->LogOut(TQelmIBusComm::kAccessCode, 1));
    ASSERT_EQ(m_device->Writes().size(), 3);
    EXPECT_EQ(RetryMarkers(), 0);
    EXPECT_EQ(PayloadOf(m_device->Writes()[2].bytes)[7], 1);

    m_device->SetScript(Cooperative);
    EXPECT_TRUE(m_link->LogOut(TQelmIBusComm::kAccessCode, 0));
    EXPECT_EQ(m_device->Writes().size(), 4);
}

// A port (a USB adapter) that reports the frame sent while it is still on
// the wire: 302 bytes take 315 ms at 9600 bit/s, and the register's answer
// 250 ms after the report still counts for the first log-out frame.
TEST_F(QelmIBusTest, TheWaitForAnAnswerStartsWhenTheFrameIsOnTheWire)
{
    m_device->SetScript([](const Write&, int) { return QList<QByteArray>{kAck}; });
    m_device->AnswerFromWorkerThread(250);
    EXPECT_TRUE(m_link->LogOut(TQelmIBusComm::kAccessCode, 1));
    EXPECT_EQ(m_device->Writes().size(), 1);
}

TEST_F(QelmIBusTest, SyncPatternsGoAtTheirOwnRate)
{
    m_link->SetBaudRate(TQelmIBusComm::tbr115200);
    EXPECT_TRUE(m_link->SendSyncPattern());
    ASSERT_EQ(m_device->Writes().size(), 1);
    EXPECT_EQ(m_device->Writes()[0].bytes, QByteArray(64, 0x66));
    EXPECT_EQ(m_device->Writes()[0].rate, 4800u);
    EXPECT_EQ(m_device->BaudRate(), 115200u);

    EXPECT_TRUE(m_link->SendDoubleSyncPattern());
    EXPECT_EQ(WriteRates(), (QList<quint32>{4800, 4800, 4800}));
    EXPECT_EQ(m_device->BaudRate(), 115200u);

    QTimer::singleShot(100, m_link.get(), [this] { m_link->Abort(); });
    EXPECT_FALSE(m_link->SendDoubleSyncPattern());
    EXPECT_EQ(m_device->Writes().size(), 4) << "the second pattern is not sent after Abort";
    EXPECT_EQ(m_device->BaudRate(), 115200u);
}

TEST_F(QelmIBusTest, OpenFailureIsShownAndPassedOn)
{
    m_link->SetCommName("COM3");
    m_device->FailNextOpen("Error opening serial port");
    EXPECT_THROW(m_link->SetActive(true), ECommsError);
    EXPECT_EQ(m_messages.errors, QStringList{"Error opening COM3!\r\nplease select other ports."});
    EXPECT_FALSE(m_link->isActive()) << "the open port was closed before the failed reopening";
    EXPECT_FALSE(m_device->IsOpen());

    m_link->SetActive(true);
    EXPECT_TRUE(m_link->isActive());
    EXPECT_EQ(m_device->OpenCount(), 2);

    // The system's reason follows the fixed notice.
    m_link->SetActive(false);
    m_device->FailNextOpen("Error opening serial port", "Permission denied on /dev/ttyUSB0.");
    EXPECT_THROW(m_link->SetActive(true), ECommsError);
    EXPECT_EQ(m_messages.errors.last(), "Error opening COM3!\r\nplease select other ports.\r\n\r\n"
                                        "Permission denied on /dev/ttyUSB0.");

    // In the operator's language, each sentence on its own line as in English.
    Language::Install({{Language::Slot(u"QelmIBus", u"OpenFailed"), QStringLiteral("Fehler beim Öffnen von %1!")},
                       {Language::Slot(u"QelmIBus", u"SelectOtherPort"), QStringLiteral("Bitte andere Schnittstelle wählen.")}});
    m_device->FailNextOpen("Error opening serial port");
    EXPECT_THROW(m_link->SetActive(true), ECommsError);
    Language::Install({});
    EXPECT_EQ(m_messages.errors.last(), "Fehler beim Öffnen von COM3!\r\nBitte andere Schnittstelle wählen.");
}

TEST_F(QelmIBusTest, TraceFileOfALogInAndStatusExchange)
{
    m_link->SetTraceEnabled(true);
    m_device->SetScript(Cooperative);
    ASSERT_TRUE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    m_link->SetActive(false);

    const QStringList lines = Lines(TraceFile());
    // send 1 + 19 + 1, receive 1 + 1 + 1, send 1 + 19 + 1, receive 1 + 19 + 1
    ASSERT_EQ(lines.size(), 21 + 3 + 21 + 21);
    EXPECT_EQ(lines[0], ">>>>>>Send data<<<<<<<<");
    EXPECT_TRUE(lines[1].startsWith("03 8E 81 80 D0 F3 80 80 "));
    EXPECT_EQ(lines[19].size(), 14 * 3);
    EXPECT_TRUE(lines[19].endsWith("04 FF "));
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines.mid(21, 3), (QStringList{">>>>>>Receive data<<<<<<<<", "02 ", ""}));

    EXPECT_EQ(lines[24], ">>>>>>Send data<<<<<<<<");
    EXPECT_EQ(lines[25], "03 8E 90 80 80 80 90 80 80 80 80 80 80 80 80 80 ");
    for (int i = 26; i < 43; ++i)
        EXPECT_EQ(lines[i], QString("80 ").repeated(16)) << i;
    EXPECT_EQ(lines[43], "80 80 80 80 80 80 80 80 80 AE 80 80 04 FF ");
    EXPECT_EQ(lines[44], "");

    EXPECT_EQ(lines[45], ">>>>>>Receive data<<<<<<<<");
    EXPECT_EQ(lines[64].size(), 13 * 3);
    EXPECT_TRUE(lines[64].endsWith("04 ")) << "the 0xFF after the reply is not part of it";
    EXPECT_EQ(lines[65], "");
}

TEST_F(QelmIBusTest, ReopeningClearsTheTraceButNotTheFile)
{
    m_link->SetTraceEnabled(true);
    m_device->SetScript(Cooperative);
    ASSERT_TRUE(m_link->SendPacket(13, 1));
    m_link->SetActive(false);
    const QByteArray first = TraceFile();
    EXPECT_EQ(Lines(first).size(), 24);

    m_link->SetActive(true);
    EXPECT_TRUE(m_link->TraceLines().isEmpty());
    EXPECT_EQ(TraceFile(), first);
    m_link->SetActive(true);
    EXPECT_EQ(m_device->OpenCount(), 3);

    m_link->SetTraceEnabled(false);
    m_link->SetActive(false);
    EXPECT_TRUE(TraceFile().isEmpty());
    m_link->SetActive(false);
    EXPECT_TRUE(TraceFile().isEmpty()) << "written on every close, open or not";
}


// The cable is pulled at the log-in, during a package and during a sync
// pattern: each operation fails at once (no wait for a report that cannot
// come), nothing is thrown although the dead port refuses rate changes, and
// no further frame is offered to the port, log-outs included.
TEST_F(QelmIBusTest, PulledCableFailsTheOperationAtOnceWithoutThrowing)
{
    m_link->SetRetryInterval(60000);
    QTimer guard; // a wait that hangs fails the counts below instead of the run
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, m_link.get(), [this] { m_link->Abort(); });
    guard.start(20000);

    // Silent at 9600; gone while the second attempt goes out at 9600, so the
    // hunt's change to 19200 meets a dead port.
    m_device->HangUpAtWrite(1);
    bool loggedIn = true;
    EXPECT_NO_THROW(loggedIn = m_link->LogIn(TQelmIBusComm::kAccessCode));
    EXPECT_FALSE(loggedIn);
    EXPECT_TRUE(m_link->DeviceLost());
    EXPECT_EQ(m_device->Writes().size(), 2);
    EXPECT_NO_THROW(m_link->LogOut(TQelmIBusComm::kAccessCode, 1));
    EXPECT_NO_THROW(m_link->SetBaudRate(TQelmIBusComm::tbr38400));
    EXPECT_FALSE(m_link->SendSyncPattern());
    EXPECT_EQ(m_device->Writes().size(), 2) << "nothing more is offered to a dead port";

    // Reopened: log-in and status answered, gone during the first package.
    m_link->SetActive(false);
    m_link->SetActive(true);
    EXPECT_FALSE(m_link->DeviceLost());
    m_device->SetScript(Cooperative);
    m_device->HangUpAtWrite(4);
    ASSERT_TRUE(m_link->LogIn(TQelmIBusComm::kAccessCode));
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_device->Writes().size(), 5);

    // Gone during the first of the two wake-up patterns.
    m_link->SetActive(false);
    m_link->SetActive(true);
    m_device->HangUpAtWrite(5);
    bool sent = true;
    EXPECT_NO_THROW(sent = m_link->SendDoubleSyncPattern());
    EXPECT_FALSE(sent);
    EXPECT_EQ(m_device->Writes().size(), 6);
    EXPECT_TRUE(guard.isActive()) << "no wait ran into the guard";
}

// Each way an operation can give up is kept for the operator: silence,
// refusal, damaged replies, Cancel, a pulled cable; a success forgets it and
// the log-outs of a failure path leave it alone.
TEST_F(QelmIBusTest, LastFailureSaysWhyTheOperationGaveUp)
{
    using Cause = LinkFailure::Cause;
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_link->LastFailure(), (LinkFailure{Cause::NoAnswer, 7, 30}));
    m_link->LogOut(TQelmIBusComm::kAccessCode, 1);
    EXPECT_EQ(m_link->LastFailure().cause, Cause::NoAnswer);

    m_device->SetScript([](const Write&, int index) { return QList<QByteArray>{index % 2 == 0 ? kNak : QByteArray()}; });
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_link->LastFailure(), (LinkFailure{Cause::Refused, 7, 30})) << "one refusal tells more than silence";

    m_device->SetScript([](const Write& write, int) {
        QByteArray reply = Reply(PayloadOf(write.bytes), Counting(3));
        reply[100] = static_cast<char>(reply[100] ^ 0x01);
        return QList<QByteArray>{reply};
    });
    m_link->SetRetryCount(2);
    EXPECT_FALSE(m_link->RequestPacket(11, 1));
    EXPECT_EQ(m_link->LastFailure(), (LinkFailure{Cause::Damaged, 3, 30}));

    m_device->SetScript(Cooperative);
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_link->LastFailure().cause, Cause::None);

    m_device->SetScript([](const Write&, int) { return QList<QByteArray>{}; });
    m_link->SetRetryInterval(10000);
    QTimer::singleShot(30, m_link.get(), [this] { m_link->Abort(); });
    EXPECT_FALSE(m_link->SendPacket(13, 1));
    EXPECT_EQ(m_link->LastFailure().cause, Cause::Aborted);

    m_link->SetRetryInterval(30);
    m_device->SetScript(Cooperative);
    m_device->HangUpAtWrite(int(m_device->Writes().size()) + 1);
    EXPECT_TRUE(m_link->SendPacket(13, 1));
    EXPECT_FALSE(m_link->SendPacket(13, 2));
    EXPECT_EQ(m_link->LastFailure().cause, Cause::DeviceLost);
    m_link->SetActive(false);
    m_link->SetActive(true);
    EXPECT_EQ(m_link->LastFailure().cause, Cause::None) << "reopening forgets";
}
