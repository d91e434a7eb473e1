// The register workflow from the command line: compare, download --verify and
// --changes-only, and the history they leave, against the simulator.

#include "CliFixture.h"

#include "history/HistoryStore.h"

namespace {

class PluCliCompareTest : public CliFixture
{
protected:
    // PLUs 1..count named "<article> n" at n.25, and nine departments.
    void WriteShop(int count, const QByteArray& article = "Article")
    {
        QByteArray plu;
        for (int n = 1; n <= count; ++n)
            plu += "200000000" + QByteArray::number(1000 + n) + "\t" + article + " " + QByteArray::number(n) + "\t"
                   + QByteArray::number(n) + ".25\t" + QByteArray::number(n % 9 + 1) + "\t1.500\t0\t0\t0\r\n";
        WriteFile(Path("SHOP.PLU"), plu);
        QByteArray dep;
        for (int d = 1; d <= 9; ++d)
            dep += "Dept " + QByteArray::number(d) + "\t1\t0.00\r\n";
        WriteFile(Path("SHOP.DEP"), dep);
    }

    // Replaces one cell of the document's PLU file (fields from 0: barcode).
    void EditPlu(int number, int field, const QByteArray& text)
    {
        QList<QByteArray> lines = ReadFile(Path("SHOP.PLU")).split('\n');
        QList<QByteArray> cells = lines[number - 1].split('\t');
        cells[field] = text;
        lines[number - 1] = cells.join('\t');
        WriteFile(Path("SHOP.PLU"), lines.join('\n'));
    }

    // The simulator's PLU download frames since `from`, each package once.
    QStringList PluPackagesSince(qsizetype from) const
    {
        return SimProcess::Distinct(sim.FrameLines().mid(from).filter("(PLU download)"));
    }

    static QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

    // A changes-only download after one price changed, which finds that the
    // register does not hold what is known and sends both tables in full;
    // the register then holds the document.
    void ExpectSentInFull()
    {
        EditPlu(7, 2, "0.99");
        const qsizetype before = sim.FrameLines().size();
        const CliRun changes = OverSim({"download", Path("SHOP.PLU"), "--range", "1-60", "--changes-only"});
        ASSERT_EQ(changes.exitCode, 0) << changes.err.toStdString();
        EXPECT_TRUE(changes.err.contains("register's own keyboard")) << changes.err.toStdString();
        EXPECT_TRUE(changes.err.contains("The register at " + sim.LinkPath() + " does not hold what was last seen there"))
            << changes.err.toStdString();
        EXPECT_TRUE(changes.err.contains("the PLU and department tables were sent in full")) << changes.err.toStdString();
        EXPECT_EQ(PluPackagesSince(before).size(), 20);
        EXPECT_EQ(SimProcess::Distinct(sim.FrameLines().mid(before).filter("(department download)")).size(), 2);
        const CliRun compare = OverSim({"compare", Path("SHOP.PLU"), "--range", "1-60"});
        EXPECT_EQ(compare.exitCode, 0) << compare.out.toStdString();
    }
};

TEST_F(PluCliCompareTest, CompareChangesOnlyAndHistoryFollowTheRegister)
{
    ASSERT_TRUE(sim.Start());
    WriteShop(60);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);

    const CliRun agrees = OverSim({"compare", Path("SHOP.PLU"), "--range", "1-60"});
    EXPECT_EQ(agrees.exitCode, 0) << agrees.err.toStdString();
    EXPECT_TRUE(agrees.out.isEmpty()) << agrees.out.toStdString();

    // "7.5" against the register's 7.25; the same price written "12.250" is no change.
    EditPlu(7, 2, "7.5");
    EditPlu(12, 2, "12.250");
    EditPlu(45, 1, "Renamed");
    const CliRun differs = OverSim({"compare", Path("SHOP.PLU"), "--range", "1-60"});
    EXPECT_EQ(differs.exitCode, 3) << differs.err.toStdString();
    EXPECT_EQ(Lines(differs.out),
              (QStringList{"PLU 7 Unit price: document \"7.50\", register \"7.25\"",
                           "PLU 45 Name: document \"Renamed\", register \"Article 45\""}));
    EXPECT_TRUE(differs.err.contains("PLU: 2 differences, department: 0 differences")) << differs.err.toStdString();

