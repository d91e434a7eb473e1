#include "ServiceDoubles.h"

#include "config/AppPaths.h"
#include "transfer/MemoryDump.h"
#include "transfer/MemoryListing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = ServiceResult::Outcome;

class MemoryDumpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        AppPaths::SetProgramDir(dir.path());
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    ServiceResult Dump(std::optional<MemoryRangeChoice> range)
    {
        dialog.answer = range;
        return DumpMemory({*m.link, progress, messages, ServicePort::FromNumber(2, 0)}, dialog,
                          [this](const QString& path) { viewed << path; });
    }

    QTemporaryDir dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
    FixedRange dialog;
    QStringList viewed;
};

} // namespace

TEST(MemoryRangeTest, AreasAndRuns)
{
    const DumpPlan fiscal = MemoryRanges::Plan({MemoryRangeChoice::FISCAL, 7, 9});
    EXPECT_EQ(fiscal.areaCode, 2);
    EXPECT_EQ(fiscal.firstBlock, 0);
    EXPECT_EQ(fiscal.blockCount, 2048);
    EXPECT_EQ(fiscal.fileName, "FISCAL_TEMP.BIN");
    EXPECT_EQ(MemoryRanges::Plan({MemoryRangeChoice::ROM, 0, 8}).blockCount, 1024);
    const DumpPlan run = MemoryRanges::Plan({-1, 0xFF, 2});
    EXPECT_EQ(run.areaCode, 255);
    EXPECT_EQ(run.firstBlock, 0xFF);
    EXPECT_EQ(run.fileName, "TEMP.BIN");

    EXPECT_TRUE(MemoryRanges::IsValid({-1, 0xFFFF, 1})) << "the last block alone";
    EXPECT_FALSE(MemoryRanges::IsValid({-1, 0xFFFF, 2}));
    EXPECT_FALSE(MemoryRanges::IsValid({-1, 0, 0}));
    EXPECT_FALSE(MemoryRanges::IsValid({-1, -1, 4}));
}

TEST(MemoryListingTest, AddressHexAndCharacters)
{
    std::array<quint8, 16> bytes{0x41, 0x42, 0x43};
    EXPECT_EQ(MemoryListing::Line(0, bytes),
              "00000000  41 42 43 00 00 00 00 00 00 00 00 00 00 00 00 00 ABC.............");
    bytes = {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xE9, 0xFF, 0x0A, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37};
    EXPECT_EQ(MemoryListing::Line(0x0001FFF0, bytes),
              "0001fff0  1f 20 7e 7f 80 e9 ff 0a 30 31 32 33 34 35 36 37 . ~\x7F\x80\xE9\xFF.01234567");
}

TEST_F(MemoryDumpTest, CancelBetweenRequestsStopsTheDumpSilently)
{
    // The link starts every request with a cleared abort flag: the dump itself
    // has to notice the Cancel pressed between two requests.
    progress.cancelAt = 3;
    {
        QFile earlier(dir.filePath("FISCAL_TEMP.BIN"));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier dump");
    }
    EXPECT_EQ(Dump(MemoryRangeChoice{MemoryRangeChoice::FISCAL}).outcome, Outcome::Cancelled);
    EXPECT_EQ(reg.Transcript(), QStringList({"login", "read", "read", "read", "logout:failed"}));
    EXPECT_EQ(QFile(dir.filePath("FISCAL_TEMP.BIN")).size(), 2 * 256) << "the blocks read before Cancel";
    EXPECT_EQ(QDir(dir.path()).entryList({"FISCAL_TEMP.BIN*"}, QDir::Files), QStringList({"FISCAL_TEMP.BIN"}));
    EXPECT_EQ(progress.statuses.last(), "N:Receive Data...");
    EXPECT_TRUE(viewed.isEmpty());
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(MemoryDumpTest, BadRangeOrCancelledDialogSendsNothing)
{
    EXPECT_EQ(Dump(MemoryRangeChoice{-1, 0xFFF0, 17}).outcome, Outcome::Refused);
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(Dump(std::nullopt).outcome, Outcome::NotStarted);
    EXPECT_EQ(m.device->OpenCount(), 0);
}

TEST_F(MemoryDumpTest, DumpFileThatCannotBeCreatedEndsWithOneFailureLogOut)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("TEMP.BIN"));
    const ServiceResult result = Dump(MemoryRangeChoice{-1, 0, 4});
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_TRUE(progress.statuses.last().startsWith("E:Unable to create " + QDir::toNativeSeparators(dir.filePath("TEMP.BIN"))))
        << progress.statuses.last().toStdString();
    EXPECT_EQ(reg.Transcript(), QStringList({"login", "read", "logout:failed"}));
    EXPECT_FALSE(m.device->IsOpen());
}
