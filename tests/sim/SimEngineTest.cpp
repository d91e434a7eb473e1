#include "SimTestFrames.h"

#include "sim/SimEngine.h"
#include "sim/SimMemory.h"

#include <gtest/gtest.h>

#include <memory>

using namespace SimTest;

namespace {

constexpr int kSessionRate = 115200;
const QByteArray kAck(1, '\x02');
const QByteArray kNak(1, '\x55');

SimRecords::PluBytes PatternRecord(quint8 seed)
{
    SimRecords::PluBytes r;
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<quint8>(seed + i * 7);
    return r;
}

QByteArray PluEntries(std::initializer_list<std::pair<quint32, SimRecords::PluBytes>> entries, int count = -1)
{
    QByteArray data(256, '\0');
    data[0] = char(count >= 0 ? count : int(entries.size()));
    int at = 1;
    for (const auto& [index, record] : entries) {
        SimBytes::WriteLe16(reinterpret_cast<quint8*>(data.data()) + at, quint16(index & 0xFFFF));
        SimBytes::WriteLe16(reinterpret_cast<quint8*>(data.data()) + at + 2, quint16(index >> 16));
        std::copy(record.begin(), record.end(), data.begin() + at + 4);
        at += 68;
    }
    return data;
}

QByteArray Bytes(const SimRecords::PluBytes& r)
{
    return QByteArray(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()));
}

class SimEngineTest : public ::testing::Test {
protected:
    void Start(TSimEngine::Options options = {})
    {
        engine = std::make_unique<TSimEngine>(contents, options);
    }

    std::vector<TSimAction> Send(const Frame::Payload& request, int rate = kSessionRate)
    {
        return engine->Feed(Wire(request), rate);
    }

    QByteArray Answer(const Frame::Payload& request, int rate = kSessionRate)
    {
        return Written(Send(request, rate));
    }

    void StartSession(TSimEngine::Options options = {})
    {
        Start(options);
        ASSERT_EQ(Answer(LogIn(4), 9600), kAck);
        ASSERT_EQ(engine->ListeningRate(), kSessionRate);
    }

    // The data bytes of the reply to a request, checking that it repeats
    // the request's command and parameter bytes.
    QByteArray Ask(quint8 command, quint16 parameter, const QByteArray& data = {})
    {
        const Frame::Payload request = Request(command, parameter, data);
        const QByteArray written = Answer(request);
        const std::optional<Frame::Payload> reply = ReplyIn(written);
        EXPECT_TRUE(reply.has_value()) << "no valid reply to command " << int(command);
        if (!reply)
            return {};
        EXPECT_EQ(written.right(1), QByteArray(1, '\xFF'));
        EXPECT_TRUE(std::equal(request.begin(), request.begin() + 3, reply->begin()));
        return DataOf(*reply);
    }

    TSimContents contents;
    std::unique_ptr<TSimEngine> engine;
};

TEST_F(SimEngineTest, LogInIsUnderstoodOnlyAtTheListeningRate)
{
    Start();
    EXPECT_TRUE(Answer(LogIn(4), 19200).isEmpty());
    EXPECT_EQ(engine->FramesReceived(), 0u);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::None);

    const std::vector<TSimAction> actions = Send(LogIn(4), 9600);
    EXPECT_EQ(Written(actions), kAck);
    // The acknowledgement leaves at the old rate, then the register switches.
    ASSERT_EQ(actions.back().kind, TSimAction::Kind::SwitchRate);
    EXPECT_EQ(actions.back().rate, kSessionRate);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::Normal);

    EXPECT_TRUE(Answer(Request(0, 0), 9600).isEmpty()) << "requests at the old rate are noise now";
    EXPECT_TRUE(ReplyIn(Answer(Request(0, 0))).has_value());

    EXPECT_EQ(Answer(LogOut()), kAck);
    EXPECT_EQ(engine->ListeningRate(), 9600);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::None);
}

TEST_F(SimEngineTest, IdleRateAndLogInChecks)
{
    TSimEngine::Options options;
    options.idleRate = 19200;
    options.accessCode = 7350;
    Start(options);
    EXPECT_TRUE(Answer(LogIn(0), 9600).isEmpty());
    EXPECT_EQ(Answer(LogIn(5), 19200), kNak) << "no rate with index 5";
    Frame::Payload wrongCode = LogIn(0);
    wrongCode[3] = 0x51;
    Frame::SetChecksum(wrongCode);
    EXPECT_EQ(Answer(wrongCode, 19200), kNak);
    EXPECT_EQ(Answer(LogIn(0), 19200), kAck);
    EXPECT_EQ(engine->ListeningRate(), 9600);
    EXPECT_EQ(Answer(LogOut(), 9600), kAck);
    EXPECT_EQ(engine->ListeningRate(), 19200);
}

