// Whole transfers over a pseudo-terminal against the register simulator.

#include "RecordingProgress.h"
#include "support/SimProcess.h"

#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "serial/Comm.h"
#include "model/Defs.h"
#include "model/MessageBox.h"
#include "model/TextTable.h"
#include "config/AppPaths.h"
#include "config/SettingsFile.h"
#include "transfer/Download.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/Upload.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Outcome = TransferResult::Outcome;

// How long the link waits for each answer: on a loaded machine the simulator
// may answer late, and a late answer turns into a retransmission that moves
// the frame where a --fail-after register falls silent. A second on top of
// the frame's wire time is more than the log-in's own wait.
constexpr int kAnswerWait = 1000;
// One retry: the waits a silent register lets run out cost time.
constexpr int kRetries = 1;

constexpr unsigned kAllTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department)
                                | TableBit(TransferTable::Parameter);

class MessageRecorder final : public IMessageBox
{
public:
    QStringList errors;
    void Error(const QString& text) override { errors << text; }
    void Information(const QString&) override {}
    SaveAnswer AskYesNoCancel(const QString&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const QString&) override { return false; }
    void Beep() override {}
};

// Presses Cancel a little after the given package started, while the link
// waits for the register.
class CancellingProgress final : public IProgress
{
public:
    explicit CancellingProgress(int package) : package_(package) {}
    RecordingProgress record;

    void Show() override { record.Show(); }
    void Close() override { record.Close(); }
    void ShowStatus(Mode mode, const QString& text) override { record.ShowStatus(mode, text); }
    void SetMargin(int total) override { record.SetMargin(total); }
    void SetProgress(int current) override
    {
        record.SetProgress(current);
        if (current == package_)
            QTimer::singleShot(200, [this] { record.PressCancel(); });
    }
    State ProgressState() const override { return record.ProgressState(); }
    void WaitDismissed() override { record.WaitDismissed(); }
    void SetCancelHandler(std::function<void()> handler) override { record.SetCancelHandler(std::move(handler)); }

private:
    int package_;
};

class TransferEndToEndTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        AppPaths::SetProgramDir(dir.path());
        SetDecimalSeparator(QLatin1Char('.'));
        comm.SetMessageBox(&messages);
        TraceBesideSettings(comm);
        comm.SetTraceEnabled(true);
        comm.SetRetryInterval(kAnswerWait);
        comm.SetRetryCount(kRetries);
        request.baudIndex = 0;   // the simulator listens at 9600 bit/s between sessions
        request.selection = kAllTables;
        request.range = {1, 30};
    }
    void TearDown() override
    {
        AppPaths::SetProgramDir(QString());
        ResetDecimalSeparator();
    }

    bool StartSim(const QStringList& options = {})
    {
        if (!sim.Start(options))
            return false;
        request.port = sim.LinkPath();
        return true;
    }

    TransferResult Download(IProgress& progress) { return DownloadTables(link, progress, request, tables); }
    TransferResult Upload(IProgress& progress) { return UploadTables(link, progress, request, tables); }

    // The failure path: its status and below it the silence as its cause,
    // four log-outs (each tried three times by a register that stays silent,
    // so the count is exact), a closed port with its trace written.
    void ExpectFailure(const TransferResult& result, const RecordingProgress& progress, const QString& status,
                       int logOutFrames)
    {
        EXPECT_EQ(result.outcome, Outcome::Failed);
        EXPECT_EQ(result.message, status);
        EXPECT_EQ(progress.statuses.back(), "E:" + status);
        EXPECT_EQ(result.cause.kind, FailureCause::Kind::NoAnswer);
        EXPECT_EQ(progress.causes, QStringList{CauseText(result.cause)});
        EXPECT_EQ(progress.waits, 1);
        EXPECT_FALSE(comm.isActive());
        EXPECT_TRUE(QFile::exists(AppPaths::TracePath()));
        sim.Stop();
        EXPECT_EQ(sim.CountFrames("(log-out)"), logOutFrames);
    }

    void FillDocument()
    {
        const QStringList rows[] = {
            {"2900000056789", "Milk 1l", "1.19", "1", "48.000"},
            {"0", QString::fromLatin1("Caf\xE9 cr\xE8me 250g"), "12.50", "9", "-1.000"},
            {"123", "ABCDEFGHIJKLMNOPQR", "0.01", "3", "2.500"},
        };
        for (int i = 0; i < 3; ++i) {
            for (int c = 0; c < 5; ++c)
                plu.SetCell(c + 1, 2 * i + 1, rows[i][c]);
        }
        for (int d = 1; d <= 9; ++d) {
            departments.SetCell(DeptmentColumn::Name, d, QStringLiteral("Dept %1").arg(d));
            departments.SetCell(DeptmentColumn::Tax, d, QString::number(d % 4 + 1));
            departments.SetCell(DeptmentColumn::UnitPrice, d, QStringLiteral("%1.25").arg(d));
        }
    }

    QTemporaryDir dir;
    SimProcess sim;
    MessageRecorder messages;
    TQelmIBusComm comm{MakeLinkDevice()};
    QelmIBusLink link{comm};
    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    TransferTables tables{plu, departments, dir.filePath(QStringLiteral("SYSTEM.CFG"))};
    TransferRequest request;
};

