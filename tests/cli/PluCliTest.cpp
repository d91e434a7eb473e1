// plu-cli as a user runs it: exit codes, messages and files, against the
// register simulator on a pseudo-terminal.

#include "CliFixture.h"

#include <csignal>

namespace {

using PluCliTest = CliFixture;

TEST_F(PluCliTest, HelpAndUsageErrors)
{
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Usage: plu-cli download|upload DOC.PLU")) << help.out.toStdString();

    for (const QStringList& wrong : {QStringList{},
                                     QStringList{"send", "A.PLU"},
                                     QStringList{"download"},
                                     QStringList{"download", "A.PLU", "--range", "3000-1"},
                                     QStringList{"download", "A.PLU", "--range", "0-5"},
                                     QStringList{"download", "A.PLU", "--tables", "plu,recycling"},
                                     QStringList{"download", "A.PLU", "--baud", "5"},
                                     QStringList{"upload", "A.PLU", "--speed", "4"},
                                     QStringList{"upload", "A.PLU", "--port"}}) {
        const CliRun run = Cli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("plu-cli: ")) << run.err.toStdString();
    }
    EXPECT_TRUE(Cli({"download", "A.PLU", "--range", "3000-1"}).err.contains("Invalid PLU range"));
}

TEST_F(PluCliTest, AMissingDocumentIsNotDownloaded)
{
    const CliRun run = Cli({"download", Path("NONE.PLU"), "--port", Path("no-port"), "--settings", settings});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no such document")) << run.err.toStdString();
}

TEST_F(PluCliTest, APortThatCannotBeOpened)
{
    WriteFile(Path("SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    const CliRun run = Cli({"download", Path("SHOP.PLU"), "--tables", "plu", "--port", Path("no-port"), "--settings", settings});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Error opening ")) << run.err.toStdString();
}

TEST_F(PluCliTest, ADocumentDownloadedAndUploadedComesBackByteForByte)
{
    ASSERT_TRUE(sim.Start());
    const QByteArray plu = "2900000056789\tMilk 1l\t1.19\t1\t48.000\t0\t0\t0\r\n"
                           "0\t\xC4pfel 1kg\t2.49\t2\t-1.500\t0\t0\t0\r\n"
                           "123\tABCDEFGHIJKLMNOPQR\t0.01\t9\t0.000\t0\t0\t0\r\n";
    WriteFile(Path("SHOP.PLU"), plu);
    QByteArray dep;
    for (int d = 1; d <= 9; ++d)
        dep += QByteArray("Dept ") + QByteArray::number(d) + "\t" + QByteArray::number(d % 4 + 1) + "\t0.50\r\n";
    WriteFile(Path("SHOP.DEP"), dep);
    WriteFile(settings, "[Default]\r\nHeader1=Corner shop\r\nVAT2=07.00\r\n");

    const CliRun down = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu,department,parameter", "--range", "1-3"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    EXPECT_TRUE(down.err.contains("Download:PLU...")) << down.err.toStdString();
    EXPECT_TRUE(down.err.contains("Disconnect...")) << down.err.toStdString();
    EXPECT_TRUE(QFile::exists(Path("DEBUG.LOG"))) << "the trace goes beside the settings file";

    WriteFile(settings, "[Comm]\r\nPort=2\r\n");
    const CliRun up = OverSim({"upload", Path("BACK.PLU"), "--tables", "plu,department,parameter", "--range", "1-3"});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    EXPECT_EQ(ReadFile(Path("BACK.PLU")), plu);
    EXPECT_EQ(ReadFile(Path("BACK.DEP")), dep);
    EXPECT_TRUE(QFile::exists(Path("BACK.RCY")));
    const QByteArray config = ReadFile(settings);
    EXPECT_TRUE(config.contains("Header1=Corner shop")) << config.constData();
    EXPECT_TRUE(config.contains("VAT2=07.00")) << config.constData();
    EXPECT_TRUE(config.contains("Port=2")) << config.constData();
}

TEST_F(PluCliTest, FailuresExitWithTheirStatusText)
{
    ASSERT_TRUE(sim.Start({"--fail-after", "4"}));
    WriteFile(Path("SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    const CliRun run = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-9"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("plu-cli: Download:PLU...Error!")) << run.err.toStdString();
}


TEST_F(PluCliTest, CtrlCCancelsTheTransfer)
{
    ASSERT_TRUE(sim.Start({"--fail-after", "4"}));
    WriteFile(Path("SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    // Long waits: only Ctrl+C can end this transfer quickly.
    const CliRun run = InterruptWhenShown({"download", Path("SHOP.PLU"), "--tables", "plu", "--retry-interval", "60000"},
                                          "package 1 of");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("plu-cli: Cancelled")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Error!")) << run.err.toStdString();
}

TEST_F(PluCliTest, AFailedUploadLeavesNoHalfDocument)
{
    ASSERT_TRUE(sim.Start({"--fail-after", "5"}));
    const CliRun run = OverSim({"upload", Path("BACK.PLU"), "--range", "1-40"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Upload:PLU...Error!")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("BACK.PLU")));
}

TEST_F(PluCliTest, ALinkTraceThatCannotBeWrittenIsSaidOnceAfterASuccess)
{
    ASSERT_TRUE(sim.Start({"--fill-demo"}));
    ASSERT_TRUE(QDir(dir.path()).mkdir("DEBUG.LOG"));
    for (const QStringList& command : {QStringList{"upload", Path("BACK.PLU"), "--range", "1-3"}, QStringList{"test"}}) {
        const CliRun run = OverSim(command);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.count("DEBUG.LOG"), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("plu-cli: warning: ")) << run.err.toStdString();
    }
}

} // namespace
