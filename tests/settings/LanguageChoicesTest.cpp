#include "config/LanguageChoices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using LanguageChoices::Choice;
using Kind = LanguageChoices::Choice::Kind;

const QByteArray kGerman("[Language]\nLocale=de\n[MainForm]\nFileMenu.Caption=&Datei\n");
const QByteArray kFrench("[Language]\nLocale=fr\n[MainForm]\nFileMenu.Caption=&Fichier\n");
const QByteArray kOwn("[Language]\nLocale=nl\n[MainForm]\nFileMenu.Caption=&Bestand\n");

// An installed program: the shipped translations in the shared folder, the
// operator's files in the configuration folder.
class LanguageChoicesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        places = {Path("share/lang/"), Path("config/lang/"), Path("config/plu-manager.LNG"),
                  Path("share/plu-manager.LNG")};
        Write("share/lang/fr.LNG", kFrench);
        Write("share/lang/de.LNG", kGerman);
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void Write(const QString& name, const QByteArray& bytes) const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path(name)).absolutePath()));
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList OwnFolder() const { return QDir(places.ownFolder).entryList(QDir::Files, QDir::Name); }

    LanguageChoices::Places places;
    const QDateTime now{QDate(2026, 12, 9), QTime(13, 25, 7)};

private:
    QTemporaryDir m_dir;
};

TEST_F(LanguageChoicesTest, EnglishAndTheShippedFilesWithTheOneInUseMarked)
{
    EXPECT_EQ(LanguageChoices::List(places),
              (QList<Choice>{{Kind::English, {}, {}, true},
                             {Kind::File, Path("share/lang/de.LNG"), "de", false},
                             {Kind::File, Path("share/lang/fr.LNG"), "fr", false}}));

    Write("config/plu-manager.LNG", kFrench);
    Write("config/lang/own-20260101-120000.LNG", kOwn);
    const QList<Choice> choices = LanguageChoices::List(places);
    ASSERT_EQ(choices.size(), 4);
    EXPECT_FALSE(choices[0].inUse);
    EXPECT_TRUE(choices[2].inUse) << "the user file is a copy of fr.LNG";
    EXPECT_EQ(choices[3], (Choice{Kind::File, Path("config/lang/own-20260101-120000.LNG"), "nl", false}));
}

TEST_F(LanguageChoicesTest, AnOwnTranslationInTheUserFileIsListedAndKeptBeforeAnotherIsChosen)
{
    Write("config/plu-manager.LNG", kOwn);
    QList<Choice> choices = LanguageChoices::List(places);
    ASSERT_EQ(choices.size(), 4);
    EXPECT_EQ(choices.last(), (Choice{Kind::UserFile, places.userFile, "nl", true}));

    const LanguageChoices::Outcome outcome = LanguageChoices::Choose(places, choices[1], now);
    ASSERT_TRUE(outcome.Done()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.keptAs, Path("config/lang/own-20261209-132507.LNG"));
    EXPECT_EQ(Read(places.userFile), kGerman);
    EXPECT_EQ(Read(outcome.keptAs), kOwn);

    // The kept file is listed; the user file, now a copy, is no longer an own
    // translation, so choosing again keeps nothing more.
    choices = LanguageChoices::List(places);
    ASSERT_EQ(choices.size(), 4);
    EXPECT_TRUE(choices[1].inUse);
    EXPECT_EQ(choices[3].path, outcome.keptAs);
    EXPECT_TRUE(LanguageChoices::Choose(places, choices[3], now).keptAs.isEmpty());
    EXPECT_EQ(Read(places.userFile), kOwn);
    EXPECT_EQ(OwnFolder(), QStringList{"own-20261209-132507.LNG"});
}

TEST_F(LanguageChoicesTest, KeepingNeverReplacesAnEarlierKeptFile)
{
    Write("config/lang/own-20261209-132507.LNG", kFrench + "; edited\n");
    Write("config/plu-manager.LNG", kOwn);
    const LanguageChoices::Outcome outcome = LanguageChoices::Choose(places, {Kind::English, {}, {}, false}, now);
    ASSERT_TRUE(outcome.Done());
    EXPECT_EQ(outcome.keptAs, Path("config/lang/own-20261209-132507-2.LNG"));
    EXPECT_EQ(Read(outcome.keptAs), kOwn);
    EXPECT_EQ(Read(Path("config/lang/own-20261209-132507.LNG")), kFrench + "; edited\n");
}

TEST_F(LanguageChoicesTest, EnglishRemovesTheUserFileOrEmptiesItWhenASharedOneWouldBeRead)
{
    Write("config/plu-manager.LNG", kGerman);
    const Choice english{Kind::English, {}, {}, false};
    ASSERT_TRUE(LanguageChoices::Choose(places, english, now).Done());
    EXPECT_FALSE(QFile::exists(places.userFile));
    EXPECT_TRUE(OwnFolder().isEmpty()) << "a copy of a listed file is not kept";
    EXPECT_TRUE(LanguageChoices::Choose(places, english, now).Done()) << "nothing to remove";

    Write("share/plu-manager.LNG", kFrench);
    ASSERT_TRUE(LanguageChoices::Choose(places, english, now).Done());
    EXPECT_EQ(Read(places.userFile), QByteArray());
    EXPECT_TRUE(LanguageChoices::List(places).first().inUse);
}

TEST_F(LanguageChoicesTest, FailuresLeaveTheUserFileAsItWas)
{
    Write("config/plu-manager.LNG", kOwn);
    LanguageChoices::Outcome outcome =
        LanguageChoices::Choose(places, {Kind::File, Path("share/lang/gone.LNG"), "de", false}, now);
    EXPECT_TRUE(outcome.error.contains(Path("share/lang/gone.LNG"))) << outcome.error.toStdString();
    EXPECT_EQ(Read(places.userFile), kOwn);

    // The own translation cannot be kept: its folder's place is taken by a file.
    Write("config/lang", "not a folder");
    outcome = LanguageChoices::Choose(places, LanguageChoices::List(places)[1], now);
    EXPECT_FALSE(outcome.Done());
    EXPECT_EQ(Read(places.userFile), kOwn);
    outcome = LanguageChoices::Choose(places, {Kind::English, {}, {}, false}, now);
    EXPECT_FALSE(outcome.Done());
    EXPECT_EQ(Read(places.userFile), kOwn);
}

TEST(LanguageChoicesPortableTest, OneFolderForShippedAndOwnFilesListsEachOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString lang = dir.filePath(QStringLiteral("lang/"));
    ASSERT_TRUE(QDir().mkpath(lang));
    QFile file(lang + QStringLiteral("de.LNG"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kGerman);
    file.close();
    const LanguageChoices::Places places{lang, lang, dir.filePath(QStringLiteral("plu-manager.LNG")),
                                         dir.filePath(QStringLiteral("plu-manager.LNG"))};
    EXPECT_EQ(LanguageChoices::List(places).size(), 2);
    // The shared file is the user file itself: English removes it.
    ASSERT_TRUE(LanguageChoices::Choose(places, LanguageChoices::List(places)[1], QDateTime::currentDateTime()).Done());
    ASSERT_TRUE(LanguageChoices::Choose(places, {Kind::English, {}, {}, false}, QDateTime::currentDateTime()).Done());
    EXPECT_FALSE(QFile::exists(places.userFile));
}

} // namespace
