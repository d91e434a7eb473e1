#include "ServiceDoubles.h"

#include "settings/AppPaths.h"
#include "transfer/MemoryDump.h"
#include "transfer/MemoryListing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>

namespace {

using Outcome = ServiceResult::Outcome;

class ScriptedRangeDialog : public IMemoryRangeDialog
{
public:
    std::optional<MemoryRange> answer;
    QStringList titles;

    std::optional<MemoryRange> Run(const QString& title) override
    {
        titles << title;
        return answer;
    }
};

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray ExpectedBlock(int block, int area)
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(FakeRegister::MemoryByte(block, area, i)));
    return bytes;
}

class MemoryDumpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    ServiceResult Dump(MemoryRange range)
    {
        dialog.answer = range;
        const ServiceContext context{*m.link, progress, messages, ServicePort::FromNumber(2, 0)};
        return DumpMemory(context, dialog, [this](const QString& path) { viewed << path; });
    }

    // The memory reads, without the status request that ends the log-in.
    std::vector<Frame::Payload> BlockRequests() const
    {
        std::vector<Frame::Payload> requests;
        bool statusSeen = false;
        for (const Frame::Payload& p : reg.Frames()) {
            if (!FakeRegister::IsBlockRequest(p))
                continue;
            if (statusSeen)
                requests.push_back(p);
            statusSeen = true;
        }
        return requests;
    }

    QString File(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
    ScriptedRangeDialog dialog;
    QStringList viewed;
};

} // namespace

TEST(MemoryRangeTest, DialogTextsParseAndBadRangesAreRefused)
{
    const std::optional<MemoryRange> ram = MemoryRanges::Parse(1, "0", "8");
    ASSERT_TRUE(ram);
    EXPECT_EQ(ram->area, MemoryArea::Ram);

    const std::optional<MemoryRange> run = MemoryRanges::Parse(-1, " 1aF ", "3");
    ASSERT_TRUE(run);
    EXPECT_FALSE(run->area);
    EXPECT_EQ(run->baseBlock, 0x1AF);
    EXPECT_EQ(run->blockCount, 3);
    EXPECT_TRUE(MemoryRanges::Parse(-1, "FFFF", "1")) << "the last block alone";
    EXPECT_TRUE(MemoryRanges::Parse(-1, "0", "65536")) << "every block";

    for (const auto& [base, count] : std::vector<std::pair<QString, QString>>{
             {"", "8"}, {"G1", "8"}, {"-1", "8"}, {"0x10", "8"}, {"0", ""}, {"0", "8x"},
             {"0", "0"}, {"0", "-2"}, {"FFFF", "2"}, {"10000", "1"}, {"0", "65537"},
             {"7FFFFFFF", "1"}, {"FFFFFFFFF", "1"}}) {
        EXPECT_FALSE(MemoryRanges::Parse(-1, base, count)) << base.toStdString() << " " << count.toStdString();
    }
    // A whole memory ignores the run fields, but they must still be numbers.
    EXPECT_TRUE(MemoryRanges::Parse(2, "FFFF", "0"));
    EXPECT_FALSE(MemoryRanges::Parse(2, "0", "many"));
}

TEST(MemoryRangeTest, AreasPlanTheirBlocksAndFiles)
{
    const DumpPlan fiscal = MemoryRanges::Plan({MemoryArea::Fiscal, 7, 9});
    EXPECT_EQ(fiscal.areaCode, 2);
    EXPECT_EQ(fiscal.firstBlock, 0);
    EXPECT_EQ(fiscal.blockCount, 2048);
    EXPECT_EQ(fiscal.fileName, "FISCAL_TEMP.BIN");
    EXPECT_EQ(MemoryRanges::Plan({MemoryArea::Rom, 0, 8}).blockCount, 1024);
    EXPECT_EQ(MemoryRanges::Plan({MemoryArea::Rom, 0, 8}).fileName, "ROM_TEMP.BIN");

    const DumpPlan run = MemoryRanges::Plan({std::nullopt, 0x20, 5});
    EXPECT_EQ(run.areaCode, 255);
    EXPECT_EQ(run.firstBlock, 0x20);
    EXPECT_EQ(run.blockCount, 5);
    EXPECT_EQ(run.fileName, "TEMP.BIN");
}

TEST(MemoryListingTest, LinesShowAddressHexAndCharacters)
{
    std::array<quint8, 16> bytes{0x41, 0x42, 0x43};
    EXPECT_EQ(MemoryListing::Line(0, bytes),
              "00000000  41 42 43 00 00 00 00 00 00 00 00 00 00 00 00 00 ABC.............");

    bytes = {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xE9, 0xFF, 0x0A, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37};
    const QByteArray line = MemoryListing::Line(0x0001FFF0, bytes);
    EXPECT_EQ(line.size(), MemoryListing::kLineLength);
    EXPECT_TRUE(line.startsWith("0001fff0  1f 20 7e 7f 80 e9 ff 0a "));
    EXPECT_EQ(line.right(16), QByteArray(". ~\x7F\x80\xE9\xFF.01234567"))
        << "bytes from 0x7F up stay their own single-byte character";
}