TEST_F(TransferEndToEndTest, ADownloadAndAnUploadBackReproduceTheDocumentAndTheSettings)
{
    ASSERT_TRUE(StartSim());
    FillDocument();
    const QString sent = dir.filePath(QStringLiteral("SENT.CFG"));
    {
        SettingsFile settings(sent);
        settings.WriteText("Default", "Header1", "Corner shop");
        settings.WriteText("Default", "Tail2", "Thank you!");
        settings.WriteText("Default", "ClerkName3", "Ann");
        settings.WriteText("Default", "ClerkPWD3", "4321");
        settings.WriteText("Default", "VAT1", "12.50");
        settings.WriteFlag("Default", "VATEnable4", false);
        settings.WriteFlag("Default", "Flag05", true);
        settings.WriteFlag("Default", "Flag26", true);
        settings.WriteInteger("Default", "BCode3", 27);
        settings.WriteInteger("Default", "Print Speed", 4);
        settings.WriteText("Default", "-% rate", "05.00");
    }
    tables.settingsPath = sent;
    RecordingProgress progress;
    const TransferResult down = Download(progress);
    ASSERT_TRUE(down.Succeeded()) << down.message.toStdString();
    EXPECT_FALSE(comm.isActive());
    EXPECT_EQ(progress.closes, 1);

    TextTable pluBack(TableKind::PLU);
    TextTable departmentsBack(TableKind::Department);
    const QString received = dir.filePath(QStringLiteral("RECEIVED.CFG"));
    TransferTables back{pluBack, departmentsBack, received};
    RecordingProgress progressBack;
    const TransferResult up = UploadTables(link, progressBack, request, back);
    ASSERT_TRUE(up.Succeeded()) << up.message.toStdString();

    for (int row = 1; row <= 6; row += 2) {
        for (int col = PLUColumn::Barcode; col <= PLUColumn::Stocks; ++col)
            EXPECT_EQ(pluBack.Cell(col, row), plu.Cell(col, row)) << "row " << row << " column " << col;
    }
    EXPECT_EQ(pluBack.Cell(PLUColumn::Barcode, 2), "0") << "an empty barcode comes back as 0";
    for (int d = 1; d <= 9; ++d) {
        for (int col = DeptmentColumn::Name; col <= DeptmentColumn::UnitPrice; ++col)
            EXPECT_EQ(departmentsBack.Cell(col, d), departments.Cell(col, d)) << "department " << d;
    }

    const SettingsFile before(sent);
    const SettingsFile after(received);
    for (const char* key : {"Header1", "Tail2", "ClerkName3", "ClerkPWD3", "VAT1", "BCode3", "Print Speed",
                            "-% rate", "Flag05", "Flag26"})
        EXPECT_EQ(after.ReadText("Default", key), before.ReadText("Default", key)) << key;
    EXPECT_EQ(after.ReadText("Default", "VATEnable4"), "0");
    EXPECT_EQ(after.ReadText("Default", "VAT2"), "00.00");
}

