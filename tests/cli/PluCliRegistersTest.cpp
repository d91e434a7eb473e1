// Several registers side by side from the command line: three simulators on
// three pseudo-terminals, named in the settings file's [Registers].

#include "CliFixture.h"

#include <array>

namespace {

class PluCliRegistersTest : public CliFixture
{
protected:
    static constexpr int kTills = 3;

    // Starts the three simulators (each with its own options) and lists them
    // as "Till 1".."Till 3" on COM5..COM7, mapped to their links.
    void StartTills(const std::array<QStringList, kTills>& options = {})
    {
        QByteArray ports = "[Ports]\r\n";
        QByteArray registers = "[Registers]\r\nCount=3\r\n";
        for (int i = 0; i < kTills; ++i) {
            ASSERT_TRUE(tills[i].Start(options[i])) << tills[i].ErrorString().toStdString();
            const QByteArray n = QByteArray::number(i + 1);
            ports += "COM" + QByteArray::number(i + 5) + "=" + tills[i].LinkPath().toUtf8() + "\r\n";
            registers += "Name" + n + "=Till " + n + "\r\nPort" + n + "=COM" + QByteArray::number(i + 5)
                         + "\r\nBaudRate" + n + "=4\r\n";
        }
        WriteFile(settings, "[Comm]\r\nPort=2\r\nBaudRate=4\r\n" + ports + registers);
    }

    // PLUs 1..60 named "Article n" at n.25 (PLU `changed` at 0.99), nine departments.
    void WriteShop(int changed = 0, int alsoChanged = 0)
    {
        QByteArray plu;
        for (int n = 1; n <= 60; ++n) {
            const QByteArray price = n == changed || n == alsoChanged ? "0.99" : QByteArray::number(n) + ".25";
            plu += "0\tArticle " + QByteArray::number(n) + "\t" + price + "\t" + QByteArray::number(n % 9 + 1)
                   + "\t1.500\t0\t0\t0\r\n";
        }
        WriteFile(Path("SHOP.PLU"), plu);
        QByteArray dep;
        for (int d = 1; d <= 9; ++d)
            dep += "Dept " + QByteArray::number(d) + "\t1\t0.00\r\n";
        WriteFile(Path("SHOP.DEP"), dep);
    }

    CliRun Registers(const QStringList& arguments)
    {
        return Cli(arguments + QStringList{"--settings", settings} + AnswerWaits());
    }

    static QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

    // The register's line on standard output ("Till 2 (COM6): failed in ...").
    static QString LineOf(const CliRun& run, int till)
    {
        const QStringList lines = Lines(run.out).filter(QStringLiteral("Till %1 (COM%2): ").arg(till).arg(till + 4));
        return lines.size() == 1 ? lines[0] : QString();
    }

    std::array<SimProcess, kTills> tills;
};

} // namespace

TEST_F(PluCliRegistersTest, EveryTillHoldsTheDocumentAfterOneDownload)
{
    StartTills({QStringList{"--fill-demo"}, QStringList{"--fill-demo"}, QStringList{}});
    WriteShop();
    const QStringList range{"--range", "1-60"};

    const CliRun before = Registers(QStringList{"compare", Path("SHOP.PLU"), "--all-registers"} + range);
    EXPECT_EQ(before.exitCode, 3) << before.err.toStdString();
    for (int till = 1; till <= kTills; ++till)
        EXPECT_TRUE(LineOf(before, till).contains(": differs (")) << before.out.toStdString();

    const CliRun download = Registers(QStringList{"download", Path("SHOP.PLU"), "--all-registers"} + range);
    ASSERT_EQ(download.exitCode, 0) << download.err.toStdString();
    for (int till = 1; till <= kTills; ++till)
        EXPECT_TRUE(LineOf(download, till).contains(": done in ")) << download.out.toStdString();

    // Read back by name, by COMn and by the device path alike.
    const CliRun after = Registers(QStringList{"compare", Path("SHOP.PLU"), "--register", "till 1", "--port", "COM6",
                                               "--port", tills[2].LinkPath()}
                                   + range);
    EXPECT_EQ(after.exitCode, 0) << after.out.toStdString() << after.err.toStdString();
    EXPECT_EQ(Lines(after.out).filter(": done in ").size(), 3) << after.out.toStdString();

    // Each register's trace has a file of its own.
    for (int till = 1; till <= kTills; ++till)
        EXPECT_TRUE(QFile::exists(Path(QStringLiteral("DEBUG-Till_%1.LOG").arg(till))));
}

TEST_F(PluCliRegistersTest, ASilentTillFailsAloneAndIsLoggedOut)
{
    // Till 2 stops answering in the middle of the PLU table.
    StartTills({QStringList{}, QStringList{"--fail-after", "12"}, QStringList{}});
    WriteShop();
    const CliRun download = Registers({"download", Path("SHOP.PLU"), "--all-registers", "--range", "1-60"});
    EXPECT_EQ(download.exitCode, 1) << download.err.toStdString();
    EXPECT_TRUE(LineOf(download, 1).contains(": done in ")) << download.out.toStdString();
    EXPECT_TRUE(LineOf(download, 2).contains(": failed in ")) << download.out.toStdString();
    EXPECT_TRUE(LineOf(download, 3).contains(": done in ")) << download.out.toStdString();
    EXPECT_TRUE(download.err.contains("1 of 3 registers failed: Till 2 (COM6)")) << download.err.toStdString();
    EXPECT_GE(tills[1].CountFrames("(log-out)"), 1);

    const CliRun others = Registers({"compare", Path("SHOP.PLU"), "--register", "Till 1", "--register", "Till 3",
                                     "--range", "1-60"});
    EXPECT_EQ(others.exitCode, 0) << others.out.toStdString() << others.err.toStdString();
}

