#include "ServiceDoubles.h"

#include "transfer/ProgramLoad.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = ServiceResult::Outcome;

class ProgramLoadTest : public ::testing::Test
{
protected:
    void Choose(const QByteArray& bytes)
    {
        chooser.answer = dir.filePath("chosen");
        QFile file(chooser.answer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    ServiceContext Context() { return {*m.link, progress, messages, ServicePort::FromNumber(1, 0)}; }
    ServiceResult Program(int size, qint32 firstBlock)
    {
        Choose(QByteArray(size, '\x5A'));
        return DownloadProgram(Context(), chooser, firstBlock);
    }

    QTemporaryDir dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
    FixedFile chooser;
};

} // namespace

TEST(ProgramImageTest, StartValueChecksumAndSize)
{
    QByteArray bytes(512, '\xFF');
    bytes[508] = '\x34';
    bytes[509] = '\x12';
    const std::optional<ProgramImage> image = ProgramImage::FromBytes(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->StartValue(), 0x1234);
    EXPECT_EQ(image->Checksum(), quint16((510 * 0xFF + 0x34 + 0x12) & 0xFFFF));

    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray()));
    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray(1000, 0)));
    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray(65537 * 256, 0))) << "block numbers are 16-bit";
}

TEST_F(ProgramLoadTest, AnImageWithoutBlocksToSendIsRefused)
{
    // 16 blocks, the first one sent would be block 16: nothing to send.
    const ServiceResult result = Program(4096, 16);
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_EQ(messages.shown, QStringList({"Not a valid file!"}));
    EXPECT_TRUE(result.detail.contains("none at or after block 16")) << result.detail.toStdString();
    EXPECT_EQ(m.device->OpenCount(), 0);
    EXPECT_EQ(Program(4352, 16).outcome, Outcome::Done) << "block 16 is the image's last";
}

TEST_F(ProgramLoadTest, NegativeFirstBlockCountsAsZero)
{
    ASSERT_EQ(Program(768, -3).outcome, Outcome::Done);
    EXPECT_EQ(reg.Transcript().mid(4), QStringList({"15/0", "sync", "15/0", "15/1", "15/2", "15/1"}));
}

TEST_F(ProgramLoadTest, InvalidImagesAreRefusedBeforeThePort)
{
    EXPECT_EQ(Program(1000, 16).outcome, Outcome::Refused);
    EXPECT_EQ(Program(0, 16).outcome, Outcome::Refused);
    EXPECT_EQ(messages.shown, QStringList({"Not a valid file!", "Not a valid file!"}));
    EXPECT_EQ(messages.beeps, 2);
    chooser.answer = dir.filePath("missing.hex");
    EXPECT_EQ(DownloadProgram(Context(), chooser, 16).outcome, Outcome::Refused);
    chooser.answer.clear();
    EXPECT_EQ(DownloadProgram(Context(), chooser, 16).outcome, Outcome::NotStarted);
    EXPECT_EQ(m.device->OpenCount(), 0);
}

TEST_F(ProgramLoadTest, FailuresSendNoLogOut)
{
    reg.silentTo = QStringList({"15/2"});
    EXPECT_EQ(Program(1024, 0).outcome, Outcome::Failed);
    EXPECT_EQ(reg.Transcript().mid(4), QStringList({"15/0", "sync", "15/0", "15/1", "15/2", "15/2", "15/2"}));
    EXPECT_EQ(progress.statuses.last(), "E:Download Program...Error!");
    EXPECT_FALSE(m.device->IsOpen());

    reg.silentTo = QStringList({"2/1"});
    Choose(QByteArray(600, 'f'));
    EXPECT_EQ(DownloadFont(Context(), chooser).outcome, Outcome::Failed);
    EXPECT_EQ(reg.Transcript().mid(11), QStringList({"login", "read", "2/0", "2/1", "2/1", "2/1"}));
    EXPECT_EQ(progress.statuses.last(), "E:Download font...Error!");
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(ProgramLoadTest, RejectedProgramLogInEndsAtOnce)
{
    reg.absent = true;
    EXPECT_EQ(Program(512, 0).outcome, Outcome::Failed);
    EXPECT_EQ(reg.Transcript(), QStringList({"sync", "sync", "login"}));
    EXPECT_EQ(progress.statuses.last(), "E:Connect...Error!");
}

TEST_F(ProgramLoadTest, AnEmptyFontIsRefused)
{
    Choose(QByteArray());
    EXPECT_EQ(DownloadFont(Context(), chooser).outcome, Outcome::Refused);
    EXPECT_EQ(messages.shown, QStringList({"Not a valid file!"}));
    EXPECT_TRUE(reg.Transcript().isEmpty());
}

// A cancelled program load never gets the end marker, whose byte sum a loader
// could take for the whole image's; a font session gets its failure log-out.
// Nothing is shown.
TEST_F(ProgramLoadTest, CancelSendsNoEndMarkerAndLogsOutOfAFontDownload)
{
    progress.cancelAt = 2;
    EXPECT_EQ(Program(1024, 0).outcome, Outcome::Cancelled);
    EXPECT_EQ(reg.Transcript().mid(4), QStringList({"15/0", "sync", "15/0"}));
    EXPECT_FALSE(m.device->IsOpen());

    Choose(QByteArray(600, 'f'));
    EXPECT_EQ(DownloadFont(Context(), chooser).outcome, Outcome::Cancelled);
    EXPECT_EQ(reg.Transcript().mid(7), QStringList({"login", "read", "2/0", "logout:failed"}));
    for (const QString& status : progress.statuses)
        EXPECT_FALSE(status.startsWith("E:")) << status.toStdString();
}