TEST_F(TransferEndToEndTest, APortThatCannotBeOpenedIsReportedByTheLinkAndNothingElse)
{
    request.port = dir.filePath(QStringLiteral("no-such-device"));
    RecordingProgress progress;
    const TransferResult result = Download(progress);
    EXPECT_EQ(result.outcome, Outcome::PortNotOpened);
    EXPECT_EQ(progress.shows, 0);
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Error opening ")) << messages.errors[0].toStdString();
}

TEST_F(TransferEndToEndTest, ARegisterThatStopsAfterTheLogInFailsTheConnection)
{
    // The log-in is acknowledged; the status block it reads gets no answer.
    ASSERT_TRUE(StartSim({"--fail-after", "1"}));
    RecordingProgress progress;
    ExpectFailure(Download(progress), progress, "Connect...Error!", 4 * 3);
}

TEST_F(TransferEndToEndTest, ARegisterThatDoesNotAnswerTheStatusRequest)
{
    ASSERT_TRUE(StartSim({"--fail-after", "2"}));
    RecordingProgress progress;
    ExpectFailure(Upload(progress), progress, "Check ecr status...Error!", 4 * 3);
}

TEST_F(TransferEndToEndTest, UnclearedReportsRefuseTheDownloadButNotTheUpload)
{
    ASSERT_TRUE(StartSim({"--reports-not-cleared"}));
    RecordingProgress progress;
    const TransferResult refused = Download(progress);
    EXPECT_EQ(refused.message, "ECR report don't clear!");
    EXPECT_EQ(progress.statuses.back(), "E:ECR report don't clear!");
    EXPECT_EQ(refused.cause.kind, FailureCause::Kind::ReportsNotCleared);
    EXPECT_EQ(progress.causes.size(), 1);
    EXPECT_FALSE(comm.isActive());

    RecordingProgress again;
    EXPECT_TRUE(Upload(again).Succeeded());
    sim.Stop();
    EXPECT_EQ(sim.CountFrames("cmd 13 "), 0);
    EXPECT_EQ(SimProcess::Distinct(sim.FrameLines().filter("cmd 11 ")).size(), 8) << "PLUs 1 to 30 in groups of four";
    // Four after the refusal, one after the upload; an acknowledgement that
    // comes late on a busy machine makes the link send a log-out again.
    EXPECT_GE(sim.CountFrames("(log-out)"), 4 + 1);
}

TEST_F(TransferEndToEndTest, APLUPackageWithoutAnswerStopsTheDownload)
{
    // Log-in, status block, status check, PLU packages 0 and 1; package 2 unanswered.
    ASSERT_TRUE(StartSim({"--fail-after", "5"}));
    RecordingProgress progress;
    ExpectFailure(Download(progress), progress, "Download:PLU...Error!", 4 * 3);
    EXPECT_EQ(sim.CountFrames("cmd 12 "), 0) << "the department table is not sent";
    EXPECT_EQ(sim.CountFrames("cmd 13 param 2 "), kRetries + 1);
}

TEST_F(TransferEndToEndTest, CancelDuringAPackageEndsSilently)
{
    ASSERT_TRUE(StartSim({"--fail-after", "4"}));
    // Only Cancel, pressed 200 ms into the silent wait, may end it, however
    // late a busy machine runs that timer.
    comm.SetRetryInterval(20000);
    comm.SetRetryCount(10);
    CancellingProgress progress(2);
    const TransferResult result = Download(progress);
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    for (const QString& status : progress.record.statuses)
        EXPECT_FALSE(status.startsWith("E:")) << status.toStdString();
    EXPECT_FALSE(comm.isActive());
    EXPECT_FALSE(comm.TraceLines().contains(QStringLiteral("Retry:1"))) << "the wait ended at Cancel";
    sim.Stop();
    EXPECT_EQ(sim.CountFrames("cmd 13 param 1 "), 1);
    EXPECT_EQ(sim.CountFrames("(log-out)"), 4 * 3);
}

} // namespace
