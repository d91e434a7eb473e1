#include "app/FindBar.h"
#include "app/LanguageFile.h"
#include "app/Main.h"
#include "model/Columns.h"
#include "model/Language.h"
#include "model/Texts.h"
#include "widgets/TableGrid.h"

#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

namespace {

// The main window shown with a language file of the test's own.
// The column titles as they were before a test's language changed them.
struct KeptTexts
{
    ProgramTexts texts = Texts();
    ~KeptTexts() { Texts() = texts; }
};

class MainWindowTextsTest : public ProgramDirFixture
{
protected:
    void TearDown() override
    {
        m_form.reset();
        // No file: English again, and the locale the program started with.
        LoadLanguage(FilePath(QStringLiteral("none.LNG")));
        ProgramDirFixture::TearDown();
    }

    TMainForm& ShowWith(const QString& languageFile)
    {
        m_form = std::make_unique<TMainForm>(&messages, &dialogs);
        m_form->SetLanguageFilePath(languageFile);
        m_form->CreateWindows(QStringLiteral("Shop"));
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        return *m_form;
    }

    TMainForm& ShowWithText(const QByteArray& language)
    {
        WriteFile(QStringLiteral("plu-manager.LNG"), language);
        return ShowWith(FilePath(QStringLiteral("plu-manager.LNG")));
    }

    QString Text(const char* objectName) const
    {
        const QString name = QString::fromLatin1(objectName);
        if (const auto* action = m_form->findChild<QAction*>(name))
            return action->text();
        if (const auto* menu = m_form->findChild<QMenu*>(name))
            return menu->title();
        if (const auto* label = m_form->findChild<QLabel*>(name))
            return label->text();
        if (const auto* box = m_form->findChild<QCheckBox*>(name))
            return box->text();
        return QStringLiteral("<no %1>").arg(name);
    }

    // Types `text` into a cell of the PLU grid and leaves it.
    bool TypeCell(int row, int column, const QString& text)
    {
        TableGrid& grid = m_form->PLUGrid();
        grid.SetBeep([] {});
        grid.setFocus();
        grid.setCurrentIndex(grid.model()->index(row, column));
        QTest::keyClick(&grid, Qt::Key_F2);
        if (grid.Editor() == nullptr)
            return false;
        grid.Editor()->setText(text);
        return grid.CommitCurrentCell();
    }

    KeptTexts m_keptTexts;
    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    std::unique_ptr<TMainForm> m_form;
};

const QByteArray GermanTexts =
    "[MainForm]\n"
    "EditMenu.Caption=&Bearbeiten\n"
    "PriceItem.Caption=&Preise \xC3\xA4ndern...\n"
    "PriceItem.Hint=Die Einzelpreise vieler PLUs auf einmal \xC3\xA4ndern\n"
    "RecentMenu.Caption=&Zuletzt ge\xC3\xB6""ffnet\n"
    "ModifiedStatus.Caption=Ge\xC3\xA4ndert\n"
    "PluCountStatus.One=1 benannte PLU\n"
    "PluCountStatus.Count=%1 benannte PLUs\n"
    "PortStatus.Rate=%1 Bit/s\n"
    "NamedStep=%1: %2\n"
    "[DocumentHistory]\n"
    "Typing=Eingabe\n"
    "[PLU Titles]\n"
    "4=Warengruppe\n"
    "[CellRules]\n"
    "WholeRange=eine ganze Zahl von %1 bis %2\n"
    "[FindBar]\n"
    "FindFilter.Caption=Nur passende Zeilen zeigen\n"
    "FindCount.None=Keine Treffer\n"
    "FindCount.Count=%1 Treffer\n"
    "[Language]\n"
    "Locale=de\n";

TEST_F(MainWindowTextsTest, EntriesFieldsStepsAndRefusalsAddedSinceFollowTheFile)
{
    TMainForm& form = ShowWithText(GermanTexts);
    // Menu entries and hints of the Edit menu and the recent files.
    EXPECT_EQ(Text("EditMenu"), QStringLiteral("&Bearbeiten"));
    EXPECT_EQ(Text("PriceItem"), QStringLiteral("&Preise ändern..."));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("PriceItem"))->statusTip(),
              QStringLiteral("Die Einzelpreise vieler PLUs auf einmal ändern"));
    EXPECT_EQ(Text("RecentMenu"), QStringLiteral("&Zuletzt geöffnet"));
    EXPECT_EQ(Text("FileMenu"), QStringLiteral("&File")) << "a key the file leaves out keeps its text";

    // The status bar's fields, worded before the file was read, are worded
    // again in its language.
    EXPECT_EQ(Text("ModifiedStatus"), QStringLiteral("Geändert"));
    EXPECT_EQ(Text("PluCountStatus"), QStringLiteral("0 benannte PLUs"));
    EXPECT_TRUE(Text("PortStatus").endsWith(QStringLiteral(" Bit/s"))) << Text("PortStatus").toStdString();

    // A counted field writes its count the operator's way.
    for (int row = 0; row < 1234; ++row)
        form.PluTable().SetCell(PLUColumn::Name, row + 1, QStringLiteral("Article"));
    QTRY_COMPARE(Text("PluCountStatus"), QStringLiteral("1.234 benannte PLUs"));

    // The undo step's name.
    ASSERT_TRUE(TypeCell(0, PLUColumn::Name - 1, QStringLiteral("Äpfel")));
    EXPECT_EQ(Text("UndoItem"), QStringLiteral("&Undo: Eingabe"));

    // A refused cell's reason in the status bar, with the column's title.
    EXPECT_FALSE(TypeCell(4, PLUColumn::Department - 1, QStringLiteral("0")));
    EXPECT_EQ(form.statusBar()->currentMessage(), QStringLiteral("Warengruppe: eine ganze Zahl von 1 bis 9"));
    ASSERT_NE(form.PLUGrid().Editor(), nullptr);
    QTest::keyClick(form.PLUGrid().Editor(), Qt::Key_Escape);

    // The find bar, built before the file was read.
    auto* findBar = form.findChild<FindBar*>(QStringLiteral("FindBar"));
    ASSERT_NE(findBar, nullptr);
    EXPECT_EQ(Text("FindFilter"), QStringLiteral("Nur passende Zeilen zeigen"));
    findBar->SetText(QStringLiteral("no such article"));
    EXPECT_EQ(Text("FindCount"), QStringLiteral("Keine Treffer"));
}

