#include "config/SettingsFile.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

// Failures show file contents as escaped text rather than lists of bytes.
void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toPercentEncoding(" []=;#\"").toStdString() << '"';
}

namespace {

class SettingsFileTest : public testing::Test
{
protected:
    QString Path() const { return m_dir.filePath(QStringLiteral("SYSTEM.CFG")); }

    void Put(const QByteArray& bytes) const
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Content() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs a write that must be refused and returns its message.
    QString RefusedWriteMessage()
    {
        SettingsFile settings(Path());
        try {
            settings.WriteInteger(QStringLiteral("Comm"), QStringLiteral("Port"), 4);
        } catch (const SettingsWriteError& error) {
            EXPECT_EQ(QString::fromStdString(error.what()), error.Message());
            return error.Message();
        }
        ADD_FAILURE() << "write was not refused";
        return {};
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsFileTest, MissingFileReadsDefaultsAndIsCreatedAtTheFirstWrite)
{
    SettingsFile settings(Path());
    EXPECT_EQ(settings.ReadText("Version", "CompanyName", "none"), "none");
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), 2);
    EXPECT_TRUE(settings.ReadFlag("Default", "VATEnable1", true));
    EXPECT_FALSE(QFile::exists(Path()));

    settings.WriteInteger("Comm", "Port", 3);
    settings.WriteFlag("Comm", "Open", false);
    settings.WriteText("Default", "Header1", "SHOP");
    EXPECT_EQ(Content(), "[Comm]\r\nPort=3\r\nOpen=0\r\n[Default]\r\nHeader1=SHOP\r\n");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"SYSTEM.CFG"});
}

TEST_F(SettingsFileTest, NamesIgnoreCaseAndValuesAreTrimmed)
{
    Put("[comm]\r\n  PORT  =   0x3  \r\n\tbaudrate\t=\t4\t\r\n"
        "[DEFAULT]\r\nheader1 =  Fresh  Bread \r\nTail1=a=b\r\nTail2=\r\n");
    const SettingsFile settings(Path());
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), 3);
    EXPECT_EQ(settings.ReadInteger("COMM", "BaudRate", 0), 4);
    EXPECT_EQ(settings.ReadText("Default", "Header1"), "Fresh  Bread");
    EXPECT_EQ(settings.ReadText("Default", "Tail1"), "a=b");
    EXPECT_EQ(settings.ReadText("Default", "Tail2", "x"), "");
    EXPECT_EQ(settings.ReadText("Default", "Port", "none"), "none");
}

TEST_F(SettingsFileTest, IntegersAreDecimalOrHexAndFallBackToTheDefault)
{
    const struct
    {
        const char* text;
        qint32 expected;
    } cases[] = {
        {"0x3", 3},
        {"0X1f", 31},
        {"0x", 2},
        {"abc", 2},
        {"-1", -1},
        {"+7", 7},
        {"007", 7},
        {"12abc", 2},
        {"1 2", 2},
        {"", 2},
        {"-", 2},
        {"0xg1", 2},
        {"2147483647", 2147483647},
        {"2147483648", 2},
        {"-2147483648", std::numeric_limits<qint32>::min()},
        {"-2147483649", 2},
        {"0xFFFFFFFF", -1},
        {"0x100000000", 2},
        {"99999999999999999999", 2},
    };
    const SettingsFile settings(Path());
    for (const auto& c : cases) {
        Put(QByteArray("[Comm]\r\nPort=") + c.text + "\r\n");
        EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), c.expected) << c.text;
    }
}

TEST_F(SettingsFileTest, FlagsAreNonZeroIntegersWithTheirDefaultForOtherText)
{
    Put("[Default]\r\nFlag03=yes\r\nVATEnable1=yes\r\nFlag00=2\r\nFlag01=0\r\nFlag02=0x0\r\n");
    const SettingsFile settings(Path());
    EXPECT_FALSE(settings.ReadFlag("Default", "Flag03", false));
    EXPECT_TRUE(settings.ReadFlag("Default", "VATEnable1", true));
    EXPECT_TRUE(settings.ReadFlag("Default", "Flag00", false));
    EXPECT_FALSE(settings.ReadFlag("Default", "Flag01", true));
    EXPECT_FALSE(settings.ReadFlag("Default", "Flag02", true));
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow)
{
    const SettingsFile reader(Path());
    EXPECT_EQ(reader.ReadInteger("Comm", "Port", 2), 2);
    SettingsFile(Path()).WriteInteger("Comm", "Port", 1);
    EXPECT_EQ(reader.ReadInteger("Comm", "Port", 2), 1);
    Put("[Comm]\r\nPort=4\r\n");
    EXPECT_EQ(reader.ReadInteger("Comm", "Port", 2), 4);
}

