// plu-cli keeps the operator's data whole: what a full disk, a wrong argument,
// invalid cells or a partial upload must not lose or send.

#include "CliFixture.h"

#include "support/FullDisk.h"

namespace {

using PluCliIntegrityTest = CliFixture;

QByteArray PluLine(const QByteArray& barcode, const QByteArray& name, const QByteArray& price = "1.00")
{
    return barcode + "\t" + name + "\t" + price + "\t1\t0.000\t0\t0\t0\r\n";
}

TEST_F(PluCliIntegrityTest, ArgumentsItCannotUseAreRefused)
{
    const QList<std::pair<QStringList, QString>> usage{
        {{"download", Path("SHOP.DEP")}, "download takes the document's .PLU file"},
        {{"upload", Path("NEW.DEP")}, "upload takes the document's .PLU file"},
        {{"download", "a.PLU", "b.PLU"}, "download takes one document"},
        {{"download", "a.PLU", "--nonsense"}, "unknown option --nonsense"},
        {{"download", "a.PLU", "--nonsense", "x"}, "unknown option --nonsense"},
        {{"download", "a.PLU", "--new"}, "--new does not apply to download"},
        {{"font", "a.fnt", "b.fnt"}, "font takes one font file"},
    };
    for (const auto& [arguments, message] : usage) {
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("NEW.DEP")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("image.hex"));
    const CliRun folder = Cli({"program", Path("image.hex"), "--port", Path("no-port"), "--settings", settings});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(folder.err.contains("image.hex is a directory")) << folder.err.toStdString();
}

TEST_F(PluCliIntegrityTest, NothingIsSentForMissingFilesInvalidCellsOrParameters)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    WriteFile(Path("shop.plu"), PluLine("1", "Tea") + PluLine("2", "Gold", "9999999999999")
                                    + PluLine("3", "Bad\xE9", "1.00").replace("\t1\t0.000", "\t0\t0.000")
                                    + PluLine("-5", "Minus"));
    const QList<std::pair<QStringList, QString>> refused{
        // The department table was chosen, but shop.dep (any case) is missing.
        {{"download", Path("shop.plu")}, "no such file (the department table was chosen)"},
        {{"download", Path("shop.plu"), "--tables", "parameter"},
         "no such settings file"},
        {{"download", Path("shop.plu"), "--tables", "plu"}, "PLU 2, Unit price: 9999999999999"},
        {{"download", Path("shop.plu"), "--tables", "plu"}, "PLU 3, Department: 0"},
        {{"download", Path("shop.plu"), "--tables", "plu"}, "PLU 4, Barcode: -5"},
    };
    for (const auto& [arguments, message] : refused) {
        const CliRun run = OverSim(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
    }
    EXPECT_TRUE(OverSim({"download", Path("shop.plu"), "--tables", "plu"}).err.contains("plu-cli: Invalid data!"));

    WriteFile(Path("shop.plu"), PluLine("1", "Tea"));
    WriteFile(settings, "[Default]\r\nVAT3=123.45\r\nClerkPWD1=70000\r\nPrint Speed=300\r\nVAT4=500\r\nVATEnable4=0\r\n");
    const CliRun parameters = OverSim({"download", Path("shop.plu"), "--tables", "plu,parameter"});
    EXPECT_EQ(parameters.exitCode, 1);
    for (const char* key : {"VAT3 = 123.45", "ClerkPWD1 = 70000", "Print Speed = 300"})
        EXPECT_TRUE(parameters.err.contains(key)) << parameters.err.toStdString();
    EXPECT_FALSE(parameters.err.contains("VAT4")) << "a rate not in use is not sent";

    ASSERT_TRUE(sim.Stop());
    EXPECT_TRUE(sim.FrameLines().isEmpty()) << sim.FrameLines().join('\n').toStdString();
}

TEST_F(PluCliIntegrityTest, AGappedDocumentKeepsEveryPluAtItsNumber)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    QByteArray plu;
    for (int row = 1; row <= 120; ++row) {
        const bool named = row <= 20 || row >= 100;
        plu += named ? PluLine(QByteArray::number(1000 + row), "Item " + QByteArray::number(row))
                     : QByteArray("\t\t0.00\t1\t0.000\t0\t0\t0\r\n");
    }
    WriteFile(Path("SHOP.PLU"), plu);
    const CliRun down = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-120"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();

    const CliRun up = OverSim({"upload", Path("BACK.PLU"), "--tables", "plu", "--range", "1-120", "--new"});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    const QList<QByteArray> lines = Lines(ReadFile(Path("BACK.PLU")));
    ASSERT_EQ(lines.size(), 120);
    EXPECT_TRUE(lines[99].startsWith("1100\tItem 100\t")) << lines[99].constData();
    EXPECT_TRUE(lines[20].startsWith("0\t\t")) << "an unused PLU in between: " << lines[20].constData();

    // Saved and downloaded again, every PLU stays where it was.
    const CliRun again = OverSim({"download", Path("BACK.PLU"), "--tables", "plu", "--range", "1-120"});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    ASSERT_EQ(OverSim({"upload", Path("THIRD.PLU"), "--tables", "plu", "--range", "1-120", "--new"}).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("THIRD.PLU")), ReadFile(Path("BACK.PLU")));
}

