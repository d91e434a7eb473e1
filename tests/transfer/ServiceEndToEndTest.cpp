// The service functions over a real serial device (a pseudo-terminal) against
// the register simulator ecr-sim.
#include "ServiceDoubles.h"

#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "serial/Comm.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"
#include "transfer/DetectScan.h"
#include "config/PortMap.h"
#include "support/SimProcess.h"
#include "transfer/MemoryDump.h"
#include "transfer/ProgramLoad.h"
#include "transfer/TestConnection.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <map>

namespace {

using Outcome = ServiceResult::Outcome;

// How long the link waits for each answer: long enough that an answer a
// loaded machine delays is never taken for silence and sent again, which
// would move the block where a --fail-after register falls silent.
constexpr int kAnswerWait = 1000;

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + i / 256) & 0xFF);
    return bytes;
}

class ScanView : public IDetectScanView
{
public:
    std::map<int, QString> last;
    void ShowPortResult(int port, const QString& text) override { last[port] = text; }
    void ShowDeviceResult(int, const QString&, const QString&) override {}
    bool ScanWanted() const override { return true; }
};

class ServiceEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPortResolver(PortDevicePath);
        link = std::make_unique<TQelmIBusComm>(MakeLinkDevice());
        TraceBesideSettings(*link);
        link->SetMessageBox(&linkMessages);
        link->SetRetryInterval(kAnswerWait);
        // One retry: the waits a silent register lets run out cost time.
        link->SetRetryCount(1);
        ram.answer = MemoryRangeChoice{MemoryRangeChoice::RAM};
    }

    void TearDown() override
    {
        link.reset();
        StopSim();
        SetPortResolver({});
    }

    // The simulator on COM3 (its folder is the program folder from now on);
    // COM1 and COM2 lead to devices that do not exist.
    void StartSim(const QStringList& extra = {})
    {
        ASSERT_TRUE(sim.Start(extra)) << qPrintable(sim.ErrorString());
        SetPortDevicePath(QStringLiteral("COM1"), sim.FilePath(QStringLiteral("absent1")));
        SetPortDevicePath(QStringLiteral("COM2"), sim.FilePath(QStringLiteral("absent2")));
    }

    // Ends the simulator so that its log and saved files are complete.
    void StopSim()
    {
        if (sim.IsRunning()) {
            EXPECT_TRUE(sim.Stop()) << qPrintable(sim.ErrorString());
        }
    }

    QStringList LogLines(const QString& containing) const { return sim.LogLines().filter(containing); }
    ServiceContext Context() { return {*link, progress, messages, ServicePort::FromNumber(3, 4)}; }
    // Writes the file the operator then chooses.
    void Choose(const QString& name, const QByteArray& bytes)
    {
        chosen.answer = sim.FilePath(name);
        QFile file(chosen.answer);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    SimProcess sim;
    std::unique_ptr<TQelmIBusComm> link;
    MessageRecorder linkMessages;
    MessageRecorder messages;
    ProgressRecorder progress;
    FixedFile chosen;
    FixedRange ram;
};

} // namespace

TEST_F(ServiceEndToEndTest, ConnectionTestLogsInAndOutOnce)
{
    StartSim();
    link->SetTraceEnabled(true);
    ASSERT_EQ(TestConnection(Context()).outcome, Outcome::Done);
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "N:Disconnect..."}));
    EXPECT_EQ(progress.closes, 1);
    EXPECT_FALSE(link->isActive());
    EXPECT_TRUE(ReadFile(AppPaths::TracePath()).contains("Send"));
    StopSim();
    EXPECT_EQ(LogLines("(log-in): ack").size(), 1);
    EXPECT_EQ(LogLines("(log-out): ack").size(), 1);
}

TEST_F(ServiceEndToEndTest, RamDumpListing)
{
    StartSim();
    QStringList viewed;
    const ServiceResult result =
        DumpMemory(Context(), ram, [&viewed](const QString& path) { viewed << path; });
    ASSERT_EQ(result.outcome, Outcome::Done) << result.message.toStdString();

    ASSERT_EQ(viewed, QStringList({sim.FilePath("RAM_TEMP.BIN")}));
    const QList<QByteArray> lines = ReadFile(viewed.first()).split('\n');
    ASSERT_EQ(lines.size(), 8193) << "8192 lines, each ended by CR LF";
    EXPECT_TRUE(lines.last().isEmpty());
    for (int i = 0; i < 8192; ++i)
        ASSERT_EQ(lines[i].size(), 75) << "74 characters and CR, line " << i;
    EXPECT_TRUE(lines[8191].startsWith("0001fff0  "));
    EXPECT_TRUE(lines[16].startsWith("00000100  52 41 4d "));
    EXPECT_TRUE(lines[16].contains("RAM   0001")) << lines[16].constData();
}