    const qsizetype before = sim.FrameLines().size();
    const CliRun changes = OverSim({"download", Path("SHOP.PLU"), "--range", "1-60", "--changes-only"});
    ASSERT_EQ(changes.exitCode, 0) << changes.err.toStdString();
    EXPECT_TRUE(changes.err.contains("register's own keyboard")) << changes.err.toStdString();
    const QStringList packages = PluPackagesSince(before);
    ASSERT_EQ(packages.size(), 1) << packages.join('\n').toStdString();
    EXPECT_TRUE(packages[0].endsWith("ack, PLU 7 45")) << packages[0].toStdString();
    EXPECT_TRUE(sim.FrameLines().mid(before).filter("(department download)").isEmpty());

    EXPECT_EQ(OverSim({"compare", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);

    const CliRun list = OverSim({"history"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList entries = Lines(list.out);
    ASSERT_EQ(entries.size(), 5) << list.out.toStdString();
    EXPECT_TRUE(entries[0].startsWith("5  ") && entries[0].contains("  compare  ") && entries[0].endsWith("done"));
    EXPECT_TRUE(entries[1].contains("  download changes  ") && entries[1].contains("plu,department 1-60"));
    EXPECT_TRUE(entries[2].contains("  compare  ") && entries[2].endsWith("differs"));
    EXPECT_TRUE(entries[4].contains("  download  "));

    const CliRun show = OverSim({"history", "show", "2"});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_TRUE(show.out.contains("PLU 45\t2000000001045\tArticle 45\t45.25")) << show.out.toStdString();
    ASSERT_EQ(OverSim({"history", "export", "4", Path("SENT.PLU")}).exitCode, 0);
    const QByteArray sent = ReadFile(Path("SENT.PLU"));
    EXPECT_TRUE(sent.contains("\tRenamed\t45.25\t")) << sent.constData();
    // Only the PLUs sent, and those of the sample read back before (PLU 5 is
    // in neither).
    EXPECT_FALSE(sent.contains("Article 5\t")) << sent.constData();
    EXPECT_EQ(OverSim({"history", "show", "99"}).exitCode, 1);

    HistoryStore store(Path("HISTORY.DB"));
    EXPECT_EQ(store.IntegrityCheck(), "ok");
}

TEST_F(PluCliCompareTest, VerifyNamesThePLUTheRegisterDidNotStore)
{
    ASSERT_TRUE(sim.Start({"--lose-plu", "4"}));
    WriteShop(6);
    const CliRun run = OverSim({"download", Path("SHOP.PLU"), "--range", "1-6", "--changes-only", "--verify"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Nothing is known yet of the PLU and department tables")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("plu-cli: Verify after download: the register does not hold")) << run.err.toStdString();
    const QStringList lines = Lines(run.out);
    EXPECT_FALSE(lines.isEmpty());
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith("PLU 4 ")) << line.toStdString();

    const QStringList entries = Lines(OverSim({"history"}).out);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].contains("  verify  ") && entries[0].endsWith("differs"));

    // The verify read what the register really holds: the next changes-only
    // download sends PLU 4 again.
    const qsizetype before = sim.FrameLines().size();
    EXPECT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-6", "--changes-only"}).exitCode, 0);
    const QStringList packages = PluPackagesSince(before);
    ASSERT_EQ(packages.size(), 1);
    EXPECT_TRUE(packages[0].endsWith("PLU 4(lost)")) << packages[0].toStdString();

    // Service functions are recorded too, without tables.
    ASSERT_EQ(OverSim({"test"}).exitCode, 0);
    const QStringList after = Lines(OverSim({"history"}).out);
    ASSERT_EQ(after.size(), 4);
    EXPECT_TRUE(after[0].startsWith("4  ") && after[0].endsWith("  test  " + sim.LinkPath() + "  done"))
        << after[0].toStdString();
}

TEST_F(PluCliCompareTest, CompareChecksTheDocumentAsADownloadDoes)
{
    WriteShop(3);
    const CliRun departments = Cli({"compare", Path("SHOP.DEP")});
    EXPECT_EQ(departments.exitCode, 2) << departments.err.toStdString();
    EXPECT_TRUE(departments.err.contains("compare takes the document's .PLU file")) << departments.err.toStdString();

    ASSERT_TRUE(sim.Start());
    // A price that is no number and a barcode too long for the register.
    EditPlu(2, 2, "abc");
    EditPlu(3, 0, "12345678901234567");
    const CliRun refused = OverSim({"compare", Path("SHOP.PLU"), "--range", "1-3"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("plu-cli: Invalid data!")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("PLU 2, Unit price: abc")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("PLU 3, Barcode: 12345678901234567")) << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty()) << refused.out.toStdString();

    // As for a download, the chosen department table must come from a file.
    WriteShop(3);
    ASSERT_TRUE(QFile::remove(Path("SHOP.DEP")));
    const CliRun missing = OverSim({"compare", Path("SHOP.PLU"), "--range", "1-3"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("no such file (the department table was chosen)")) << missing.err.toStdString();

    ASSERT_TRUE(sim.Stop());
    EXPECT_TRUE(sim.FrameLines().isEmpty()) << sim.FrameLines().join('\n').toStdString();
    EXPECT_TRUE(Lines(OverSim({"history"}).out).isEmpty()) << "nothing reached the register";
}

TEST_F(PluCliCompareTest, AnEmptyDepartmentTableIsSentOnlyWhenNamed)
{
    ASSERT_TRUE(sim.Start({"--fill-demo"}));
    WriteShop(3);
    WriteFile(Path("SHOP.DEP"), QByteArray());

    const CliRun plain = OverSim({"download", Path("SHOP.PLU"), "--range", "1-3", "--verify"});
    EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_TRUE(plain.err.contains("The department table holds no named department: it is not sent."))
        << plain.err.toStdString();
    EXPECT_TRUE(plain.err.contains("PLU: 0 differences")) << plain.err.toStdString();
    EXPECT_FALSE(plain.err.contains("department: 0")) << "the verify covers what was sent";
    EXPECT_TRUE(sim.FrameLines().filter("(department download)").isEmpty());
    EXPECT_FALSE(sim.FrameLines().filter("(PLU download)").isEmpty());

    const qsizetype before = sim.FrameLines().size();
    const CliRun alone = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu,department", "--range", "1-3"});
    EXPECT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    EXPECT_FALSE(sim.FrameLines().mid(before).filter("(department download)").isEmpty()) << "named: it is sent";

    // Rows without a name count as empty, for the changes only too.
    WriteFile(Path("SHOP.DEP"), "\t1\t0.00\r\n");
    const CliRun changes = OverSim({"download", Path("SHOP.PLU"), "--range", "1-3", "--changes-only"});
    EXPECT_EQ(changes.exitCode, 0) << changes.err.toStdString();
    EXPECT_TRUE(changes.err.contains("it is not sent")) << changes.err.toStdString();
}

TEST_F(PluCliCompareTest, AFailedReadBackSaysTheDownloadItselfCompleted)
{
    ASSERT_TRUE(sim.Start({"--wire-time"}));
    WriteShop(12);
    const CliRun run = UnplugWhenShown({"download", Path("SHOP.PLU"), "--range", "1-12", "--verify"}, "Upload:PLU");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("plu-cli: Upload:PLU...Error!")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("plu-cli: The download itself completed; the verification could not be made."))
        << run.err.toStdString();
}

// Only changes are sent against what the register was last seen holding; a
// read-back of a sample first makes sure it still does.
TEST_F(PluCliCompareTest, ARegisterSwappedOnThePortGetsTheTablesInFull)
{
    ASSERT_TRUE(sim.Start());
    WriteShop(60);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);
    ASSERT_TRUE(sim.Stop());
    ASSERT_TRUE(sim.Start({"--fill-demo"})) << sim.ErrorString().toStdString();
    ExpectSentInFull();
}

TEST_F(PluCliCompareTest, AHistoryRestoredFromABackupIsNotTrusted)
{
    ASSERT_TRUE(sim.Start());
    WriteShop(60);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);
    ASSERT_TRUE(QFile::copy(Path("HISTORY.DB"), Path("BACKUP.DB")));
    WriteShop(60, "Item");
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);
    ASSERT_TRUE(QFile::remove(Path("HISTORY.DB")));
    ASSERT_TRUE(QFile::copy(Path("BACKUP.DB"), Path("HISTORY.DB")));
    WriteShop(60);
    ExpectSentInFull();
}

