// The production link (TQelmIBusComm on a real serial device, COM3 resolved
// through SYSTEM.CFG) talking to the ecr-sim program over a pseudo-terminal.
// The simulator's frame log shows what reached the register and how it
// answered; DEBUG.LOG shows what the link saw.
#include "link/Frame.h"
#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "link/RegisterPayloads.h"
#include "model/Defs.h"
#include "serial/Comm.h"
#include "support/SimProcess.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTime>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <ostream>
#include <termios.h>
#include <unistd.h>

// Readable failure messages for Qt texts.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Link = TQelmIBusComm;

// Waits for an answer the register does give: generous, so a loaded machine
// never turns a late answer into a retry.
constexpr int kAnswerWait = 1500;
// Waits that the register lets run out on purpose.
constexpr int kSilentWait = 250;

const QDateTime kNow(QDate(2026, 12, 31), QTime(23, 59, 58));

// Record layouts as the register keeps them (offsets within the record).
constexpr int kPluRecordBytes = 64;
constexpr int kPluBarcode = 0;        // 14 packed decimal digits
constexpr int kPluBarcodeDigits = 14;
constexpr int kPluName = 7;
constexpr int kPluPrice = 25;         // big-endian 32-bit
constexpr int kPluDepartment = 44;
constexpr int kPluStocks = 45;        // big-endian 32-bit, x 1000
constexpr int kPluFlag = 49;
constexpr int kPlusPerUploadGroup = 4;
// A PLU download package: count byte, then entries of a little-endian 32-bit
// index and the record.
constexpr int kPluPackageCount = 0;
constexpr int kPluPackageEntry = 1;
constexpr int kPluEntryRecord = 4;

constexpr int kDepartmentBytes = 32;
constexpr int kDepartmentTax = 18;
constexpr int kDepartmentPrice = 20;  // big-endian 32-bit

constexpr quint8 kPluDownload = 13;
constexpr quint8 kPluUpload = 11;
constexpr quint8 kDepartmentDownload = 12;
constexpr quint8 kDepartmentUpload = 10;
constexpr quint8 kParameterDownload = 1;
constexpr quint8 kParameterUpload = 5;
constexpr quint8 kStatus = 0;

void PutBe32(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

QByteArray PluRecord(qint64 barcode, const QByteArray& name, quint32 price, quint8 department)
{
    QByteArray record(kPluRecordBytes, '\0');
    const TBcdBuffer bcd = PackBcd(kPluBarcodeDigits, barcode);
    std::copy_n(bcd.begin(), BcdByteCount(kPluBarcodeDigits), record.begin() + kPluBarcode);
    record.replace(kPluName, name.size(), name);
    PutBe32(record, kPluPrice, price);
    record[kPluDepartment] = char(department);
    PutBe32(record, kPluStocks, 12500);
    record[kPluFlag] = 1;
    return record;
}

QByteArray PluPackage(quint32 index, const QByteArray& record)
{
    QByteArray data(Frame::kDataBytes, '\0');
    data[kPluPackageCount] = 1;
    for (int i = 0; i < 4; ++i)
        data[kPluPackageEntry + i] = char(index >> (8 * i));
    data.replace(kPluPackageEntry + kPluEntryRecord, record.size(), record);
    return data;
}

QByteArray Department(int number)
{
    QByteArray record(kDepartmentBytes, '\0');
    const QByteArray name = QByteArray("Dept \xC4") + QByteArray::number(number);  // Latin-1 A umlaut
    record.replace(0, name.size(), name);
    record[kDepartmentTax] = char(number % 4);
    PutBe32(record, kDepartmentPrice, quint32(100 * number));
    return record;
}

QByteArray Counting(quint8 from)
{
    QByteArray data(Frame::kDataBytes, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(from + i);
    return data;
}

// The log-in as the register must receive it, built here byte by byte:
// code 7350 as 50 73 00 00, the date and time in packed decimal, the rate
// index and 1 for a normal session.
Frame::Payload ExpectedLogIn(quint8 rateIndex)
{
    Frame::Payload p{};
    const quint8 head[] = {14, 1, 0, 0x50, 0x73, 0x00, 0x00, 0x26, 0x12, 0x31, 0x23, 0x59, 0x58};
    std::copy(std::begin(head), std::end(head), p.begin());
    p[13] = rateIndex;
    p[14] = 1;
    Frame::SetChecksum(p);
    return p;
}

QStringList HexLines(const QByteArray& bytes)
{
    QStringList lines;
    for (qsizetype at = 0; at < bytes.size(); at += 16)
        lines << QString::fromLatin1(bytes.mid(at, 16).toHex(' ').toUpper() + ' ');
    return lines;
}

QByteArray WireOf(const Frame::Payload& payload)
{
    const Frame::Bytes frame = Frame::EncodeFrame(payload);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size())) + char(0xFF);
}