TEST_F(SimEngineTest, FrameChangingRateHalfwayIsNoise)
{
    Start();
    const QByteArray wire = Wire(LogIn(0));
    EXPECT_TRUE(Written(engine->Feed(wire.left(100), 9600)).isEmpty());
    EXPECT_TRUE(Written(engine->Feed(wire.mid(100), 4800)).isEmpty());
    EXPECT_EQ(Written(engine->Feed(wire, 9600)), kAck);
}

TEST_F(SimEngineTest, RequestsOutsideASessionAreRefused)
{
    Start();
    EXPECT_EQ(Answer(Request(0, 0), 9600), kNak);
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{0, PatternRecord(1)}})), 9600), kNak);
    EXPECT_EQ(contents.Plu(0), SimRecords::PluBytes{});
    EXPECT_EQ(Answer(LogOut(), 9600), kAck);
}

TEST_F(SimEngineTest, ReceiverFindsFramesLikeThePc)
{
    StartSession();
    const QByteArray wire = Wire(Request(0, 0));
    // Noise, a broken start, a stray 0x03 in the middle, then the frame in
    // single bytes: only the complete frame is answered.
    QByteArray stream = QByteArray("\x11\x66\xFF", 3) + wire.left(40) + QByteArray(1, 'x') + wire.left(120) + wire;
    QByteArray written;
    for (const char c : stream)
        written += Written(engine->Feed(QByteArrayView(&c, 1), kSessionRate));
    EXPECT_EQ(written.count('\x03'), 1);
    EXPECT_TRUE(ReplyIn(written).has_value());
    EXPECT_EQ(engine->FramesReceived(), 2u);
}

TEST_F(SimEngineTest, BadChecksumIsRejected)
{
    StartSession();
    Frame::Payload request = Request(0, 0);
    request[Frame::kChecksumLow] ^= 0x04;
    EXPECT_EQ(Answer(request), kNak);
}

TEST_F(SimEngineTest, ReplyRepeatsRequestBytesWithTheirTopBits)
{
    StartSession();
    const Frame::Payload request = Request(11, 0x8181);
    const std::optional<Frame::Payload> reply = ReplyIn(Answer(request));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ((*reply)[0], 11);
    EXPECT_EQ((*reply)[1], 0x81);
    EXPECT_EQ((*reply)[2], 0x81);
}

TEST_F(SimEngineTest, StatusReportsDecimalsReportsAndTotalsCount)
{
    contents.SetPriceDecimals(3);
    contents.SetReportState(1);
    contents.SetTotals(std::vector<SimRecords::TotalsFields>(0x0123));
    StartSession();
    const QByteArray status = Ask(0, 0);
    EXPECT_EQ(status[0], 3);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(status.mid(7, 4), QByteArray("\x00\x00\x01\x23", 4));
}

TEST_F(SimEngineTest, PluEntriesAreStoredAndReadBackByGroup)
{
    StartSession();
    const auto a = PatternRecord(10), b = PatternRecord(20), c = PatternRecord(30), last = PatternRecord(40);
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{4, a}, {5, b}, {6, c}}))), kAck);
    EXPECT_EQ(Answer(Request(13, 1, PluEntries({{2999, last}}))), kAck);

    const QByteArray group1 = Ask(11, 1);  // PLUs 5..8
    EXPECT_EQ(group1.mid(0, 64), Bytes(a));
    EXPECT_EQ(group1.mid(64, 64), Bytes(b));
    EXPECT_EQ(group1.mid(128, 64), Bytes(c));
    EXPECT_EQ(group1.mid(192, 64), QByteArray(64, '\0'));
    EXPECT_EQ(Ask(11, 749).mid(192, 64), Bytes(last));
    EXPECT_EQ(Ask(11, 750), QByteArray(256, '\0')) << "beyond the table";
    EXPECT_EQ(Ask(11, 0xFFFF), QByteArray(256, '\0'));
}

TEST_F(SimEngineTest, HostilePluPackagesChangeNothing)
{
    StartSession();
    const auto a = PatternRecord(10);
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{0, a}}, 4))), kNak) << "more than three entries";
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{0, a}}, 255))), kNak);
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{1, a}, {3000, a}}))), kNak) << "index 3000";
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({{0xFFFFFFFFu, a}}))), kNak);
    EXPECT_EQ(contents.Plu(0), SimRecords::PluBytes{});
    EXPECT_EQ(contents.Plu(1), SimRecords::PluBytes{}) << "a package with a bad entry stores none";
    EXPECT_EQ(Answer(Request(13, 0, PluEntries({}))), kAck);
}