TEST_F(PluCliCompareTest, CommandLineMistakesAndAnUnwritableHistory)
{
    for (const QStringList& wrong : {QStringList{"compare"}, QStringList{"compare", "A.PLU", "--tables", "parameter"},
                                     QStringList{"upload", "A.PLU", "--verify"},
                                     QStringList{"download", "A.PLU", "--tables", ""},
                                     QStringList{"compare", "A.PLU", "--tables", ","},
                                     QStringList{"history", "show"}, QStringList{"history", "export", "1"},
                                     QStringList{"history", "show", "x"}, QStringList{"history", "drop", "1"}}) {
        const CliRun run = Cli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
    }

    // A history that cannot be written does not stop the transfer.
    ASSERT_TRUE(QDir(dir.path()).mkdir("HISTORY.DB"));
    ASSERT_TRUE(sim.Start());
    WriteShop(3);
    const CliRun run = OverSim({"download", Path("SHOP.PLU"), "--range", "1-3"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("plu-cli: warning: Transfer history: cannot")) << run.err.toStdString();
}

TEST_F(PluCliCompareTest, HistoryExportKeepsWhatTheDestinationHasAndSaysWhatTheEntryLacks)
{
    ASSERT_TRUE(sim.Start());
    WriteShop(60);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60"}).exitCode, 0);
    EditPlu(3, 1, "Changed");
    // The PLU table only: the entry holds the changed PLU and the sample read
    // back before it was sent, and no department table.
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-60", "--tables", "plu", "--changes-only"}).exitCode,
              0);

    // An existing document is replaced only when asked to, and keeps its
    // recycling table.
    WriteFile(Path("OLD.PLU"), "0\tKept\t1.00\t1\t0.000\t0\t0\t0\r\n");
    QByteArray recycling;
    for (int n = 1; n <= 100; ++n)
        recycling += QByteArray::number(n) + "\t0.25\t400000000000" + QByteArray::number(n % 10) + "\r\n";
    WriteFile(Path("OLD.RCY"), recycling);
    const CliRun refused = Cli({"history", "export", "1", Path("OLD.PLU"), "--settings", settings});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.toStdString();
    EXPECT_TRUE(ReadFile(Path("OLD.PLU")).contains("Kept"));
    const CliRun forced = Cli({"history", "export", "1", Path("OLD.PLU"), "--force", "--settings", settings});
    ASSERT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_TRUE(ReadFile(Path("OLD.PLU")).contains("\tArticle 5\t"));
    EXPECT_EQ(ReadFile(Path("OLD.RCY")), recycling);
    EXPECT_FALSE(forced.err.contains("part")) << forced.err.toStdString();

    // Only a document's name; a changes-only entry is said to hold a part.
    EXPECT_EQ(Cli({"history", "export", "1", Path("out.txt"), "--settings", settings}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(Path("out.txt")));
    const CliRun part = Cli({"history", "export", "2", Path("PART.PLU"), "--settings", settings});
    ASSERT_EQ(part.exitCode, 0) << part.err.toStdString();
    EXPECT_TRUE(part.err.contains("history entry 2 holds only part of the tables (")) << part.err.toStdString();
    EXPECT_TRUE(part.err.contains(" of the 60 PLUs 1-60, no department table)")) << part.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("PART.DEP")));
}