QByteArray FromHexLines(const QStringList& lines)
{
    return QByteArray::fromHex(lines.join(QString()).toLatin1());
}

class LinkEndToEndTest : public ::testing::Test
{
protected:
    // Starts the simulator with options and opens a traced production link
    // on it.
    void Connect(const QStringList& options, int retryCount = 2, int retryInterval = kAnswerWait,
                 Link::TBaudRate rate = Link::tbr115200)
    {
        ASSERT_TRUE(sim.Start(options)) << qPrintable(sim.ErrorString());
        link = MakeRegisterLink();
        link->SetCommName(SimProcess::PortName());
        link->SetBaudRate(rate);
        link->SetRetryCount(retryCount);
        link->SetRetryInterval(retryInterval);
        link->SetTraceEnabled(true);
        link->SetClock([] { return kNow; });
        ASSERT_NO_THROW(link->SetActive(true));
    }

    // Closes the port, which writes DEBUG.LOG, and stops the simulator, which
    // completes its frame log.
    void Finish()
    {
        link->SetActive(false);
        ASSERT_TRUE(sim.Stop()) << qPrintable(sim.ErrorString());
    }

    // How the register answered each frame it counted: "ack", "nak",
    // "reply", "dropped", ... without details.
    QStringList Outcomes() const
    {
        QStringList outcomes;
        for (const QString& line : sim.FrameLines()) {
            QString outcome = line.section(QStringLiteral(": "), 1);
            outcomes << outcome.section(QStringLiteral(", "), 0, 0);
        }
        return outcomes;
    }

    // The log-in payload sent through the link's own frame mechanics, so that
    // its retries follow RetryCount and RetryInterval. The link must be at
    // the register's idle rate, 9600.
    bool SendLogInFrame()
    {
        link->Payload() = RegisterPayloads::LogIn(Link::kAccessCode, kNow, Link::tbr9600, false);
        return link->SendFrame();
    }

    void SetPacket(const QByteArray& data)
    {
        link->PacketData().fill(0);
        std::copy(data.begin(), data.begin() + std::min<qsizetype>(data.size(), Frame::kDataBytes),
                  link->PacketData().begin());
    }

    QByteArray Packet() const
    {
        return QByteArray(reinterpret_cast<const char*>(link->PacketData().data()), Frame::kDataBytes);
    }

    QStringList TraceFile() const
    {
        QFile file(sim.TracePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.endsWith("\r\n"));
        EXPECT_FALSE(text.contains("\r\r")) << "lines end with CR LF, nothing else";
        QStringList lines = QString::fromLatin1(text).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }

    SimProcess sim;
    std::unique_ptr<Link> link;
};

// --- the line ---