// The work file keeps the blocks that arrived, in binary, in place of the
// earlier dump; no listing is made of them.
TEST_F(ServiceEndToEndTest, DumpFailingAtBlock10KeepsTheBlocksReceived)
{
    // Log-in, status request and blocks 0..9 are answered, then nothing.
    StartSim({"--fail-after", "12"});
    {
        QFile earlier(sim.FilePath("RAM_TEMP.BIN"));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier dump");
    }
    QStringList viewed;
    const ServiceResult result = DumpMemory(Context(), ram, [&viewed](const QString& path) { viewed << path; });
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.message, "Receive Data...Error!");
    const QByteArray kept = ReadFile(sim.FilePath("RAM_TEMP.BIN"));
    ASSERT_EQ(kept.size(), 2560);
    EXPECT_TRUE(kept.startsWith("RAM   0000")) << kept.left(16).constData();
    EXPECT_TRUE(kept.mid(9 * 256).startsWith("RAM   0009")) << kept.mid(9 * 256, 16).constData();
    EXPECT_TRUE(viewed.isEmpty());
    EXPECT_EQ(QDir(sim.ProgramDir()).entryList({"RAM_TEMP.BIN*"}, QDir::Files),
              QStringList({"RAM_TEMP.BIN"}));
}

TEST_F(ServiceEndToEndTest, ProgramImageFromBlock16)
{
    const QString program = sim.FilePath("received.bin");
    StartSim({"--save-program", program});
    const QByteArray image = Pattern(65536);
    Choose("image.hex", image);
    const ServiceResult result = DownloadProgram(Context(), chosen, 16);
    ASSERT_EQ(result.outcome, Outcome::Done) << result.message.toStdString();
    StopSim();

    const QByteArray received = ReadFile(program);
    ASSERT_EQ(received.size(), 65536);
    EXPECT_EQ(received.left(4096), QByteArray(4096, '\0')) << "blocks 0..15 stay out";
    EXPECT_EQ(received.mid(4096), image.mid(4096));
    quint32 sum = 0;
    for (const char byte : image)
        sum += quint8(byte);
    const QStringList end = SimProcess::Distinct(LogLines("end marker"));
    ASSERT_EQ(end.size(), 1);
    EXPECT_TRUE(end.first().contains(QStringLiteral("240 blocks, checksum 0x%1 announced")
                                         .arg(sum & 0xFFFF, 4, 16, QLatin1Char('0'))))
        << end.first().toStdString();
    EXPECT_TRUE(LogLines("(log-out)").isEmpty());
}

TEST_F(ServiceEndToEndTest, FontOfThreePackages)
{
    const QString saved = sim.FilePath("font.bin");
    StartSim({"--save-font", saved});
    const QByteArray font = Pattern(600);
    Choose("small.fnt", font);
    ASSERT_EQ(DownloadFont(Context(), chosen).outcome, Outcome::Done);
    StopSim();

    const QByteArray received = ReadFile(saved);
    ASSERT_EQ(received.size(), 768);
    EXPECT_EQ(received.left(600), font);
    EXPECT_EQ(received.mid(600), font.mid(344, 168)) << "the last package's tail keeps package 1's bytes";
    EXPECT_EQ(SimProcess::Distinct(LogLines("(font package)")).size(), 3);
}

TEST_F(ServiceEndToEndTest, DetectionFindsTheRegisterOnCom3)
{
    StartSim();
    TQelmIBusComm detectLink(MakeLinkDevice());
    detectLink.SetMessageBox(&linkMessages);
    ScanView view;

    EXPECT_EQ(DetectPort(detectLink, messages, view), 3);
    EXPECT_TRUE(linkMessages.shown.isEmpty()) << "absent devices are not opened";
    EXPECT_EQ(view.last[1], "not present");
    EXPECT_EQ(view.last[2], "not present");
    EXPECT_EQ(view.last[3], "Qelm found!");
    EXPECT_EQ(view.last[4], "");
    EXPECT_TRUE(ReadFile(AppPaths::SettingsPath()).contains("Port=3"));
}
