// plu-cli's service commands (test, dump, program, font) as a user runs them,
// against the register simulator on a pseudo-terminal.

#include "CliFixture.h"

namespace {

using PluCliServiceTest = CliFixture;

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256 + 1) & 0xFF);
    return bytes;
}

TEST_F(PluCliServiceTest, ConnectionTestPassesWithARegisterAndFailsWithoutOne)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    const CliRun ok = OverSim({"test"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.err.contains("Connect...\nDisconnect...")) << ok.err.toStdString();
    EXPECT_TRUE(QFile::exists(Path("DEBUG.LOG")));
    ASSERT_TRUE(sim.Stop());

    // A register that stays silent.
    ASSERT_TRUE(sim.Start({"--fail-after", "0"})) << sim.ErrorString().toStdString();
    const CliRun silent = OverSim({"test"});
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_TRUE(silent.err.contains("plu-cli: Connect...Error!")) << silent.err.toStdString();
    EXPECT_FALSE(silent.err.contains("Disconnect")) << silent.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    EXPECT_EQ(sim.CountFrames("(log-out)"), 0) << "no log-out after a failed log-in";
}

TEST_F(PluCliServiceTest, DumpOfARunLeavesItsListingAtOut)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    WriteFile(Path("LIST.TXT"), "an older listing");
    const CliRun run = OverSim({"dump", "--base", "1ff", "--count", "2", Path("LIST.TXT")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, Path("LIST.TXT") + "\n");
    EXPECT_TRUE(run.err.contains("Receive Data...")) << run.err.toStdString();

    const QList<QByteArray> lines = Lines(ReadFile(Path("LIST.TXT")));
    ASSERT_EQ(lines.size(), 32);
    EXPECT_TRUE(lines.first().startsWith("0001ff00  00 00 ")) << lines.first().constData();
    EXPECT_TRUE(lines.last().startsWith("000200f0  ")) << lines.last().constData();
    for (const QByteArray& line : lines)
        ASSERT_EQ(line, line.left(74) + "\r") << "74 characters, then CR LF";
    EXPECT_FALSE(QFile::exists(Path("TEMP.BIN"))) << "the work file is moved, not copied";
}

TEST_F(PluCliServiceTest, DumpOfAWholeAreaAndAFailedDump)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    const CliRun ram = OverSim({"dump", "ram", Path("RAM.TXT")});
    ASSERT_EQ(ram.exitCode, 0) << ram.err.toStdString();
    const QList<QByteArray> lines = Lines(ReadFile(Path("RAM.TXT")));
    ASSERT_EQ(lines.size(), 8192);
    EXPECT_TRUE(lines.first().startsWith("00000000  ")) << lines.first().constData();
    EXPECT_TRUE(lines[16].startsWith("00000100  52 41 4d ")) << lines[16].constData();
    EXPECT_TRUE(lines.last().startsWith("0001fff0  ")) << lines.last().constData();
    ASSERT_TRUE(sim.Stop());

    // Log-in, its status request and three blocks are answered, then nothing.
    ASSERT_TRUE(sim.Start({"--fail-after", "5"})) << sim.ErrorString().toStdString();
    const CliRun failed = OverSim({"dump", "ram", Path("FAILED.TXT")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("plu-cli: Receive Data...Error!")) << failed.err.toStdString();
    EXPECT_TRUE(failed.out.isEmpty()) << failed.out.toStdString();
    EXPECT_FALSE(QFile::exists(Path("FAILED.TXT")));
    EXPECT_EQ(ReadFile(Path("RAM_TEMP.BIN")).size(), 3 * 256) << "the work file keeps the blocks received";

    // An earlier listing at OUT is not replaced by part of a dump.
    ASSERT_TRUE(sim.Stop());
    ASSERT_TRUE(sim.Start({"--fail-after", "5"})) << sim.ErrorString().toStdString();
    EXPECT_EQ(OverSim({"dump", "ram", Path("RAM.TXT")}).exitCode, 1);
    EXPECT_EQ(Lines(ReadFile(Path("RAM.TXT"))).size(), 8192);
}

