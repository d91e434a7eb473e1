// Help > Language... and the dialog it opens.
#include "app/LanguageDlg.h"
#include "app/LanguageFile.h"
#include "app/Main.h"
#include "config/LanguageTexts.h"
#include "model/Language.h"

#include "AppTestSupport.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

namespace {

using LanguageChoices::Choice;
using Kind = LanguageChoices::Choice::Kind;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Entries(const TLanguageDlg& dialog)
{
    QStringList entries;
    const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("ChoiceList"));
    for (int row = 0; list != nullptr && row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

class LanguageDlgTest : public ProgramDirFixture
{
protected:
    void TearDown() override
    {
        m_form.reset();
        Language::Install({});
        ProgramDirFixture::TearDown();
    }

    TMainForm& Form()
    {
        if (!m_form) {
            m_form = std::make_unique<TMainForm>(&messages, &dialogs);
            m_form->CreateWindows(QStringLiteral("Shop"));
        }
        return *m_form;
    }

    // Help > Language..., choosing the entry that starts with `entry`.
    void ChooseFromMenu(const QString& entry)
    {
        OnNextModal<TLanguageDlg>([entry](TLanguageDlg& dialog) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("ChoiceList"));
            const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchStartsWith);
            ASSERT_EQ(found.size(), 1) << entry.toStdString();
            list->setCurrentItem(found.first());
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        Form().findChild<QAction*>(QStringLiteral("LanguageItem"))->trigger();
    }

    QString UserFile() const { return FilePath(LanguageFileName()); }

    void ShipGermanAndFrench() const
    {
        ASSERT_TRUE(QDir().mkpath(FilePath(QStringLiteral("lang"))));
        for (const char* name : {"de.LNG", "fr.LNG"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/") + QLatin1String(name),
                                    FilePath(QStringLiteral("lang/")) + QLatin1String(name)));
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;

private:
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(LanguageDlgTest, ListsEachLanguageByItsOwnNameWithTheOneInUseSelected)
{
    TLanguageDlg dialog({{Kind::English, {}, {}, false},
                         {Kind::File, QStringLiteral("/usr/share/x/lang/de.LNG"), QStringLiteral("de"), true},
                         {Kind::File, QStringLiteral("/usr/share/x/lang/fr.LNG"), QStringLiteral("fr"), false},
                         {Kind::File, QStringLiteral("/home/o/lang/mine.LNG"), QString(), false},
                         {Kind::UserFile, QStringLiteral("/home/o/plu-manager.LNG"), QStringLiteral("nl"), false}});
    EXPECT_EQ(Entries(dialog),
              (QStringList{"English (built in)", "Deutsch (de.LNG), in use", QString::fromUtf8("fran\xC3\xA7" "ais (fr.LNG)"),
                           "Language not named in the file (mine.LNG)",
                           "Nederlands (your own translation, plu-manager.LNG)"}));
    EXPECT_EQ(dialog.Chosen().path, "/usr/share/x/lang/de.LNG");
    EXPECT_EQ(dialog.objectName(), "LanguageDlg");
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

TEST_F(LanguageDlgTest, ItsTextsComeFromTheLanguageTable)
{
    LanguageTexts::FromBytes("[LanguageDlg]\nCaption=Sprache\nChoiceLbl.Caption=&Sprache der Fenster:\n"
                             "ChoiceList.English=Englisch (eingebaut)\nChoiceList.InUse=%1 (aktiv)\n")
        .Install({});
    TLanguageDlg dialog({{Kind::English, {}, {}, true}});
    EXPECT_EQ(dialog.windowTitle(), "Sprache");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("ChoiceLbl"))->text(), "&Sprache der Fenster:");
    EXPECT_EQ(Entries(dialog), QStringList{"Englisch (eingebaut) (aktiv)"});
}

TEST_F(LanguageDlgTest, HelpLanguageCopiesTheChoiceForTheNextStartAndSaysSo)
{
    ShipGermanAndFrench();
    QStringList help;
    for (const QAction* action : Form().findChild<QMenu*>(QStringLiteral("HelpMenu"))->actions())
        if (!action->isSeparator())
            help << action->objectName();
    EXPECT_EQ(help, (QStringList{"ContentItem", "LanguageItem", "AboutItem"}));

    ChooseFromMenu(QStringLiteral("Deutsch"));
    EXPECT_EQ(ReadAll(UserFile()), ReadAll(FilePath(QStringLiteral("lang/de.LNG"))));
    ASSERT_EQ(messages.informations.size(), 1);
    EXPECT_EQ(messages.informations[0], "Deutsch (de.LNG) is shown when the program is started again.");
    EXPECT_EQ(Form().statusBar()->currentMessage(), messages.informations[0]);
    // What the program reads at its next start.
    EXPECT_EQ(DefaultLanguageFilePath(), UserFile());

    ChooseFromMenu(QStringLiteral("English"));
    EXPECT_FALSE(QFile::exists(UserFile()));
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(LanguageDlgTest, AnOperatorsOwnTranslationIsKeptAndStaysListed)
{
    ShipGermanAndFrench();
    const QByteArray own("[Language]\nLocale=nl\n[MainForm]\nFileMenu.Caption=&Bestand\n");
    ProgramDirFixture::WriteFile(LanguageFileName(), own);

    ChooseFromMenu(QString::fromUtf8("fran\xC3\xA7" "ais"));
    EXPECT_EQ(ReadAll(UserFile()), ReadAll(FilePath(QStringLiteral("lang/fr.LNG"))));
    ASSERT_EQ(messages.informations.size(), 1);
    EXPECT_TRUE(messages.informations[0].contains("Your own translation was kept as " + FilePath("lang/own-")))
        << messages.informations[0].toStdString();

    ChooseFromMenu(QStringLiteral("Nederlands"));
    EXPECT_EQ(ReadAll(UserFile()), own);
}

TEST_F(LanguageDlgTest, TheBuildTreeHoldsTheShippedTranslations)
{
    for (const char* name : {"de.LNG", "fr.LNG"})
        EXPECT_EQ(ReadAll(QStringLiteral(PLU_DEFAULT_BIN_DIR "/lang/") + QLatin1String(name)),
                  ReadAll(QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/") + QLatin1String(name)))
            << name;
}

} // namespace