TEST_F(SimEngineTest, DepartmentPackages)
{
    StartSession();
    QByteArray first(256, '\0');
    for (int i = 0; i < 256; ++i)
        first[i] = char(i + 1);
    QByteArray second(256, '\x77');
    second.replace(0, 32, QByteArray(32, '\x09'));
    EXPECT_EQ(Answer(Request(12, 0, first)), kAck);
    EXPECT_EQ(Answer(Request(12, 1, second)), kAck);
    EXPECT_EQ(Answer(Request(12, 2, second)), kNak);

    EXPECT_EQ(Ask(10, 0), first);
    const QByteArray upload1 = Ask(10, 1);
    EXPECT_EQ(upload1.left(32), QByteArray(32, '\x09'));
    EXPECT_EQ(upload1.mid(32), QByteArray(224, '\0')) << "departments 10 to 16 do not exist";
    EXPECT_EQ(Ask(10, 2), QByteArray(256, '\0'));
}

TEST_F(SimEngineTest, ParameterBlockRoundTrip)
{
    StartSession();
    QByteArray low(256, '\0'), high(256, '\0');
    for (int i = 0; i < 256; ++i) {
        low[i] = char(i);
        high[i] = char(255 - i);
    }
    EXPECT_EQ(Answer(Request(1, 0, low)), kAck);
    EXPECT_EQ(Answer(Request(1, 1, high)), kAck);
    EXPECT_EQ(Answer(Request(1, 2, low)), kNak);
    EXPECT_EQ(Ask(5, 0), low);
    EXPECT_EQ(Ask(5, 1), high);
    EXPECT_EQ(Ask(5, 2), QByteArray(256, '\0'));
}

TEST_F(SimEngineTest, TotalsListRunsAcrossThePackageBorder)
{
    std::vector<SimRecords::TotalsFields> totals;
    for (int i = 0; i < 16; ++i)
        totals.push_back({quint64(1000 + i), qint32(i * 1000), quint64(0x0102030405ULL + i)});
    contents.SetTotals(totals);
    StartSession();
    EXPECT_EQ(Ask(0, 0).mid(7, 4), QByteArray("\x00\x00\x00\x10", 4));

    const QByteArray list = Ask(8, 0) + Ask(8, 1);
    for (int i = 0; i < 16; ++i) {
        const auto* record = reinterpret_cast<const quint8*>(list.constData()) + 17 * i;
        const SimRecords::TotalsFields t = SimRecords::DecodeTotals(record);
        EXPECT_EQ(t.barcode, totals[i].barcode) << "record " << i;
        EXPECT_EQ(t.quantityMilli, totals[i].quantityMilli);
        EXPECT_EQ(t.total, totals[i].total);
    }
    EXPECT_EQ(list.mid(272), QByteArray(240, '\0'));
    EXPECT_EQ(Ask(8, 2), QByteArray(256, '\0'));
}

TEST_F(SimEngineTest, MemoryReadsByAreaAndBlock)
{
    StartSession();
    auto read = [this](quint16 block, quint8 selector) {
        QByteArray data(256, '\0');
        data[0] = char(block & 0xFF);
        data[1] = char(block >> 8);
        data[2] = char(selector);
        return Ask(14, 16, data);
    };
    const QByteArray ram0 = read(0, 0x10);
    EXPECT_TRUE(ram0.startsWith("RAM   0000"));
    EXPECT_TRUE(read(256, 0x20).startsWith("FISCAL0100"));
    EXPECT_TRUE(read(1023, 0x00).startsWith("ROM   03FF"));
    EXPECT_NE(read(5, 0x00), read(6, 0x00));
    EXPECT_EQ(read(0, 0x10), ram0) << "the same every time";
    EXPECT_EQ(read(1024, 0x00), QByteArray(256, '\0'));
    EXPECT_EQ(read(512, 0x10), QByteArray(256, '\0'));
    EXPECT_EQ(read(0, 0xF0), QByteArray(256, '\0'));
    EXPECT_EQ(Answer(Request(14, 17)), kNak);
}

TEST_F(SimEngineTest, DropThenNakCountOverReceivedFrames)
{
    TSimEngine::Options options;
    options.dropFrames = 2;
    options.nakFrames = 1;
    Start(options);
    EXPECT_TRUE(Answer(LogIn(4), 9600).isEmpty());
    EXPECT_TRUE(Answer(LogIn(4), 9600).isEmpty());
    EXPECT_EQ(Answer(LogIn(4), 9600), kNak);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::None);
    EXPECT_EQ(Answer(LogIn(4), 9600), kAck);
}