TEST_F(PluCliServiceTest, ServiceUsageErrors)
{
    const QString out = Path("OUT.TXT");
    const QList<std::pair<QStringList, QString>> cases{
        {{"dump", "--base", "10", "--count", "0", out}, "--count takes 1 block or more"},
        {{"dump", "--base", "10", "--count", "many", out}, "--count takes a number"},
        {{"dump", "--base", "ffff", "--count", "2", out}, "run past the last block FFFF"},
        {{"dump", "--base", "10000", "--count", "1", out}, "run past the last block FFFF"},
        {{"dump", "--base", "0x10", "--count", "1", out}, "--base takes"},
        {{"dump", "--base", "10", out}, "needs both --base HEX and --count N"},
        {{"dump", "ram", "--base", "0", "--count", "1", out}, "not both"},
        {{"dump", "disk", out}, "rom, ram or fiscal"},
        {{"dump", "ram"}, "the listing file"},
        {{"test", "x"}, "test takes no file"},
        {{"test", "--range", "1-2"}, "--range does not apply to test"},
        {{"program"}, "give program a program image"},
        {{"program", "a.hex", "--first-block", "-1"}, "--first-block takes 0 to 65535"},
        {{"font", "a.fnt", "--first-block", "3"}, "--first-block does not apply to font"},
        {{"font", "a.fnt", "b.fnt"}, "font takes one font file"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
    }
    EXPECT_TRUE(Cli({"--help"}).out.contains("plu-cli dump --base HEX --count N OUT"));

    // The last block alone is a valid run: this fails only at the port.
    const CliRun last =
        Cli({"dump", "--base", "FFFF", "--count", "1", out, "--port", Path("no-port"), "--settings", settings});
    EXPECT_EQ(last.exitCode, 1);
    EXPECT_TRUE(last.err.contains("Error opening ")) << last.err.toStdString();
}

TEST_F(PluCliServiceTest, ProgramImageFromTheSettingsOrTheCommandLineBlock)
{
    const QByteArray image = Pattern(8 * 256);
    WriteFile(Path("image.hex"), image);
    WriteFile(settings, "[Address]\r\nUpdate=3\r\n");

    ASSERT_TRUE(sim.Start({"--save-program", Path("from-settings.bin")})) << sim.ErrorString().toStdString();
    const CliRun fromSettings = OverSim({"program", "image.hex"});
    ASSERT_EQ(fromSettings.exitCode, 0) << fromSettings.err.toStdString();
    EXPECT_TRUE(fromSettings.err.contains("Download Program...")) << fromSettings.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    const QByteArray received = ReadFile(Path("from-settings.bin"));
    ASSERT_EQ(received.size(), image.size());
    EXPECT_EQ(received.left(3 * 256), QByteArray(3 * 256, '\0')) << "blocks 0..2 stay out";
    EXPECT_EQ(received.mid(3 * 256), image.mid(3 * 256));

    ASSERT_TRUE(sim.Start({"--save-program", Path("from-option.bin")})) << sim.ErrorString().toStdString();
    const CliRun fromOption = OverSim({"program", Path("image.hex"), "--first-block", "6"});
    ASSERT_EQ(fromOption.exitCode, 0) << fromOption.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    const QByteArray second = ReadFile(Path("from-option.bin"));
    ASSERT_EQ(second.size(), image.size());
    EXPECT_EQ(second.left(6 * 256), QByteArray(6 * 256, '\0'));
    EXPECT_EQ(second.mid(6 * 256), image.mid(6 * 256));
}

TEST_F(PluCliServiceTest, FontIsReceivedWhole)
{
    const QByteArray font = Pattern(600);
    WriteFile(Path("big.fnt"), font);
    ASSERT_TRUE(sim.Start({"--save-font", Path("received.fnt")})) << sim.ErrorString().toStdString();
    const CliRun run = OverSim({"font", Path("big.fnt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Download font...")) << run.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    EXPECT_EQ(ReadFile(Path("received.fnt")).left(600), font);
    EXPECT_EQ(SimProcess::Distinct(sim.FrameLines().filter("cmd 2 ")).size(), 3);
}

// Ctrl+C ends a program load as the window's Cancel does: without the end
// marker, so no loader can take the blocks received for a whole image.
TEST_F(PluCliServiceTest, CtrlCEndsAProgramLoadWithoutItsEndMarker)
{
    WriteFile(Path("image.hex"), Pattern(65536));
    ASSERT_TRUE(sim.Start({"--wire-time"})) << sim.ErrorString().toStdString();
    const CliRun run = InterruptWhenShown({"program", Path("image.hex")}, "package 24 of");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("plu-cli: Cancelled")) << run.err.toStdString();
    ASSERT_TRUE(sim.Stop());
    EXPECT_GE(sim.CountFrames("block 30"), 1) << "blocks were sent before Ctrl+C";
    EXPECT_EQ(sim.CountFrames("end marker"), 0);
}

TEST_F(PluCliServiceTest, FilesThatCannotBeSentAreRefusedBeforeThePort)
{
    WriteFile(Path("empty.hex"), QByteArray());
    WriteFile(Path("odd.hex"), Pattern(1000));
    for (const QString& image : {Path("empty.hex"), Path("odd.hex")}) {
        const CliRun run = Cli({"program", image, "--port", Path("no-port"), "--settings", settings});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("plu-cli: Not a valid file!")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("Error opening")) << run.err.toStdString();
    }
    for (const QString& command : {QStringLiteral("program"), QStringLiteral("font")}) {
        const CliRun missing = Cli({command, Path("none"), "--port", Path("no-port"), "--settings", settings});
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_TRUE(missing.err.contains("no such file")) << missing.err.toStdString();
    }
}

} // namespace

// The register's cable is pulled during the log-in's hunt through the rates,
// during a package and during the wake-up patterns of a program download:
// each command ends at once with its step's error and exit status 1.
TEST_F(PluCliServiceTest, APulledCableEndsTheCommandWithItsStepError)
{
    ASSERT_TRUE(sim.Start({"--drop", "1000"})) << sim.ErrorString().toStdString();
    const CliRun logIn = UnplugWhenShown({"test"}, "Connect...", 2000);
    EXPECT_EQ(logIn.exitCode, 1);
    EXPECT_TRUE(logIn.err.contains("plu-cli: Connect...Error!")) << logIn.err.toStdString();
    EXPECT_FALSE(ReadFile(Path("DEBUG.LOG")).contains("Retry:20")) << "the hunt ended with the line";

    ASSERT_TRUE(sim.Start({"--fill-demo", "--wire-time"})) << sim.ErrorString().toStdString();
    const CliRun package = UnplugWhenShown({"dump", "ram", Path("RAM.TXT")}, "package 1 of", 1000);
    EXPECT_EQ(package.exitCode, 1);
    EXPECT_TRUE(package.err.contains("plu-cli: Receive Data...Error!")) << package.err.toStdString();

    WriteFile(Path("image.hex"), Pattern(4 * 256));
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    const CliRun pattern = UnplugWhenShown({"program", Path("image.hex"), "--first-block", "0"}, "Wait 1 second...", 300);
    EXPECT_EQ(pattern.exitCode, 1);
    EXPECT_TRUE(pattern.err.contains("plu-cli: Wait 1 second...Error!")) << pattern.err.toStdString();
}