// The line as the link left it, read through another descriptor of the same
// terminal: 8 data bits, no parity, one stop bit, and no XON/XOFF on output
// (the register's answers are not flow-controlled).
TEST_F(LinkEndToEndTest, TheLinkSetsUpTheLineItUses)
{
    ASSERT_NO_FATAL_FAILURE(Connect({}));
    const int fd = ::open(QFile::encodeName(sim.LinkPath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios line{};
    const int got = ::tcgetattr(fd, &line);
    ::close(fd);
    ASSERT_EQ(got, 0);
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    EXPECT_EQ(line.c_iflag & IXON, tcflag_t(0));
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B115200));

    // Received bytes are handed on at once: an answer must not sit in the
    // receive thread for the device's default 100 ms of quiet.
    EXPECT_EQ(MakeLinkDevice()->ReadIntervalTimeout(), 0u);
    EXPECT_FALSE(MakeLinkDevice()->Outx_XonXoffFlow());
    EXPECT_EQ(MakeLinkDevice()->DtrControl(), TComm::TDtrControl::DtrDisable);
}

// --- log-in and the register's contents ---

TEST_F(LinkEndToEndTest, LogInHuntsForTheRegistersRateThenTalksAtTheConfiguredOne)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--rate"), QStringLiteral("19200")}));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    EXPECT_EQ(Packet().left(10), QByteArray("RAM   0000")) << "the status block is left in PacketData";
    ASSERT_NO_FATAL_FAILURE(Finish());

    const QStringList log = sim.LogLines();
    ASSERT_EQ(log.size(), 4) << qPrintable(log.join('\n'));
    EXPECT_TRUE(log[0].startsWith(QLatin1String("ignored: frame sent at 9600 bit/s"))) << qPrintable(log[0]);
    EXPECT_TRUE(log[1].startsWith(QLatin1String("ignored: frame sent at 9600 bit/s"))) << qPrintable(log[1]);
    EXPECT_TRUE(log[2].startsWith(QLatin1String("#1 cmd 14 param 1 (log-in): ack"))) << qPrintable(log[2]);
    // The register moved to 115200 after the log-in: only a request at that
    // rate is heard at all.
    EXPECT_TRUE(log[3].startsWith(QLatin1String("#2 cmd 14 param 16 (memory read): reply"))) << qPrintable(log[3]);

    const QStringList trace = TraceFile();
    EXPECT_EQ(trace.count(QStringLiteral("Retry:1")), 1);
    EXPECT_EQ(trace.count(QStringLiteral("Retry:2")), 1);
    EXPECT_EQ(trace.count(QStringLiteral("Retry:3")), 0);
}

TEST_F(LinkEndToEndTest, PackagesTravelBothWays)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--price-decimals"), QStringLiteral("3")}));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));

    SetPacket({});
    ASSERT_TRUE(link->RequestPacket(kStatus, 0));
    EXPECT_EQ(link->PacketData()[0], 3) << "price decimals";
    EXPECT_EQ(Packet().mid(7, 4), QByteArray(4, '\0')) << "no sales records";

    // PLU 42 (index 41) travels down and comes back in upload group 10, slot 1.
    const QByteArray record = PluRecord(2000000000422, QByteArray("Bread \xE9t\xE9"), 1250, 2);
    SetPacket(PluPackage(41, record));
    ASSERT_TRUE(link->SendPacket(kPluDownload, 0));
    SetPacket({});
    ASSERT_TRUE(link->RequestPacket(kPluUpload, 41 / kPlusPerUploadGroup));
    EXPECT_EQ(Packet().mid(kPluRecordBytes, kPluRecordBytes).toHex(' '), record.toHex(' '));
    EXPECT_EQ(Packet().left(kPluRecordBytes), QByteArray(kPluRecordBytes, '\0')) << "PLU 41 is empty";

    // Departments 1 to 8 in package 0, department 9 alone in package 1.
    QByteArray departments;
    for (int number = 1; number <= 8; ++number)
        departments += Department(number);
    SetPacket(departments);
    ASSERT_TRUE(link->SendPacket(kDepartmentDownload, 0));
    SetPacket(Department(9));
    ASSERT_TRUE(link->SendPacket(kDepartmentDownload, 1));
    SetPacket({});
    ASSERT_TRUE(link->RequestPacket(kDepartmentUpload, 0));
    EXPECT_EQ(Packet(), departments);
    ASSERT_TRUE(link->RequestPacket(kDepartmentUpload, 1));
    EXPECT_EQ(Packet().left(kDepartmentBytes), Department(9));
    EXPECT_EQ(Packet().mid(kDepartmentBytes), QByteArray(Frame::kDataBytes - kDepartmentBytes, '\0'));

    // The two halves of the parameter block.
    SetPacket(Counting(0x10));
    ASSERT_TRUE(link->SendPacket(kParameterDownload, 0));
    SetPacket(Counting(0x80));
    ASSERT_TRUE(link->SendPacket(kParameterDownload, 1));
    SetPacket({});
    ASSERT_TRUE(link->RequestPacket(kParameterUpload, 1));
    EXPECT_EQ(Packet(), Counting(0x80));
    ASSERT_TRUE(link->RequestPacket(kParameterUpload, 0));
    EXPECT_EQ(Packet(), Counting(0x10));

    EXPECT_TRUE(link->LogOut(Link::kAccessCode, 0));
    ASSERT_NO_FATAL_FAILURE(Finish());

    const QStringList frames = sim.FrameLines();
    ASSERT_EQ(frames.size(), 14) << "nothing was sent twice:\n" << qPrintable(frames.join('\n'));
    EXPECT_TRUE(frames[3].contains(QLatin1String("(PLU download): ack, PLU 42"))) << qPrintable(frames[3]);
    EXPECT_TRUE(frames[13].contains(QLatin1String("(log-out): ack"))) << qPrintable(frames[13]);
}