TEST_F(MemoryDumpTest, RamDumpEndsAsAListingInTheViewer)
{
    const ServiceResult result = Dump({MemoryArea::Ram, 0, 8});
    ASSERT_EQ(result.outcome, Outcome::Done) << result.message.toStdString();
    EXPECT_EQ(dialog.titles, QStringList({"Upload data range"}));

    const std::vector<Frame::Payload> requests = BlockRequests();
    ASSERT_EQ(requests.size(), 512u);
    for (std::size_t b = 0; b < requests.size(); ++b) {
        const Frame::Payload& p = requests[b];
        ASSERT_EQ(p[3] | (p[4] << 8), int(b));
        ASSERT_EQ(p[5], 0x10);
        ASSERT_TRUE(std::all_of(p.begin() + 6, p.begin() + 259, [](quint8 x) { return x == 0; }))
            << "the rest of the data area is cleared for block " << b;
    }
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 1);
    EXPECT_EQ(reg.Frames().back()[7], 0) << "one log-out, normal end";

    const QString path = File("RAM_TEMP.BIN");
    EXPECT_EQ(viewed, QStringList({path}));
    const QByteArray listing = ReadFile(path);
    ASSERT_TRUE(listing.endsWith("\r\n"));
    const QList<QByteArray> lines = listing.chopped(2).split('\n');
    ASSERT_EQ(lines.size(), 8192);
    for (const QByteArray& line : lines)
        ASSERT_EQ(line.size(), line.endsWith('\r') ? 75 : 74) << line.constData();
    EXPECT_TRUE(lines.last().startsWith("0001fff0  "));
    // Block 1 of area 1 starts 04 05 06 ..., shown from address 00000100.
    EXPECT_TRUE(lines[16].startsWith("00000100  04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 ................"));

    EXPECT_EQ(progress.margins, std::vector<int>({512}));
    EXPECT_EQ(progress.progress.back(), 512);
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "N:Receive Data...", "N:Disconnect..."}));
    EXPECT_EQ(progress.closes, 1);
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(MemoryDumpTest, ChosenRunCrossesTheHighByteOfTheBlockNumber)
{
    const ServiceResult result = Dump({std::nullopt, 0xFF, 2});
    ASSERT_EQ(result.outcome, Outcome::Done);

    const std::vector<Frame::Payload> requests = BlockRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&requests[1][3]), 3), QByteArray("\x00\x01\xF0", 3));
    const QByteArray listing = ReadFile(File("TEMP.BIN"));
    EXPECT_EQ(listing.count("\r\n"), 32);
    EXPECT_TRUE(listing.startsWith("0000ff00  "));
    EXPECT_TRUE(listing.contains("\r\n00010000  "));
}

TEST_F(MemoryDumpTest, FailedBlockLeavesTheBinaryBlocksAndOneFailureLogOut)
{
    reg.silentAtBlock = 10;
    const ServiceResult result = Dump({MemoryArea::Ram, 0, 8});

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(progress.statuses.last(), "E:Receive Data...Error!");
    EXPECT_EQ(progress.waits, 1);
    QByteArray expected;
    for (int block = 0; block < 10; ++block)
        expected += ExpectedBlock(block, 1);
    EXPECT_EQ(ReadFile(File("RAM_TEMP.BIN")), expected) << "2560 bytes, binary";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 1);
    EXPECT_EQ(reg.Frames().back()[7], 1) << "the failure flag";
    EXPECT_TRUE(viewed.isEmpty());
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(MemoryDumpTest, CancelStopsBeforeTheNextRequestWithoutAText)
{
    // Cancel pressed between two requests: the link would start the next one
    // with a cleared abort flag, so the dump itself must stop.
    progress.cancelAtProgress = 258;
    const ServiceResult result = Dump({MemoryArea::Fiscal, 0, 8});

    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    const std::vector<Frame::Payload> requests = BlockRequests();
    ASSERT_EQ(requests.size(), 257u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&requests[256][3]), 3), QByteArray("\x00\x01\x20", 3));
    EXPECT_EQ(QFile(File("FISCAL_TEMP.BIN")).size(), 257 * 256);
    EXPECT_EQ(progress.statuses.last(), "N:Receive Data...") << "no error text after Cancel";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 1);
    EXPECT_TRUE(viewed.isEmpty());
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(MemoryDumpTest, FailedLogInSendsOneFailureLogOutAndKeepsTheOldFile)
{
    QFile old(File("RAM_TEMP.BIN"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier listing");
    old.close();
    reg.presence = FakeRegister::Presence::Absent;

    const ServiceResult result = Dump({MemoryArea::Ram, 0, 8});
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "E:Connect...Error!"}));
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 3) << "one log-out, tried three times against 0x55";
    EXPECT_EQ(reg.Frames().back()[7], 1);
    EXPECT_EQ(ReadFile(File("RAM_TEMP.BIN")), "earlier listing");
}

TEST_F(MemoryDumpTest, InvalidRangeBeepsAndSendsNothing)
{
    const ServiceResult result = Dump({std::nullopt, 0xFFF0, 17});
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(m.device->OpenCount(), 0);

    dialog.answer.reset();
    const ServiceContext context{*m.link, progress, messages, ServicePort::FromNumber(2, 0)};
    EXPECT_EQ(DumpMemory(context, dialog, {}).outcome, Outcome::NotStarted);
    EXPECT_EQ(m.device->OpenCount(), 0);
}

TEST_F(MemoryDumpTest, DumpFileThatCannotBeCreatedIsReported)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("TEMP.BIN"));
    const ServiceResult result = Dump({std::nullopt, 0, 4});

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.message, "Unable to create " + QDir::toNativeSeparators(File("TEMP.BIN")));
    EXPECT_EQ(progress.statuses.last(), "E:" + result.message);
    EXPECT_TRUE(BlockRequests().empty());
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 1);
    EXPECT_EQ(reg.Frames().back()[7], 1);
    EXPECT_FALSE(m.device->IsOpen());
}