TEST_F(PluCliRegistersTest, ChangesOnlyKeepsABaselinePerTill)
{
    StartTills();
    WriteShop();
    const QStringList range{"--range", "1-60"};
    ASSERT_EQ(Registers(QStringList{"download", Path("SHOP.PLU"), "--all-registers"} + range).exitCode, 0);

    // Till 1 alone gets PLU 7 changed; then the document changes PLU 9 too.
    WriteShop(7);
    ASSERT_EQ(Registers(QStringList{"download", Path("SHOP.PLU"), "--port", "COM5"} + range).exitCode, 0);
    WriteShop(9);
    const CliRun changes =
        Registers(QStringList{"download", Path("SHOP.PLU"), "--all-registers", "--changes-only"} + range);
    ASSERT_EQ(changes.exitCode, 0) << changes.err.toStdString();
    // Till 1 takes PLU 7 back and PLU 9; the others only PLU 9.
    EXPECT_TRUE(changes.err.contains("[Till 1] Download changes: 2 PLUs in 1 package")) << changes.err.toStdString();
    EXPECT_TRUE(changes.err.contains("[Till 2] Download changes: 1 PLU in 1 package")) << changes.err.toStdString();
    EXPECT_TRUE(changes.err.contains("[Till 3] Download changes: 1 PLU in 1 package")) << changes.err.toStdString();

    const CliRun after = Registers(QStringList{"compare", Path("SHOP.PLU"), "--all-registers"} + range);
    EXPECT_EQ(after.exitCode, 0) << after.out.toStdString();
}

TEST_F(PluCliRegistersTest, CancelLogsEveryTillOut)
{
    StartTills({QStringList{"--wire-time"}, QStringList{"--wire-time"}, QStringList{"--wire-time"}});
    WriteShop();
    QProcess process;
    process.setProgram(CliProgram());
    process.setArguments({"download", Path("SHOP.PLU"), "--all-registers", "--settings", settings,
                          "--retry-interval", "1000"});
    process.setReadChannel(QProcess::StandardError);
    StartFromTerminal(process);
    // Every till is in the middle of its PLU table.
    QByteArray err;
    auto allShown = [&err] {
        for (int till = 1; till <= kTills; ++till) {
            if (!err.contains("[Till " + QByteArray::number(till) + "] package 100 of 1000"))
                return false;
        }
        return true;
    };
    while (!allShown() && process.waitForReadyRead(60000))
        err += process.readAllStandardError();
    ASSERT_TRUE(allShown()) << err.constData();
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    const CliRun run{process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                     QString::fromLocal8Bit(err + process.readAllStandardError())};

    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    // Each till is reported, none as done, and each was logged out.
    for (int till = 1; till <= kTills; ++till) {
        EXPECT_TRUE(LineOf(run, till).contains(": cancelled in ")) << run.out.toStdString();
        EXPECT_GE(tills[till - 1].CountFrames("(log-out)"), 1) << till;
    }
    EXPECT_TRUE(run.err.contains("3 of 3 registers failed")) << run.err.toStdString();
}

TEST_F(PluCliRegistersTest, RegistersThatDoNotFitTogetherAreRefusedBeforeAnythingIsSent)
{
    StartTills();
    WriteShop();
    const struct
    {
        QStringList arguments;
        QString error;
    } cases[] = {
        {{"download", Path("SHOP.PLU"), "--port", "COM5", "--port", tills[0].LinkPath()}, "lead to the same device"},
        {{"compare", Path("SHOP.PLU"), "--register", "Till 2", "--port", tills[1].SlavePath()},
         "lead to the same device"},
        {{"download", Path("SHOP.PLU"), "--port", "COM5", "--port", "com5"}, "the port com5 is named twice"},
        {{"download", Path("SHOP.PLU"), "--register", "Till 1", "--port", "COM5"}, "The port COM5 is named twice"},
        {{"download", Path("SHOP.PLU"), "--register", "Till 9"}, "no register named \"Till 9\""},
        {{"upload", Path("SHOP.PLU"), "--port", "COM5", "--port", "COM6"}, "upload reads one register"},
        {{"upload", Path("SHOP.PLU"), "--all-registers"}, "upload reads one register"},
        {{"test", "--port", "COM5", "--port", "COM6"}, "only download and compare take several ports"},
    };
    for (const auto& refused : cases) {
        const CliRun run = Registers(refused.arguments);
        EXPECT_EQ(run.exitCode, 2) << refused.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(refused.error)) << run.err.toStdString();
    }
    for (SimProcess& till : tills)
        EXPECT_TRUE(till.FrameLines().isEmpty()) << till.FrameLines().join('\n').toStdString();

    // No list at all: --all-registers says so.
    WriteFile(settings, "[Comm]\r\nPort=2\r\n");
    const CliRun none = Registers({"download", Path("SHOP.PLU"), "--all-registers"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains("no registers are listed")) << none.err.toStdString();
}