// --- the register's faults and the link's retries ---

TEST_F(LinkEndToEndTest, SilenceIsRetriedUntilTheRegisterAnswers)
{
    // The same wait covers the silence and the answer that ends it.
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--drop"), QStringLiteral("2")}, 3, kAnswerWait, Link::tbr9600));
    ASSERT_TRUE(SendLogInFrame());
    ASSERT_TRUE(link->ReadStatus());
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_EQ(Outcomes(), (QStringList{"dropped", "dropped", "ack", "reply"}));
}

TEST_F(LinkEndToEndTest, SilenceBeyondTheRetryCountFails)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--drop"), QStringLiteral("3")}, 2, kSilentWait, Link::tbr9600));
    EXPECT_FALSE(SendLogInFrame());
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_EQ(Outcomes(), (QStringList{"dropped", "dropped", "dropped"})) << "RetryCount + 1 transmissions, no more";
}

// The acknowledgement of the transmission numbered RetryCount is not used:
// a package is sent at most RetryCount + 1 times and only the first
// RetryCount answers can make it succeed.
TEST_F(LinkEndToEndTest, AnAcknowledgementOfTheLastTransmissionIsNotUsed)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--drop"), QStringLiteral("2")}, 2, kSilentWait, Link::tbr9600));
    EXPECT_FALSE(SendLogInFrame());
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_EQ(Outcomes(), (QStringList{"dropped", "dropped", "ack"}));
}

TEST_F(LinkEndToEndTest, RejectionsAreRetried)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--nak"), QStringLiteral("1")}));
    // A 0x55 ends the log-in's wait at once; the next attempt (9600 again)
    // gets through.
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    EXPECT_TRUE(link->TraceLines().contains(QStringLiteral("Retry:1")));

    // A package the register refuses every time fails after RetryCount + 1
    // transmissions.
    SetPacket(PluPackage(3000, PluRecord(1, "Out of range", 1, 0)));
    EXPECT_FALSE(link->SendPacket(kPluDownload, 0));
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_EQ(Outcomes(), (QStringList{"nak (injected)", "ack", "reply", "nak", "nak", "nak"}));
}

TEST_F(LinkEndToEndTest, ARejectedProgramLoadLogInEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--nak"), QStringLiteral("1")}));
    EXPECT_FALSE(link->LogIn(Link::kAccessCode, true));
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_EQ(Outcomes(), QStringList{"nak (injected)"});
}

