// plu-cli with files and folders named in Latin-1 bytes under a UTF-8 locale:
// the files are read and written under exactly the names given, and nothing
// else is left in their folder.

#include "CliFixture.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kFolder = "L\xC4" "DEN";   // "LÄDEN"
const QByteArray kDocument = "K\xC4" "SE";  // "KÄSE"

class PluCliRawNameTest : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_EQ(::mkdir(Raw(kFolder).constData(), 0777), 0);
    }

    // The temporary folder cannot name what it holds in Latin-1.
    void TearDown() override
    {
        ::nftw(QFile::encodeName(dir.path()).constData(),
               [](const char* path, const struct stat*, int, FTW*) { return std::remove(path); }, 16,
               FTW_DEPTH | FTW_PHYS);
        CliFixture::TearDown();
    }

    QByteArray Raw(const QByteArray& name) const { return QFile::encodeName(dir.path()) + '/' + name; }

    // The arguments reach plu-cli as these bytes: the shell's printf makes them.
    CliRun RawCli(const QList<QByteArray>& arguments)
    {
        QString script = QStringLiteral("exec \"$0\"");
        for (const QByteArray& argument : arguments) {
            QString word;
            for (const char byte : argument) {
                if (QChar::isLetterOrNumber(uchar(byte)) && uchar(byte) < 0x80)
                    word += QLatin1Char(byte);
                else
                    word += QStringLiteral("\\%1").arg(uchar(byte), 3, 8, QLatin1Char('0'));
            }
            script += QStringLiteral(" \"$(printf '%1')\"").arg(word);
        }
        QProcess process;
        process.setProgram(QStringLiteral("/bin/sh"));
        process.setArguments({QStringLiteral("-c"), script, CliProgram()});
        process.setWorkingDirectory(dir.path());
        process.start();
        return Collect(process);
    }

    CliRun RawOverSim(const QList<QByteArray>& arguments, const QByteArray& settingsFile = {})
    {
        QList<QByteArray> options{"--port", QFile::encodeName(sim.LinkPath()), "--settings",
                                  settingsFile.isEmpty() ? QFile::encodeName(settings) : settingsFile};
        for (const QString& option : AnswerWaits())
            options << option.toLatin1();
        return RawCli(arguments + options);
    }

    static void WriteRaw(const QByteArray& path, const QByteArray& bytes)
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << path.constData();
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }

    static QByteArray ReadRaw(const QByteArray& path)
    {
        QByteArray bytes;
        const int fd = ::open(path.constData(), O_RDONLY);
        if (fd < 0)
            return "(missing)";
        char buffer[4096];
        for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, got);
        ::close(fd);
        return bytes;
    }

    // The names in a folder, sorted.
    static QList<QByteArray> Names(const QByteArray& folder)
    {
        QList<QByteArray> names;
        if (DIR* entries = ::opendir(folder.constData())) {
            while (const dirent* entry = ::readdir(entries)) {
                const QByteArray name(entry->d_name);
                if (name != "." && name != "..")
                    names << name;
            }
            ::closedir(entries);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(PluCliRawNameTest, UploadIntoALatin1DocumentAndSettingsFileInALatin1Folder)
{
    ASSERT_TRUE(sim.Start({"--fill-demo"})) << sim.ErrorString().toStdString();
    const QByteArray folder = Raw(kFolder);
    const QByteArray settingsFile = folder + "/S\xC4.CFG";
    WriteRaw(settingsFile, "[Comm]\r\nPort=2\r\n");
    const QList<QByteArray> upload{"upload", folder + '/' + kDocument + ".PLU", "--tables", "plu,department,parameter",
                                   "--range", "1-6"};
    const CliRun raw = RawOverSim(upload, settingsFile);
    ASSERT_EQ(raw.exitCode, 0) << raw.err.toStdString();

    // The same upload under ordinary names gives the same bytes.
    const CliRun plain = OverSim({"upload", Path("SHOP.PLU"), "--tables", "plu,department,parameter", "--range", "1-6"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    for (const char* extension : {".PLU", ".DEP", ".RCY"}) {
        EXPECT_EQ(ReadRaw(folder + '/' + kDocument + extension), ReadFile(Path(QStringLiteral("SHOP") + extension)))
            << extension;
    }
    const QByteArray parameters = ReadRaw(settingsFile);
    EXPECT_TRUE(parameters.contains("Port=2")) << parameters.constData();
    EXPECT_EQ(parameters.right(parameters.size() - parameters.indexOf("[Default]")),
              ReadFile(settings).right(ReadFile(settings).size() - ReadFile(settings).indexOf("[Default]")));

    // The trace and the history lie beside the settings file; nothing else.
    EXPECT_EQ(Names(folder), (QList<QByteArray>{"DEBUG.LOG", "HISTORY.DB", "K\xC4SE.DEP", "K\xC4SE.PLU",
                                                "K\xC4SE.RCY", "S\xC4.CFG"}));
}

TEST_F(PluCliRawNameTest, DownloadFromALatin1DocumentSendsItsRows)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    const QByteArray plu = "2900000056789\tMilk 1l\t1.19\t1\t48.000\t0\t0\t0\r\n"
                           "0\t\xC4pfel 1kg\t2.49\t2\t-1.500\t0\t0\t0\r\n";
    const QByteArray dep = "Dairy\t1\t0.50\r\nFruit\t2\t0.25\r\n";
    const QByteArray folder = Raw(kFolder);
    WriteRaw(folder + '/' + kDocument + ".PLU", plu);
    WriteRaw(folder + '/' + kDocument + ".dep", dep);

    const CliRun down = RawOverSim({"download", folder + '/' + kDocument + ".PLU", "--range", "1-2"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    EXPECT_EQ(Names(folder), (QList<QByteArray>{"K\xC4SE.PLU", "K\xC4SE.dep"}));

    const CliRun back = OverSim({"upload", Path("BACK.PLU"), "--range", "1-2"});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_EQ(ReadFile(Path("BACK.PLU")), plu);
    EXPECT_TRUE(ReadFile(Path("BACK.DEP")).startsWith(dep));

    // A refusal names the file readably.
    const CliRun refused = RawCli({"download", folder + '/' + kDocument + ".dep"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("L\u00C4DEN/K\u00C4SE.dep"))) << refused.err.toStdString();
}

TEST_F(PluCliRawNameTest, ProgramImageAndDumpListingWithLatin1Names)
{
    QByteArray image(4 * 256, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + 1);
    WriteRaw(Raw("\xC4.hex"), image);
    ASSERT_TRUE(sim.Start({"--save-program", Path("received.bin")})) << sim.ErrorString().toStdString();
    const CliRun program = RawOverSim({"program", "\xC4.hex", "--first-block", "0"});
    ASSERT_EQ(program.exitCode, 0) << program.err.toStdString();

    const QByteArray listing = Raw(kFolder) + "/\xC4.TXT";
    const CliRun dump = RawOverSim({"dump", "--base", "1ff", "--count", "2", listing});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    EXPECT_EQ(dump.out, dir.path() + QStringLiteral("/L\u00C4DEN/\u00C4.TXT\n"));
    EXPECT_EQ(Lines(ReadRaw(listing)).size(), 32);
    EXPECT_EQ(Names(Raw(kFolder)), QList<QByteArray>{"\xC4.TXT"});

    ASSERT_TRUE(sim.Stop());
    EXPECT_EQ(ReadFile(Path("received.bin")), image);
}

// A name is worked on as itself, never through a stand-in: killed outright in
// the middle of an upload, plu-cli leaves the document's folder as it was.
TEST_F(PluCliRawNameTest, AKilledUploadLeavesNothingBesideTheDocument)
{
    const QByteArray folder = Raw(kFolder);
    const QByteArray document = folder + '/' + kDocument + ".PLU";
    WriteRaw(document, "0\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
    WriteRaw(folder + '/' + kDocument + ".DEP", QByteArray("Dairy\t1\t0.00\r\n").repeated(9));
    WriteRaw(folder + '/' + kDocument + ".RCY", QByteArray("0\t0.00\t0\r\n").repeated(100));
    const QList<QByteArray> names = Names(folder);
    ASSERT_TRUE(sim.Start({"--fill-demo", "--fail-after", "12"})) << sim.ErrorString().toStdString();

    QString script = QStringLiteral("exec \"$0\" upload \"$(printf 'L\\304DEN/K\\304SE.PLU')\" --port \"$1\" "
                                    "--settings \"$2\" --retry-interval 60000");
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), script, CliProgram(), sim.LinkPath(), settings});
    process.setWorkingDirectory(dir.path());
    const CliRun killed = SignalWhenShown(process, "package 1 of", SIGKILL);
    EXPECT_EQ(killed.exitCode, -1) << killed.err.toStdString();

    EXPECT_EQ(Names(folder), names);
    EXPECT_EQ(ReadRaw(document), "0\tTea\t1.00\t1\t0.000\t0\t0\t0\r\n");
}

TEST_F(PluCliRawNameTest, SheetsWithLatin1NamesAreImportedAndExported)
{
    const QByteArray folder = Raw(kFolder);
    WriteRaw(folder + "/PR\xC4IS.csv", "NO.,Name,Unit price\n1,Bread,1.20\n");
    const CliRun imported = RawCli({"import", folder + '/' + kDocument + ".PLU", folder + "/PR\xC4IS.csv"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const CliRun exported = RawCli({"export", folder + '/' + kDocument + ".PLU", folder + "/\xC4.xlsx"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const CliRun back = RawCli({"import", folder + "/N\xC4U.PLU", folder + "/\xC4.xlsx"});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_EQ(ReadRaw(folder + "/N\xC4U.PLU"), ReadRaw(folder + '/' + kDocument + ".PLU"));
    EXPECT_EQ(Names(folder), (QList<QByteArray>{"K\xC4SE.PLU", "K\xC4SE.RCY", "N\xC4U.PLU", "N\xC4U.RCY",
                                                "PR\xC4IS.csv", "\xC4.xlsx"}));
}

} // namespace
