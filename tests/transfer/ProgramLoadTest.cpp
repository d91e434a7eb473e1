#include "ServiceDoubles.h"

#include "settings/AppPaths.h"
#include "transfer/ProgramLoad.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = ServiceResult::Outcome;
using Payload = Frame::Payload;

class ScriptedChooser : public IOpenFileChooser
{
public:
    QString answer;
    QList<OpenFileFilter> filters;

    QString ChooseOpenFile(const OpenFileFilter& filter) override
    {
        filters << filter;
        return answer;
    }
};

// Bytes that differ from block to block and within a block.
QByteArray Image(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

QByteArray DataOf(const Payload& p, int from = 0, int length = 256)
{
    return QByteArray(reinterpret_cast<const char*>(p.data() + 3 + from), length);
}

int ParameterOf(const Payload& p)
{
    return p[1] | (p[2] << 8);
}

class ProgramLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    void WriteChosenFile(const QByteArray& bytes)
    {
        chooser.answer = m_dir.filePath("chosen.bin");
        QFile file(chooser.answer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    ServiceContext Context() { return {*m.link, progress, messages, ServicePort::FromNumber(1, 2)}; }
    ServiceResult Program(const QByteArray& image, qint32 firstBlock)
    {
        WriteChosenFile(image);
        return DownloadProgram(Context(), chooser, firstBlock);
    }
    ServiceResult Font(const QByteArray& font)
    {
        WriteChosenFile(font);
        return DownloadFont(Context(), chooser);
    }

    // The frames of one command: the program blocks (15) or font packages (2).
    std::vector<Payload> Packets(quint8 command) const
    {
        std::vector<Payload> packets;
        for (const Payload& p : reg.Frames()) {
            if (p[0] == command)
                packets.push_back(p);
        }
        return packets;
    }

    void ExpectNothingSent() const
    {
        EXPECT_EQ(m.device->OpenCount(), 0);
        EXPECT_TRUE(m.device->Writes().isEmpty());
        EXPECT_EQ(progress.shows, 0);
    }

    QTemporaryDir m_dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
    ScriptedChooser chooser;
};

} // namespace

TEST(ProgramImageTest, StartValueAndChecksum)
{
    QByteArray bytes(512, '\xFF');
    bytes[508] = '\x34';
    bytes[509] = '\x12';
    const std::optional<ProgramImage> image = ProgramImage::FromBytes(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->StartValue(), 0x1234);
    // 510 bytes of 0xFF plus 0x34 and 0x12, modulo 65536.
    EXPECT_EQ(image->Checksum(), quint16((510 * 0xFF + 0x34 + 0x12) & 0xFFFF));
    EXPECT_EQ(image->Blocks(), 2);

    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray()));
    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray(1000, 0)));
    EXPECT_FALSE(ProgramImage::FromBytes(QByteArray(65537 * 256, 0))) << "block numbers are 16-bit";
    EXPECT_TRUE(ProgramImage::FromBytes(QByteArray(65536 * 256, 0)));
}

TEST_F(ProgramLoadTest, ImageFromBlock16WithWakeUpStartAndEnd)
{
    QByteArray image = Image(65536);
    image[65532] = '\xCD';
    image[65533] = '\xAB';
    const ServiceResult result = Program(image, 16);
    ASSERT_EQ(result.outcome, Outcome::Done) << result.message.toStdString();
    EXPECT_EQ(chooser.filters.first().pattern, "*.hex");

    // Two wake-up patterns before the log-in, one after the start command.
    const QList<QByteArray> raw = reg.RawWrites();
    ASSERT_EQ(raw.size(), 3);
    EXPECT_EQ(raw[0], QByteArray(64, '\x66'));
    ASSERT_GE(m.device->Writes().size(), 3);
    EXPECT_EQ(m.device->Writes()[0].rate, 4800u);
    EXPECT_EQ(m.device->Writes()[1].bytes, raw[1]) << "both patterns before the log-in";

    const std::vector<Payload>& frames = reg.Frames();
    ASSERT_TRUE(FakeRegister::IsLogIn(frames[0]));
    EXPECT_EQ(frames[0][14], 0) << "log-in for a program load";
    const std::vector<Payload> commands = Packets(15);
    ASSERT_EQ(commands.size(), 242u) << "start, 240 blocks, end";
    EXPECT_EQ(ParameterOf(commands.front()), 0);
    EXPECT_EQ(DataOf(commands.front(), 0, 3), QByteArray("\xCD\xAB\x00", 3)) << "start value, low byte first";
    for (int k = 0; k < 240; ++k) {
        ASSERT_EQ(ParameterOf(commands[1 + k]), 16 + k);
        ASSERT_EQ(DataOf(commands[1 + k]), image.mid((16 + k) * 256, 256)) << "block " << 16 + k;
    }
    quint32 sum = 0;
    for (const char byte : image)
        sum += quint8(byte);
    EXPECT_EQ(commands.back()[1], 1) << "end command";
    EXPECT_EQ(commands.back()[3] | (commands.back()[4] << 8), int(sum & 0xFFFF));
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0) << "no log-out";

    EXPECT_EQ(progress.margins, std::vector<int>({240}));
    EXPECT_EQ(progress.statuses, QStringList({"N:Wait 1 second...", "N:Connect...", "N:Download Program...",
                                              "N:Disconnect..."}));
    EXPECT_EQ(progress.closes, 1);
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(ProgramLoadTest, ImageNoLongerThanTheSkippedBlocksSendsOnlyStartAndEnd)
{
    const ServiceResult result = Program(Image(4096), 16);
    ASSERT_EQ(result.outcome, Outcome::Done);
    const std::vector<Payload> commands = Packets(15);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0][1], 0);
    EXPECT_EQ(commands[1][1], 1);
    EXPECT_EQ(progress.margins, std::vector<int>({0}));

    // A first block beyond the image's end sends no block either.
    reg.ForgetFrames();
    ASSERT_EQ(Program(Image(4096), 40).outcome, Outcome::Done);
    EXPECT_EQ(Packets(15).size(), 2u);
}