TEST_F(MainWindowTextsTest, APlaceholderMismatchKeepsTheEnglishTextAndIsReportedOnce)
{
    TMainForm& form = ShowWithText("[MainForm]\n"
                                   "PluCountStatus.Count=benannte PLUs\n"
                                   "NothingPasted=Nichts eingef\xC3\xBCgt: %1 %2\n"
                                   "[DocumentHistory]\n"
                                   "Typing=Eingabe\n");
    EXPECT_EQ(Text("PluCountStatus"), QStringLiteral("0 named PLUs"));
    form.PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Article"));
    form.PluTable().SetCell(PLUColumn::Name, 2, QStringLiteral("Article"));
    QTRY_COMPARE(Text("PluCountStatus"), QStringLiteral("2 named PLUs"));

    const QStringList problems = Language::Problems();
    EXPECT_EQ(problems.filter(QStringLiteral("PluCountStatus.Count")).size(), 1) << problems.join(u'\n').toStdString();
    EXPECT_EQ(problems.filter(QStringLiteral("NothingPasted")).size(), 1) << problems.join(u'\n').toStdString();
    // A sound translation in the same file still counts.
    ASSERT_TRUE(TypeCell(0, PLUColumn::Name - 1, QStringLiteral("Pears")));
    EXPECT_EQ(Text("UndoItem"), QStringLiteral("&Undo Eingabe"));
}

TEST_F(MainWindowTextsTest, ShippedTranslationsAreTakenWholeAndWordEveryMenuEntry)
{
    struct Shipped
    {
        const char* file;
        const char* editMenu;
        const char* countField;
    };
    // The entries as the program words them.
    QHash<QString, QString> english;
    for (const QAction* action : ShowWith(FilePath(QStringLiteral("none.LNG"))).findChildren<QAction*>()) {
        if (!action->objectName().isEmpty() && !action->text().isEmpty())
            english.insert(action->objectName(), action->text());
    }
    m_form.reset();

    for (const Shipped& shipped : {Shipped{"de.LNG", "&Bearbeiten", "0 benannte PLUs"},
                                   Shipped{"fr.LNG", "É&dition", "0 PLU nommés"}}) {
        SCOPED_TRACE(shipped.file);
        TMainForm& form = ShowWith(QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/") + QLatin1String(shipped.file));
        EXPECT_EQ(Language::Problems(), QStringList());
        EXPECT_EQ(Text("EditMenu"), QString::fromUtf8(shipped.editMenu));
        EXPECT_EQ(Text("PluCountStatus"), QString::fromUtf8(shipped.countField));

        // Every entry of every menu has its translation.
        for (QAction* entry : form.menuBar()->actions()) {
            QMenu* menu = entry->menu();
            if (menu == nullptr)
                continue;
            for (const QAction* action : menu->actions()) {
                if (!action->isSeparator() && english.contains(action->objectName()))
                    EXPECT_NE(action->text(), english[action->objectName()]) << action->objectName().toStdString();
            }
        }
        m_form.reset();
    }
}

} // namespace