TEST_F(PluCliIntegrityTest, AnUploadKeepsWhatItWasNotAskedFor)
{
    ASSERT_TRUE(sim.Start({"--fill-demo"})) << sim.ErrorString().toStdString();
    const QByteArray plu = PluLine("11", "Mine 1") + PluLine("12", "Mine 2") + PluLine("13", "Mine 3")
                           + PluLine("14", "Mine 4") + PluLine("15", "Mine 5");
    const QByteArray dep = "My department\t1\t0.00\r\n";
    const QByteArray rcy = QByteArray("7\t0.25\t123\r\n") + QByteArray("\t0.00\t0\r\n").repeated(99);
    WriteFile(Path("SHOP.PLU"), plu);
    WriteFile(Path("SHOP.DEP"), dep);
    WriteFile(Path("SHOP.RCY"), rcy);

    const CliRun parameters = OverSim({"upload", Path("SHOP.PLU"), "--tables", "parameter"});
    ASSERT_EQ(parameters.exitCode, 0) << parameters.err.toStdString();
    EXPECT_EQ(ReadFile(Path("SHOP.PLU")), plu);
    EXPECT_EQ(ReadFile(Path("SHOP.DEP")), dep);
    EXPECT_EQ(ReadFile(Path("SHOP.RCY")), rcy);
    const QByteArray config = ReadFile(settings);
    EXPECT_TRUE(config.contains("Print Speed=5")) << config.constData();

    const CliRun range = OverSim({"upload", Path("SHOP.PLU"), "--tables", "plu", "--range", "3-4"});
    ASSERT_EQ(range.exitCode, 0) << range.err.toStdString();
    const QList<QByteArray> lines = Lines(ReadFile(Path("SHOP.PLU")));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[1], PluLine("12", "Mine 2").chopped(1));
    EXPECT_FALSE(lines[2].contains("Mine")) << lines[2].constData();
    EXPECT_EQ(lines[4], PluLine("15", "Mine 5").chopped(1));
    EXPECT_EQ(ReadFile(Path("SHOP.DEP")), dep);
    EXPECT_EQ(ReadFile(Path("SHOP.RCY")), rcy);

    // --new starts from an empty document, as the window's upload does.
    ASSERT_EQ(OverSim({"upload", Path("SHOP.PLU"), "--tables", "plu", "--range", "3-4", "--new"}).exitCode, 0);
    EXPECT_EQ(Lines(ReadFile(Path("SHOP.PLU"))).size(), 4);
    EXPECT_EQ(ReadFile(Path("SHOP.RCY")), QByteArray("\t0.00\t0\r\n").repeated(100));
}

TEST_F(PluCliIntegrityTest, RegisterNamesWithControlCharactersGiveAWellFormedDocument)
{
    WriteFile(Path("state.json"),
              R"({"format": "ecr-sim-state", "version": 1, "price_decimals": 2, "report_state": 0,
                  "plus": [{"number": 1, "barcode": "5", "name": "Tab\there", "price": 100, "department": 1},
                           {"number": 2, "barcode": "6", "name": "Two\r\nlines", "price": 200, "department": 1}],
                  "departments": [{"number": 1, "name": "Dep\tone", "tax": 1, "price": 0}]})");
    ASSERT_TRUE(sim.Start({"--state", Path("state.json")})) << sim.ErrorString().toStdString();
    const CliRun up = OverSim({"upload", Path("NAMES.PLU"), "--range", "1-2"});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    const QByteArray plu = ReadFile(Path("NAMES.PLU"));
    EXPECT_EQ(plu, PluLine("5", "Tab here") + PluLine("6", "Two  lines", "2.00"));
    EXPECT_TRUE(ReadFile(Path("NAMES.DEP")).startsWith("Dep one\t1\t0.00\r\n"));
}

TEST_F(PluCliIntegrityTest, FilesWithNothingToSendAreRefused)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    WriteFile(Path("empty.fnt"), QByteArray());
    WriteFile(Path("short.hex"), QByteArray(4 * 256, '\x11'));
    const CliRun font = OverSim({"font", Path("empty.fnt")});
    EXPECT_EQ(font.exitCode, 1);
    EXPECT_TRUE(font.err.contains("Not a valid file!")) << font.err.toStdString();
    const CliRun program = OverSim({"program", Path("short.hex"), "--first-block", "4"});
    EXPECT_EQ(program.exitCode, 1);
    EXPECT_TRUE(program.err.contains("none at or after block 4")) << program.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    EXPECT_TRUE(sim.FrameLines().isEmpty()) << sim.FrameLines().join('\n').toStdString();
}

TEST_F(PluCliIntegrityTest, AFullDiskFailsAndTheOldDocumentSurvives)
{
    FullDisk disk;
    ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
    ASSERT_TRUE(sim.Start({"--fill-demo"})) << sim.ErrorString().toStdString();
    const QByteArray plu = PluLine("11", "Mine");
    const QByteArray dep = "My department\t1\t0.00\r\n";
    WriteFile(disk.Path("SHOP.PLU"), plu);
    WriteFile(disk.Path("SHOP.DEP"), dep);
    disk.Fill();
    const CliRun run = OverSim({"upload", disk.Path("SHOP.PLU"), "--range", "1-8"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(disk.Reason())) << run.err.toStdString();
    EXPECT_EQ(ReadFile(disk.Path("SHOP.PLU")), plu);
    EXPECT_EQ(ReadFile(disk.Path("SHOP.DEP")), dep);
}

} // namespace