TEST_F(ProgramLoadTest, NegativeFirstBlockCountsAsZero)
{
    ASSERT_EQ(Program(Image(512), -3).outcome, Outcome::Done);
    const std::vector<Payload> commands = Packets(15);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(ParameterOf(commands[1]), 0);
    EXPECT_EQ(DataOf(commands[1]), Image(512).left(256));
    EXPECT_EQ(ParameterOf(commands[2]), 1);
}

TEST_F(ProgramLoadTest, ImagesThatAreNotWholeBlocksAreRefusedBeforeThePort)
{
    for (const int size : {1000, 0}) {
        messages = MessageRecorder();
        const ServiceResult result = Program(Image(size), 16);
        EXPECT_EQ(result.outcome, Outcome::Refused) << size;
        EXPECT_EQ(messages.beeps, 1);
        EXPECT_EQ(messages.errors, QStringList({"Not a valid file!"}));
        ExpectNothingSent();
    }

    chooser.answer.clear();
    EXPECT_EQ(DownloadProgram(Context(), chooser, 16).outcome, Outcome::NotStarted);
    chooser.answer = m_dir.filePath("missing.hex");
    EXPECT_EQ(DownloadProgram(Context(), chooser, 16).outcome, Outcome::Refused);
    ExpectNothingSent();
}

TEST_F(ProgramLoadTest, FailedBlockShowsItsErrorWithoutLogOut)
{
    reg.silentAtHeader = std::array<quint8, 3>{15, 3, 0};
    const ServiceResult result = Program(Image(2048), 0);

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(progress.statuses.last(), "E:Download Program...Error!");
    EXPECT_EQ(Packets(15).size(), 1u + 3u + 3u) << "start, blocks 0..2, block 3 three times";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0);
    EXPECT_EQ(progress.waits, 1);
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(ProgramLoadTest, RejectedProgramLogInEndsAtOnce)
{
    reg.presence = FakeRegister::Presence::Absent;
    const ServiceResult result = Program(Image(512), 0);

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(reg.CountFrames(14, 1, 0), 1) << "0x55 ends a program log-in";
    EXPECT_TRUE(Packets(15).empty()) << "no start command";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0);
    EXPECT_EQ(progress.statuses.last(), "E:Connect...Error!");
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(ProgramLoadTest, FontLastPackageKeepsThePreviousBytesBehindTheTail)
{
    const QByteArray font = Image(600);
    const ServiceResult result = Font(font);
    ASSERT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(chooser.filters.first().pattern, "*.fnt");

    const std::vector<Payload> packages = Packets(2);
    ASSERT_EQ(packages.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ParameterOf(packages[std::size_t(i)]), i);
    EXPECT_EQ(DataOf(packages[1]), font.mid(256, 256));
    EXPECT_EQ(DataOf(packages[2], 0, 88), font.mid(512, 88));
    EXPECT_EQ(DataOf(packages[2], 88, 168), font.mid(256 + 88, 168));

    EXPECT_TRUE(FakeRegister::IsLogIn(reg.Frames().front()));
    EXPECT_EQ(reg.Frames().front()[14], 1);
    EXPECT_TRUE(FakeRegister::IsLogOut(reg.Frames().back()));
    EXPECT_EQ(reg.Frames().back()[7], 0);
    EXPECT_TRUE(reg.RawWrites().isEmpty()) << "no wake-up pattern for a font";
    EXPECT_EQ(progress.margins, std::vector<int>({3}));
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "N:Download font...", "N:Disconnect..."}));
    EXPECT_FALSE(m.device->IsOpen());
}

TEST_F(ProgramLoadTest, EmptyFontLogsInAndOut)
{
    ASSERT_EQ(Font(QByteArray()).outcome, Outcome::Done);
    EXPECT_TRUE(Packets(2).empty());
    EXPECT_EQ(reg.CountFrames(14, 1, 0), 1);
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 1);
    EXPECT_EQ(progress.margins, std::vector<int>({0}));
}

TEST_F(ProgramLoadTest, FailedFontPackageSendsNoLogOut)
{
    reg.silentAtHeader = std::array<quint8, 3>{2, 1, 0};
    const ServiceResult result = Font(Image(600));

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(progress.statuses.last(), "E:Download font...Error!");
    EXPECT_EQ(Packets(2).size(), 1u + 3u);
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0);
    EXPECT_FALSE(m.device->IsOpen());
}