TEST_F(LinkEndToEndTest, CorruptRepliesAreRequestedAgain)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--corrupt"), QStringLiteral("2")}));
    // Unlike an acknowledgement, a good reply to the last transmission counts.
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    EXPECT_EQ(Packet().left(10), QByteArray("RAM   0000"));
    ASSERT_NO_FATAL_FAILURE(Finish());
    const QString corrupt = QStringLiteral("reply with a bad checksum (injected)");
    EXPECT_EQ(Outcomes(), (QStringList{"ack", corrupt, corrupt, "reply"}));
    EXPECT_EQ(TraceFile().count(QStringLiteral("Retry:2")), 1);
}

TEST_F(LinkEndToEndTest, CorruptRepliesBeyondTheRetryCountFail)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--corrupt"), QStringLiteral("3")}));
    EXPECT_FALSE(link->LogIn(Link::kAccessCode));
    ASSERT_NO_FATAL_FAILURE(Finish());
    const QString corrupt = QStringLiteral("reply with a bad checksum (injected)");
    EXPECT_EQ(Outcomes(), (QStringList{"ack", corrupt, corrupt, corrupt}));
}

TEST_F(LinkEndToEndTest, ARegisterThatFallsSilentFailsTheTransfer)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--fail-after"), QStringLiteral("2")}));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    link->SetRetryInterval(kSilentWait);
    SetPacket(Counting(0));
    EXPECT_FALSE(link->RequestPacket(kParameterUpload, 0));
    EXPECT_FALSE(link->SendPacket(kParameterDownload, 0));
    // The log-out tries three times and reports success whatever happens.
    EXPECT_TRUE(link->LogOut(Link::kAccessCode, 1));
    ASSERT_NO_FATAL_FAILURE(Finish());

    const QStringList outcomes = Outcomes();
    ASSERT_EQ(outcomes.size(), 2 + 3 + 3 + 3) << qPrintable(outcomes.join('\n'));
    EXPECT_EQ(outcomes.mid(2), QStringList(9, QStringLiteral("silent (failing)")));
    const QStringList frames = sim.FrameLines();
    EXPECT_TRUE(frames[10].contains(QLatin1String("(log-out)"))) << qPrintable(frames[10]);
}