TEST_F(SimEngineTest, CorruptRepliesThenGoodOnes)
{
    TSimEngine::Options options;
    options.corruptReplies = 1;
    StartSession(options);
    bool checksumError = false;
    EXPECT_FALSE(ReplyIn(Answer(Request(0, 0)), &checksumError).has_value());
    EXPECT_TRUE(checksumError);
    EXPECT_TRUE(ReplyIn(Answer(Request(0, 0))).has_value());
}

TEST_F(SimEngineTest, FailAfterStopsAnswering)
{
    TSimEngine::Options options;
    options.failAfter = 2;
    StartSession(options);
    EXPECT_TRUE(ReplyIn(Answer(Request(0, 0))).has_value());
    EXPECT_TRUE(Answer(Request(0, 0)).isEmpty());
    EXPECT_TRUE(Answer(LogOut()).isEmpty());
}

TEST_F(SimEngineTest, NoiseNeverLooksLikeAnAnswerOrFrameBoundary)
{
    TSimEngine::Options options;
    options.noise = true;
    Start(options);
    const QByteArray ack = Answer(LogIn(4), 9600);
    ASSERT_GT(ack.size(), 1);
    EXPECT_EQ(ack.right(1), kAck);
    QByteArray noise = ack.chopped(1);
    for (int i = 0; i < 20; ++i) {
        const QByteArray written = Answer(Request(0, 0));
        ASSERT_TRUE(ReplyIn(written).has_value());
        noise += written.left(written.indexOf('\x03'));
    }
    for (const char c : noise) {
        const quint8 b = quint8(c);
        EXPECT_LT(b, 0x80);
        EXPECT_TRUE(b != 0x02 && b != 0x03 && b != 0x04 && b != 0x55) << int(b);
    }
}

TEST_F(SimEngineTest, SplitSendsTheReplyInChunksWithPauses)
{
    TSimEngine::Options options;
    options.split = true;
    StartSession(options);
    const std::vector<TSimAction> actions = Send(Request(0, 0));
    int writes = 0, pauses = 0;
    for (const TSimAction& a : actions) {
        writes += a.kind == TSimAction::Kind::Write;
        if (a.kind == TSimAction::Kind::Pause) {
            ++pauses;
            EXPECT_GE(a.pauseMicros, 1000);
            EXPECT_LE(a.pauseMicros, 5000);
        }
    }
    EXPECT_GT(writes, 5);
    EXPECT_EQ(pauses, writes - 1);
    EXPECT_EQ(Written(actions).size(), 302);
    EXPECT_TRUE(ReplyIn(Written(actions)).has_value());
}

class SimProgramLoadTest : public SimEngineTest {
protected:
    void StartLoad(TSimEngine::Options options = {})
    {
        Start(options);
        ASSERT_EQ(Answer(LogIn(4, 0), 9600), kAck);
        ASSERT_EQ(engine->CurrentSession(), TSimEngine::Session::ProgramLoad);
        ASSERT_TRUE(ReplyIn(Answer(Request(14, 16, QByteArray("\x00\x00\x10", 3)))).has_value())
            << "the log-in reads the status block";
    }
    static QByteArray Marker(quint16 value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8); }
    static QByteArray Block(char fill) { return QByteArray(256, fill); }
};

TEST_F(SimProgramLoadTest, StartBlocksAndEndAreRecorded)
{
    StartLoad();
    EXPECT_EQ(Answer(Request(15, 0, Marker(0x1234))), kAck);
    EXPECT_EQ(Answer(Request(15, 16, Block('\x01'))), kAck);
    QByteArray last = Block('\x02');
    last[252] = '\x34';
    last[253] = '\x12';
    EXPECT_EQ(Answer(Request(15, 17, last)), kAck);
    EXPECT_EQ(Answer(Request(15, 1, Marker(0xBEEF))), kAck);

    const TSimContents::ProgramImage& image = contents.Program();
    EXPECT_TRUE(image.started);
    EXPECT_TRUE(image.ended);
    EXPECT_EQ(image.startValue, 0x1234);
    EXPECT_EQ(image.announcedChecksum, 0xBEEF);
    ASSERT_EQ(image.blocks.size(), 2u);
    EXPECT_EQ(contents.ProgramBytes().size(), 18 * 256);
    EXPECT_EQ(contents.ProgramBytes().mid(17 * 256), last);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::None);
    EXPECT_EQ(engine->ListeningRate(), 9600) << "the end marker closes the exchange";
}

