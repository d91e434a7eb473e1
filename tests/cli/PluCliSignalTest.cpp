// Ctrl+C, SIGTERM and SIGHUP end every plu-cli command the same way: the
// command is cancelled, no temporary file stays and the document is as it was.

#include "CliFixture.h"

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
        EXPECT_EQ(after.keys(), before.keys()) << what;
        EXPECT_TRUE(after == before) << what;
    }
}

} // namespace