TEST_F(PluCliCompareTest, ADamagedOrReadOnlyHistoryIsSaidSoAndStillListed)
{
    ASSERT_TRUE(sim.Start());
    WriteShop(3);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-3"}).exitCode, 0);
    const QString db = Path("HISTORY.DB");

    // Read-only: listed as it lies, nothing made beside it.
    ASSERT_TRUE(QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const CliRun listed = Cli({"history", "--settings", settings});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(Lines(listed.out).size(), 1) << listed.out.toStdString();
    EXPECT_FALSE(QFile::exists(db + "-shm"));
    EXPECT_FALSE(QFile::exists(db + "-wal"));
    ASSERT_TRUE(QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    // Damaged: the listing fails and says what to do; a changes-only download
    // says the history cannot be read and sends everything.
    {
        QFile file(db);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        for (qint64 at = 4096; at < file.size(); at += 512) {
            file.seek(at);
            file.write(QByteArray(64, '\x5A'));
        }
    }
    const CliRun damaged = Cli({"history", "--settings", settings});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(HistoryStore::DamagedAdvice())) << damaged.err.toStdString();
    const CliRun changes = OverSim({"download", Path("SHOP.PLU"), "--range", "1-3", "--changes-only"});
    EXPECT_EQ(changes.exitCode, 0) << changes.err.toStdString();
    EXPECT_TRUE(changes.err.contains("The transfer history cannot be read")) << changes.err.toStdString();
    EXPECT_FALSE(changes.err.contains("Nothing is known yet")) << changes.err.toStdString();
}

} // namespace
