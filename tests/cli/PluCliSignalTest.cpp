// Ctrl+C, SIGTERM and SIGHUP end every plu-cli command the same way: the
// command is cancelled, no temporary file stays and the document is as it was.

#include "CliFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PluCliSignalTest : public CliFixture
{
protected:
    // Every file in the temporary folder and below, with its bytes.
    QMap<QString, QByteArray> Files() const
    {
        QMap<QString, QByteArray> files;
        const QDir root(dir.path());
        for (const QString& name : root.entryList(QDir::Files | QDir::Hidden | QDir::System))
            files.insert(name, ReadFile(root.filePath(name)));
        for (const QString& name : QDir(Path("docs")).entryList(QDir::Files | QDir::Hidden | QDir::System))
            files.insert(QStringLiteral("docs/") + name, ReadFile(Path("docs/" + name)));
        return files;
    }
};

TEST_F(PluCliSignalTest, EverySignalEndsEveryTransferThroughItsCleanPath)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("docs"));
    WriteFile(Path("docs/SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    WriteFile(Path("docs/SHOP.DEP"), QByteArray("Dairy\t1\t0.00\r\n").repeated(9));
    const QString shop = Path("docs/SHOP.PLU");
    struct Case
    {
        QStringList arguments;
        int signal;
    };
    const QList<Case> cases{
        {{"upload", shop}, SIGTERM},          {{"download", shop}, SIGHUP},
        {{"compare", shop}, SIGTERM},         {{"dump", "ram", Path("docs/RAM.TXT")}, SIGHUP},
        {{"upload", shop, "--range", "1-40"}, SIGINT},
    };
    for (const Case& run : cases) {
        const std::string what = run.arguments.join(' ').toStdString() + " signal " + std::to_string(run.signal);
        // A register that stops answering in the middle of the transfer.
        ASSERT_TRUE(sim.Start({"--fill-demo", "--fail-after", "12"})) << sim.ErrorString().toStdString();
        QMap<QString, QByteArray> before = Files();
        const CliRun ended = SignalDuring(run.arguments, "package 1 of", run.signal);
        EXPECT_EQ(ended.exitCode, 1) << what << ended.err.toStdString();
        EXPECT_TRUE(ended.err.contains("plu-cli: Cancelled")) << what << ended.err.toStdString();
        ASSERT_TRUE(sim.Stop());

        // The trace and the history beside the settings file change; nothing
        // else does, and nothing is added.
        QMap<QString, QByteArray> after = Files();
        for (const QString& own : {QStringLiteral("DEBUG.LOG"), QStringLiteral("HISTORY.DB")}) {
            EXPECT_TRUE(after.contains(own)) << what;
            before.remove(own);
            after.remove(own);
        }
        // A dump's work file keeps the blocks received before the signal.
        if (run.arguments.first() == QLatin1String("dump"))
            after.remove(QStringLiteral("RAM_TEMP.BIN"));
        EXPECT_EQ(after.keys(), before.keys()) << what;
        EXPECT_TRUE(after == before) << what;
    }
}

// An import waits on a sheet that comes down a pipe: a signal while it reads
// ends the command without writing, and nothing but the document stays.
TEST_F(PluCliSignalTest, ASignalDuringAnImportLeavesTheDocumentAsItWas)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("docs"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("in"));
    WriteFile(Path("docs/SHOP.PLU"), "1\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    WriteFile(Path("docs/SHOP.DEP"), QByteArray("Dairy\t1\t0.00\r\n").repeated(9));
    const QByteArray sheet = Path("in/late.csv").toLocal8Bit();
    ASSERT_EQ(::mkfifo(sheet.constData(), 0600), 0);
    const QMap<QString, QByteArray> before = Files();

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments({"import", Path("docs/SHOP.PLU"), Path("in/late.csv")});
        StartFromTerminal(process);
        // Opening the pipe returns once plu-cli opened it to read the sheet.
        const int pipe = ::open(sheet.constData(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(pipe, 0);
        const QByteArray head = "NO.;Name;Unit price\n1;Coffee;2.50\n";
        ASSERT_EQ(::write(pipe, head.constData(), size_t(head.size())), head.size());
        ::kill(pid_t(process.processId()), signal);
        const QByteArray rest = "2;Milk;0.99\n";
        // The reader may be gone already.
        ::signal(SIGPIPE, SIG_IGN);
        (void)::write(pipe, rest.constData(), size_t(rest.size()));
        ::close(pipe);
        const CliRun ended = Collect(process);
        EXPECT_EQ(ended.exitCode, 1) << signal << ended.err.toStdString();
        EXPECT_TRUE(ended.err.contains("plu-cli: Cancelled")) << signal << ended.err.toStdString();
        EXPECT_TRUE(Files() == before) << signal << ended.err.toStdString();
    }
}

} // namespace