TEST_F(SimProgramLoadTest, AmbiguousParametersFollowTheLoad)
{
    StartLoad();
    EXPECT_EQ(Answer(Request(15, 1, Block('\x05'))), kNak) << "nothing before the start marker";
    EXPECT_EQ(Answer(Request(15, 0, Marker(7))), kAck);
    EXPECT_EQ(Answer(Request(15, 0, Marker(7))), kAck) << "a repeated start marker";
    EXPECT_EQ(Answer(Request(15, 0, Block('\x00'))), kAck) << "block 0";
    EXPECT_EQ(Answer(Request(15, 1, Marker(9))), kAck) << "block 1 follows block 0";
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::ProgramLoad);
    EXPECT_EQ(Answer(Request(15, 2, Block('\x06'))), kAck);
    EXPECT_EQ(Answer(Request(15, 1024, Block('\x06'))), kNak) << "beyond the program memory";
    EXPECT_EQ(Answer(Request(15, 1, Marker(9))), kAck);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::None);
    EXPECT_EQ(contents.Program().startValue, 7);
    EXPECT_EQ(contents.Program().blocks.size(), 3u);
}

TEST_F(SimProgramLoadTest, LoadWithoutBlocksAndLoadFromBlockOne)
{
    StartLoad();
    EXPECT_EQ(Answer(Request(15, 0, Marker(1))), kAck);
    EXPECT_EQ(Answer(Request(15, 1, Marker(2))), kAck);
    EXPECT_TRUE(contents.Program().ended);
    EXPECT_TRUE(contents.Program().blocks.empty());

    StartLoad();
    EXPECT_EQ(Answer(Request(15, 0, Marker(1))), kAck);
    EXPECT_EQ(Answer(Request(15, 1, Block('\x42'))), kAck) << "a block carries more than a value";
    EXPECT_EQ(contents.Program().blocks.count(1), 1u);
    EXPECT_EQ(engine->CurrentSession(), TSimEngine::Session::ProgramLoad);
}

TEST_F(SimProgramLoadTest, RejectedEndStaysRejected)
{
    TSimEngine::Options options;
    options.rejectProgram = true;
    StartLoad(options);
    EXPECT_EQ(Answer(Request(15, 0, Marker(1))), kAck);
    EXPECT_EQ(Answer(Request(15, 16, Block('\x01'))), kAck);
    EXPECT_EQ(Answer(Request(15, 1, Marker(0x0100))), kNak);
    EXPECT_EQ(Answer(Request(15, 1, Marker(0x0100))), kNak);
    EXPECT_FALSE(contents.Program().ended);
}

TEST_F(SimEngineTest, ProgramFramesNeedAProgramLoadLogIn)
{
    StartSession();
    EXPECT_EQ(Answer(Request(15, 0, QByteArray("\x01\x00", 2))), kNak);
    EXPECT_FALSE(contents.Program().started);
}

TEST_F(SimEngineTest, FontPackagesAreKeptInOrder)
{
    StartSession();
    EXPECT_EQ(Answer(Request(2, 1, QByteArray(256, 'b'))), kAck);
    EXPECT_EQ(Answer(Request(2, 0, QByteArray(256, 'a'))), kAck);
    EXPECT_EQ(Answer(Request(2, 1024, QByteArray(256, 'c'))), kNak);
    EXPECT_EQ(contents.FontBytes(), QByteArray(256, 'a') + QByteArray(256, 'b'));
}

TEST_F(SimEngineTest, LogHasOneLinePerFrame)
{
    StartSession();
    std::vector<TSimAction> actions = Send(Request(13, 3, PluEntries({{0, PatternRecord(1)}})));
    Frame::Payload bad = Request(0, 0);
    bad[Frame::kChecksumHigh] ^= 1;
    const std::vector<TSimAction> more = Send(bad);
    actions.insert(actions.end(), more.begin(), more.end());
    QStringList notes;
    for (const TSimAction& a : actions) {
        if (a.kind == TSimAction::Kind::Note)
            notes << a.note;
    }
    ASSERT_EQ(notes.size(), 2);
    EXPECT_TRUE(notes[0].contains(QLatin1String("cmd 13 param 3"))) << qPrintable(notes[0]);
    EXPECT_TRUE(notes[0].contains(QLatin1String("ack")));
    EXPECT_TRUE(notes[1].contains(QLatin1String("bad checksum"))) << qPrintable(notes[1]);
}

} // namespace