TEST_F(SettingsFileTest, UpdateInPlaceKeepsEveryOtherByte)
{
    const QByteArray before = "; written by hand\r\n"
                              "[Comm]\r\n"
                              "  port = 2 \r\n"
                              "BaudRate=0\r\n"
                              "\r\n"
                              "# unknown section\r\n"
                              "[Extra]\r\n"
                              "Colour = blue  \r\n"
                              "not a key line\r\n";
    Put(before);
    SettingsFile settings(Path());
    settings.WriteInteger("COMM", "Port", -5);
    QByteArray expected = before;
    expected.replace("  port = 2 \r\n", "port=-5\r\n");
    EXPECT_EQ(Content(), expected);
}

TEST_F(SettingsFileTest, NewKeyGoesAfterTheLastKeyOfItsSection)
{
    Put("[Comm]\r\nPort=2\r\n; about speed\r\n\r\n[Default]\r\nHeader1=A\r\n\r\n");
    SettingsFile settings(Path());
    settings.WriteInteger("Comm", "BaudRate", 1);
    settings.WriteText("Default", "Header2", "B");
    EXPECT_EQ(Content(), "[Comm]\r\nPort=2\r\nBaudRate=1\r\n; about speed\r\n\r\n"
                         "[Default]\r\nHeader1=A\r\nHeader2=B\r\n\r\n");
}

TEST_F(SettingsFileTest, NewKeyInAnEmptySectionFollowsItsHeader)
{
    Put("[Comm]\r\n\r\n[Default]\r\n");
    SettingsFile(Path()).WriteInteger("Comm", "Port", 1);
    EXPECT_EQ(Content(), "[Comm]\r\nPort=1\r\n\r\n[Default]\r\n");
}

TEST_F(SettingsFileTest, NewSectionGoesAtTheEndAndAnUnendedLastLineIsEnded)
{
    Put("[Comm]\r\nPort=2");
    SettingsFile(Path()).WriteText("Default", "Tail1", "Thank you");
    EXPECT_EQ(Content(), "[Comm]\r\nPort=2\r\n[Default]\r\nTail1=Thank you\r\n");
}

TEST_F(SettingsFileTest, AFileWithLineFeedsKeepsThem)
{
    Put("[Comm]\nPort=2\n");
    SettingsFile settings(Path());
    settings.WriteInteger("Comm", "Port", 3);
    settings.WriteInteger("Comm", "BaudRate", 2);
    settings.WriteText("Version", "CompanyName", "Corner Shop");
    EXPECT_EQ(Content(), "[Comm]\nPort=3\nBaudRate=2\n[Version]\nCompanyName=Corner Shop\n");
}

TEST_F(SettingsFileTest, TheFirstOfDuplicateKeysIsReadAndChanged)
{
    Put("[Comm]\r\nPort=1\r\nPort=2\r\n[Comm]\r\nBaudRate=3\r\n");
    SettingsFile settings(Path());
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 0), 1);
    EXPECT_EQ(settings.ReadInteger("Comm", "BaudRate", 0), 3);
    settings.WriteInteger("Comm", "Port", 4);
    settings.WriteInteger("Comm", "BaudRate", 1);
    EXPECT_EQ(Content(), "[Comm]\r\nPort=4\r\nPort=2\r\n[Comm]\r\nBaudRate=1\r\n");
}

TEST_F(SettingsFileTest, CommentedKeysAndKeysOfOtherSectionsDoNotCount)
{
    Put("Port=9\r\n[Comm]\r\n;Port=7\r\n#Port=8\r\n[Other]\r\nPort=6\r\n");
    SettingsFile settings(Path());
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), 2);
    settings.WriteInteger("Comm", "Port", 3);
    EXPECT_EQ(Content(),
              "Port=9\r\n[Comm]\r\nPort=3\r\n;Port=7\r\n#Port=8\r\n[Other]\r\nPort=6\r\n");
}

