#include "CliFixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using PluCliExchange = CliFixture;

TEST_F(PluCliExchange, ImportCreatesTheDocumentAndExportImportRoundTrips)
{
    WriteFile(Path("prices.csv"), "NO.;Name;Unit price;Barcode\r\n7;Tea;2.5;00123\r\n8;\"Milk; 1 l\";1;\r\n");
    const CliRun created = Cli({"import", "SHOP.PLU", "prices.csv"});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    EXPECT_EQ(created.out, QStringLiteral("2 rows and 5 cells change.\n"));
    // Lines 7 and 8 of the file.
    const QByteArray file = ReadFile(Path("SHOP.PLU"));
    EXPECT_EQ(file.count("\r\n"), 8);
    EXPECT_TRUE(file.endsWith("123\tTea\t2.50\t1\t0.000\t0\t0\t0\r\n\tMilk; 1 l\t1.00\t1\t0.000\t0\t0\t0\r\n"));
    WriteFile(Path("dept.csv"), "NO.,Name,Tax\n3,Fruit,2\n");
    ASSERT_EQ(Cli({"import", "SHOP.PLU", "dept.csv", "--table", "department"}).exitCode, 0);

    for (const QString& sheet : {QStringLiteral("out.xlsx"), QStringLiteral("out.csv")}) {
        for (const QString& table : {QStringLiteral("plu"), QStringLiteral("department")}) {
            const CliRun exported = Cli({"export", "SHOP.PLU", sheet, "--table=" + table});
            ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
            const CliRun imported = Cli({"import", "NEW.PLU", sheet, "--table", table});
            ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        }
        EXPECT_EQ(ReadFile(Path("NEW.PLU")), ReadFile(Path("SHOP.PLU")));
        EXPECT_EQ(ReadFile(Path("NEW.DEP")), ReadFile(Path("SHOP.DEP")));
        ASSERT_TRUE(QFile::remove(Path("NEW.PLU")));
    }
}

TEST_F(PluCliExchange, RefusedSheetsAndDryRunsLeaveTheDocumentAlone)
{
    WriteFile(Path("one.csv"), "NO.,Name,Unit price\n1,Bread,1.20\n");
    ASSERT_EQ(Cli({"import", "SHOP.PLU", "one.csv"}).exitCode, 0);
    const QByteArray before = ReadFile(Path("SHOP.PLU"));

    WriteFile(Path("bad.csv"), "NO.,Unit price\n1,2.00\n2,abc\n");
    const CliRun refused = Cli({"import", "SHOP.PLU", "bad.csv"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Line 3, Unit price:")) << refused.err.toStdString();

    WriteFile(Path("price.csv"), "NO.,Unit price\n1,2\n");
    const CliRun dry = Cli({"import", "SHOP.PLU", "price.csv", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_EQ(dry.out, QStringLiteral("PLU 1, Unit price: 1.20 -> 2.00\n1 row and 1 cell change.\n"));
    EXPECT_EQ(ReadFile(Path("SHOP.PLU")), before);

    EXPECT_EQ(Cli({"export", "MISSING.PLU", "out.csv"}).exitCode, 1);
    EXPECT_EQ(Cli({"export", "SHOP.PLU", "out.xlsx", "--dry-run"}).exitCode, 2);
    EXPECT_EQ(Cli({"export", "SHOP.PLU", "out.xlsx", "--delimiter", ";"}).exitCode, 2);
    EXPECT_EQ(Cli({"import", "SHOP.PLU", "prices.txt"}).exitCode, 2);
    EXPECT_EQ(Cli({"import", "price.csv", "SHOP.PLU"}).exitCode, 2);
    EXPECT_EQ(Cli({"import", "SHOP.PLU", "price.csv", "--table", "recycling"}).exitCode, 2);
}

TEST_F(PluCliExchange, ImportTellsTheDocumentsWarningsAndWritesOnlyTheTablesItWasGiven)
{
    // A new document from a PLU sheet gets no department file: an empty one
    // would wipe the register's departments when sent.
    WriteFile(Path("one.csv"), "NO.,Name,Unit price\n1,Bread,1.20\n");
    const CliRun created = Cli({"import", "NEW.PLU", "one.csv"});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    EXPECT_TRUE(QFile::exists(Path("NEW.PLU")));
    EXPECT_FALSE(QFile::exists(Path("NEW.DEP")));

    // Line 3001 of a document cannot be kept: the import says so, as a
    // download does, before the save drops it.
    WriteFile(Path("LONG.PLU"), QByteArray("0\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n").repeated(3001));
    WriteFile(Path("LONG.DEP"), "Dairy\t1\t0.00\r\n");
    const CliRun long_ = Cli({"import", "LONG.PLU", "one.csv"});
    EXPECT_EQ(long_.exitCode, 0) << long_.err.toStdString();
    EXPECT_TRUE(long_.err.contains("plu-cli: warning: ") && long_.err.contains("line 3000"))
        << long_.err.toStdString();
}

TEST_F(PluCliExchange, ASecondCommandOnALockedDocumentWaitsThenNamesTheHolder)
{
    WriteFile(Path("one.csv"), "NO.,Name,Unit price\n1,Bread,1.20\n");
    ASSERT_EQ(Cli({"import", "SHOP.PLU", "one.csv"}).exitCode, 0);
    const QByteArray before = ReadFile(Path("SHOP.PLU"));
    WriteFile(Path("two.csv"), "NO.,Name\n2,Milk\n");
    {
        // Another command holds the document meanwhile.
        const int held = ::open(QFile::encodeName(Path("SHOP.PLU")).constData(), O_RDONLY);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        const CliRun waited = Cli({"import", "SHOP.PLU", "two.csv"});
        ::close(held);
        EXPECT_EQ(waited.exitCode, 1);
        EXPECT_TRUE(waited.err.contains(QStringLiteral("in use by")) &&
                    waited.err.contains(QStringLiteral("(process %1)").arg(::getpid())))
            << waited.err.toStdString();
        EXPECT_EQ(ReadFile(Path("SHOP.PLU")), before);
    }

    // Once the holder is done, the same command goes through.
    const CliRun after = Cli({"import", "SHOP.PLU", "two.csv"});
    EXPECT_EQ(after.exitCode, 0) << after.err.toStdString();
    EXPECT_TRUE(ReadFile(Path("SHOP.PLU")).contains("\tMilk\t"));
}

} // namespace