TEST_F(LinkEndToEndTest, AbortEndsASilentWait)
{
    constexpr int kLongWait = 20000;
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--fail-after"), QStringLiteral("2")}, 5, kLongWait));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));

    QTimer::singleShot(150, link.get(), [this] { link->Abort(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link->SendPacket(kParameterDownload, 0));
    EXPECT_LT(clock.elapsed(), kLongWait / 2) << "the abort, not the time-out, ended the wait";
    ASSERT_NO_FATAL_FAILURE(Finish());

    EXPECT_EQ(Outcomes(), (QStringList{"ack", "reply", "silent (failing)"})) << "nothing sent after the abort";
    EXPECT_FALSE(TraceFile().contains(QStringLiteral("Retry:1")));
}

// --- a rough line ---

class RoughLineTest : public LinkEndToEndTest, public ::testing::WithParamInterface<QStringList>
{
};

// Noise before the answers, replies cut into small pieces and a line paced
// at its real speed cost no retransmission, and the link records only what it
// accepted.
TEST_P(RoughLineTest, CarriesASessionWithoutRetries)
{
    ASSERT_NO_FATAL_FAILURE(Connect(GetParam()));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    const QByteArray record = PluRecord(4006381333931, "Pencil", 99, 0);
    SetPacket(PluPackage(2999, record));
    ASSERT_TRUE(link->SendPacket(kPluDownload, 0));
    SetPacket({});
    ASSERT_TRUE(link->RequestPacket(kPluUpload, 2999 / kPlusPerUploadGroup));
    EXPECT_EQ(Packet().mid(3 * kPluRecordBytes, kPluRecordBytes), record);
    EXPECT_TRUE(link->LogOut(Link::kAccessCode, 0));
    ASSERT_NO_FATAL_FAILURE(Finish());

    EXPECT_EQ(Outcomes(), (QStringList{"ack", "reply", "ack", "reply", "ack"}));
    const QStringList trace = TraceFile();
    EXPECT_TRUE(trace.filter(QStringLiteral("Retry:")).isEmpty());
    // Every receive block is a lone acknowledgement or a whole frame.
    for (qsizetype i = 0; i < trace.size(); ++i) {
        if (trace[i] != QLatin1String(">>>>>>Receive data<<<<<<<<"))
            continue;
        const qsizetype end = trace.indexOf(QString(), i);
        const QByteArray bytes = FromHexLines(trace.mid(i + 1, end - i - 1));
        EXPECT_TRUE(bytes == QByteArray(1, '\x02') || (bytes.size() == 301 && bytes.startsWith('\x03')))
            << qPrintable(bytes.toHex(' '));
    }
}

INSTANTIATE_TEST_SUITE_P(Options, RoughLineTest,
                         ::testing::Values(QStringList{"--noise"}, QStringList{"--split"},
                                           QStringList{"--wire-time"},
                                           QStringList{"--noise", "--split", "--wire-time"}));

// --- the trace file ---

TEST_F(LinkEndToEndTest, TraceFileRecordsTheSessionByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(Connect({QStringLiteral("--nak"), QStringLiteral("1")}, 2, kAnswerWait, Link::tbr9600));
    ASSERT_TRUE(link->LogIn(Link::kAccessCode));
    ASSERT_NO_FATAL_FAILURE(Finish());

    const QString send = QStringLiteral(">>>>>>Send data<<<<<<<<");
    const QString receive = QStringLiteral(">>>>>>Receive data<<<<<<<<");
    const QStringList logIn = HexLines(WireOf(ExpectedLogIn(Link::tbr9600)));
    ASSERT_EQ(logIn.size(), 19);
    ASSERT_EQ(logIn.last().size(), 14 * 3);

    QStringList expected;
    expected << send << logIn << QString();
    expected << receive << QStringLiteral("55 ") << QString();
    expected << QString() << QStringLiteral("Retry:1");
    expected << send << logIn << QString();
    expected << receive << QStringLiteral("02 ") << QString();
    const QStringList trace = TraceFile();
    ASSERT_GE(trace.size(), expected.size() + 2 * 21);
    EXPECT_EQ(trace.mid(0, expected.size()), expected);

    // The status request and its reply frame.
    qsizetype at = expected.size();
    EXPECT_EQ(trace[at], send);
    QByteArray status(Frame::kDataBytes, '\0');
    status[2] = 0x10;
    Frame::Payload request{};
    request[0] = 14;
    request[1] = 16;
    std::copy(status.begin(), status.end(), request.begin() + Frame::kDataOffset);
    Frame::SetChecksum(request);
    EXPECT_EQ(trace.mid(at + 1, 19), HexLines(WireOf(request)));
    EXPECT_EQ(trace[at + 20], QString());
    at += 21;
    EXPECT_EQ(trace[at], receive);
    const QStringList replyLines = trace.mid(at + 1, 19);
    for (qsizetype i = 0; i < 18; ++i)
        EXPECT_EQ(replyLines[i].size(), 48) << "line " << i;
    EXPECT_EQ(replyLines.last().size(), 13 * 3);
    EXPECT_EQ(trace[at + 20], QString());
    EXPECT_EQ(trace.size(), at + 21) << "nothing after the reply";

    const QByteArray reply = FromHexLines(replyLines);
    ASSERT_EQ(reply.size(), qsizetype(Frame::kFrameBytes));
    Frame::Bytes frame;
    std::copy(reply.begin(), reply.end(), frame.begin());
    bool checksumError = false;
    const Frame::Payload payload = Frame::DecodeFrame(frame, checksumError);
    EXPECT_FALSE(checksumError);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(payload.data()) + Frame::kDataOffset, 10), "RAM   0000");
}

} // namespace