TEST_F(SettingsFileTest, SingleByteTextRoundTripsUnchanged)
{
    QString value;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        value += QChar(byte);
    SettingsFile settings(Path());
    settings.WriteText("Default", "Header1", value);
    EXPECT_EQ(settings.ReadText("Default", "Header1"), value);
    EXPECT_EQ(Content(), "[Default]\r\nHeader1=" + value.toLatin1() + "\r\n");

    Put("[Default]\r\nClerkName1=Ren\xe9\xa0\r\n");
    EXPECT_EQ(settings.ReadText("Default", "ClerkName1"), QString::fromLatin1("Ren\xe9\xa0"));
}

TEST_F(SettingsFileTest, TextsKeepTheirBlanksAndQuotesAndStayOnOneLine)
{
    SettingsFile settings(Path());
    for (const QString value : {"   CENTRED   ", "\"quoted\"", "\"", "a\"b\"", " "}) {
        settings.WriteText("Default", "Header1", value);
        EXPECT_EQ(settings.ReadText("Default", "Header1"), value) << value.toStdString();
    }
    settings.WriteText("Default", "Header2", "one\r\n[Comm]\nPort=4");
    EXPECT_EQ(settings.ReadText("Default", "Header2"), "one  [Comm] Port=4");
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), 2);

    Put("[Version]\r\nCompanyName=\"  Acme  \"\r\n");
    EXPECT_EQ(settings.ReadText("Version", "CompanyName"), "  Acme  ");
}

TEST_F(SettingsFileTest, WriteToAReadOnlyFolderIsRefusedAndLeavesTheFile)
{
    Put("[Comm]\r\nPort=2\r\n");
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(RefusedWriteMessage(), "Unable to write to " + Path());
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(Content(), "[Comm]\r\nPort=2\r\n");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"SYSTEM.CFG"});
}

TEST_F(SettingsFileTest, WriteToAReadOnlyFileIsRefusedAndLeavesIt)
{
    Put("[Comm]\r\nPort=2\r\n");
    QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(RefusedWriteMessage(), "Unable to write to " + Path());
    EXPECT_EQ(Content(), "[Comm]\r\nPort=2\r\n");
    EXPECT_FALSE(QFile::permissions(Path()) & QFile::WriteOwner);
}

TEST_F(SettingsFileTest, WriteWhereTheFileIsAFolderIsRefused)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("SYSTEM.CFG"));
    EXPECT_EQ(SettingsFile(Path()).ReadInteger("Comm", "Port", 2), 2);
    EXPECT_EQ(RefusedWriteMessage(), "Unable to write to " + Path());
}

TEST_F(SettingsFileTest, ReplacingTheFileKeepsItsPermissions)
{
    Put("[Comm]\r\nPort=2\r\n");
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QFile::setPermissions(Path(), ownerOnly);
    SettingsFile(Path()).WriteInteger("Comm", "Port", 1);
    EXPECT_EQ(QFile::permissions(Path()) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
}

TEST_F(SettingsFileTest, AByteOrderMarkIsSkippedAndKept)
{
    Put("\xEF\xBB\xBF[Comm]\r\nPort=3\r\n");
    SettingsFile settings(Path());
    EXPECT_EQ(settings.ReadInteger("Comm", "Port", 2), 3);
    settings.WriteInteger("Comm", "BaudRate", 1);
    EXPECT_EQ(Content(), QByteArray("\xEF\xBB\xBF[Comm]\r\nPort=3\r\nBaudRate=1\r\n"));
}

TEST_F(SettingsFileTest, AFullDiskKeepsEverySectionAndNamesTheReason)
{
    FullDisk disk;
    ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
    const QString path = disk.Path("SYSTEM.CFG");
    const QByteArray old("[Comm]\r\nPort=3\r\n[Default]\r\nHeader1=Shop\r\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    disk.Fill();
    SettingsFile settings(path);
    try {
        settings.WriteTexts("Default", {{"Header1", "New shop"}, {"Header2", "Second line"}});
        ADD_FAILURE() << "no error";
    } catch (const SettingsWriteError& error) {
        EXPECT_TRUE(error.Message().startsWith("Unable to write to " + path)) << error.Message().toStdString();
        EXPECT_TRUE(error.Message().contains(disk.Reason())) << error.Message().toStdString();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}
