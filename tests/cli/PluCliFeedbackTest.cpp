// What plu-cli tells beyond a step's error: why it failed, what a stopped
// transfer left, what a command that worked did, and how long a step has left.

#include "CliFixture.h"

#include <QRegularExpression>

namespace {

using PluCliFeedbackTest = CliFixture;

bool Matches(const QString& text, const QString& pattern)
{
    return QRegularExpression(pattern).match(text).hasMatch();
}

class PluCliFeedbackWithShop : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        WriteFile(Path("SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    }

    CliRun Download(const QStringList& options, const QString& range = QStringLiteral("1-30"))
    {
        EXPECT_TRUE(sim.Start(options)) << sim.ErrorString().toStdString();
        CliRun run = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", range});
        sim.Stop();
        return run;
    }
};

// Silence, refusal, damaged answers, uncleared reports, a pulled cable and a
// missing device each give their own sentence below the step's error.
TEST_F(PluCliFeedbackWithShop, EachFailureNamesItsCause)
{
    const CliRun silent = Download({"--fail-after", "6"});
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_TRUE(silent.err.contains("plu-cli: Download:PLU...Error!\n"
                                    "plu-cli: The register did not answer (2 tries, 1 s apart).\n"))
        << silent.err.toStdString();
    EXPECT_TRUE(Matches(silent.err, QStringLiteral("plu-cli: PLUs 1–\\d+ were sent; the register keeps its earlier "
                                                   "PLUs from \\d+ on — send again, or Compare\n")))
        << silent.err.toStdString();

    const CliRun refused = Download({"--nak", "1000"});
    EXPECT_TRUE(refused.err.contains("plu-cli: Connect...Error!\nplu-cli: The register refused the package (NAK).\n"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("plu-cli: Nothing was sent; the register keeps what it held"));

    const CliRun damaged = Download({"--corrupt", "1000"});
    EXPECT_TRUE(damaged.err.contains("plu-cli: The register's answers were damaged (checksum error).\n"))
        << damaged.err.toStdString();

    const CliRun reports = Download({"--reports-not-cleared"});
    EXPECT_TRUE(reports.err.contains("plu-cli: ECR report don't clear!\n"
                                     "plu-cli: The register's reports are not cleared"))
        << reports.err.toStdString();

    ASSERT_TRUE(sim.Start({"--wire-time"})) << sim.ErrorString().toStdString();
    const CliRun unplugged =
        UnplugWhenShown({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-3000"}, "package 1 of", 300);
    EXPECT_EQ(unplugged.exitCode, 1);
    EXPECT_TRUE(unplugged.err.contains("plu-cli: The serial device disappeared (unplugged).\n"))
        << unplugged.err.toStdString();

    const CliRun missing = Cli({"test", "--port", Path("no-port"), "--settings", settings});
    EXPECT_TRUE(missing.err.contains(QStringLiteral("plu-cli: The port could not be opened: %1 does not exist. Plug in "
                                                    "the cable")
                                         .arg(Path("no-port"))))
        << missing.err.toStdString();
}

// The history entry of a failure carries the same sentence.
TEST_F(PluCliFeedbackWithShop, TheHistoryKeepsTheCause)
{
    Download({"--fail-after", "6"});
    const CliRun history = Cli({"history", "show", "1", "--settings", settings});
    EXPECT_TRUE(history.out.contains("Error:    Download:PLU...Error! The register did not answer (2 tries, 1 s apart)."))
        << history.out.toStdString() << history.err.toStdString();
}

// Ctrl+C during a download says which PLUs the register got; a failed upload
// says where it stopped and leaves the document file alone.
TEST_F(PluCliFeedbackWithShop, AStoppedTransferSaysWhatItLeft)
{
    // The log-in, the status and three packages (PLUs 1-9) are answered; the fourth waits.
    ASSERT_TRUE(sim.Start({"--fail-after", "6"})) << sim.ErrorString().toStdString();
    const CliRun cancelled = InterruptWhenShown(
        {"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-30", "--retry-interval", "60000"},
        "package 4 of");
    EXPECT_TRUE(cancelled.err.contains("plu-cli: Cancelled\n")) << cancelled.err.toStdString();
    EXPECT_TRUE(cancelled.err.contains(
        "plu-cli: PLUs 1–9 were sent; the register keeps its earlier PLUs from 10 on — send again, or Compare"))
        << cancelled.err.toStdString();
    sim.Stop();

    ASSERT_TRUE(sim.Start({"--fail-after", "5"})) << sim.ErrorString().toStdString();
    const CliRun failed = OverSim({"upload", Path("BACK.PLU"), "--range", "1-40"});
    EXPECT_TRUE(Matches(failed.err, QStringLiteral("plu-cli: Upload failed after PLU \\d+; .*BACK.PLU is left as it was")))
        << failed.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("BACK.PLU")));
}

// A command that worked says so in one sentence; a long step shows its times.
TEST_F(PluCliFeedbackWithShop, SuccessAndTimeLeftAreSaid)
{
    ASSERT_TRUE(sim.Start({"--wire-time", "--rate", "115200"})) << sim.ErrorString().toStdString();
    const CliRun down = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-300", "--baud", "4"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    EXPECT_TRUE(Matches(down.err, QStringLiteral("\nDownload finished: 300 PLUs in \\d+ s \\(.*port, 115200 bit/s\\)\n")))
        << down.err.toStdString();
    EXPECT_TRUE(Matches(down.err, QStringLiteral("package \\d+ of 100 \\(\\d+:\\d\\d elapsed, about \\d+:\\d\\d left\\)")))
        << down.err.toStdString();

    const CliRun test = OverSim({"test", "--baud", "4"});
    EXPECT_TRUE(test.err.contains("Test: the register answers at 115200 bit/s\n")) << test.err.toStdString();
}

} // namespace
