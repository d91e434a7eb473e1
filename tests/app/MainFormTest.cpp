#include "app/Main.h"
#include "widgets/TableGrid.h"
#include "link/QelmIBus.h"

#include "AppTestSupport.h"
#include "model/Columns.h"
#include "model/Texts.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

using SaveAnswer = IMessageBox::SaveAnswer;

const QString Title = QStringLiteral("TQR716 PLU manager");
const QString SavePrompt = QStringLiteral("File has not been saved,save it now?");

class MainFormTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        m_savedTexts = Texts();
    }
    void TearDown() override
    {
        m_form.reset();
        Texts() = m_savedTexts;
        ProgramDirFixture::TearDown();
    }

    TMainForm& Form()
    {
        if (!m_form) {
            m_form = std::make_unique<TMainForm>(&messages, &dialogs);
            m_form->SetLanguageFilePath(FilePath(QStringLiteral("plu-manager.LNG")));
        }
        return *m_form;
    }

    void ShowActive()
    {
        Form().show();
        QApplication::setActiveWindow(&Form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    }

    QAction* Action(const char* name) { return Form().findChild<QAction*>(QString::fromLatin1(name)); }

    // The operator has typed a name into PLU row 1.
    void TypeIntoPlu()
    {
        Form().PluTable().SetCell(2, 1, QStringLiteral("Apples"));
    }

    QString PluName(int row) { return Form().PluTable().Cell(2, row); }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;

private:
    std::unique_ptr<TMainForm> m_form;
    ProgramTexts m_savedTexts;
};

// The caption as shown without changes: "[*]" marks where the desktop puts
// its sign of unsaved changes.
QString Caption(const QWidget& window)
{
    return window.windowTitle().remove(QStringLiteral("[*]"));
}

QStringList ActionNames(const QList<QAction*>& actions)
{
    QStringList names;
    for (const QAction* action : actions)
        names << action->objectName();
    return names;
}

TEST_F(MainFormTest, MenusHoldTheirItemsInOrderWithShortcutsAndHiddenEntries)
{
    auto* bar = Form().findChild<QMenuBar*>(QStringLiteral("MainMenu98"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(Form().menuBar(), bar);
    auto* file = Form().findChild<QMenu*>(QStringLiteral("FileMenu"));
    auto* comm = Form().findChild<QMenu*>(QStringLiteral("CommMenu"));
    auto* help = Form().findChild<QMenu*>(QStringLiteral("HelpMenu"));
    ASSERT_TRUE(file && comm && help);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(comm->title(), "&Communication");
    EXPECT_EQ(help->title(), "&Help");

    EXPECT_EQ(ActionNames(file->actions()),
              QStringList({"NewItem", "N3", "OpenItem", "SaveItem", "SaveasItem", "N16", "ImportItem",
                           "ExportItem", "N5", "RecyItem", "ParameterItem", "N15", "PrintItem",
                           "PrintPreviewItem", "PrintLabelsItem", "FontItem", "N10", "RecentItem", "N11", "ExitItem"}));
    EXPECT_EQ(ActionNames(comm->actions()),
              QStringList({"CommsetItem", "DetectportItem", "ConnectionCheckItem", "N4", "TestItem", "DownloadItem",
                           "UploadItem", "N20", "CompareItem", "DownloadChangesItem", "HistoryItem", "N21",
                           "RegistersItem", "SendRegistersItem", "CompareRegistersItem", "DownloadFontItem"}));
    EXPECT_EQ(ActionNames(help->actions()), QStringList({"ContentItem", "N2", "LanguageItem", "AboutItem"}));

    for (const char* separator : {"N3", "N5", "N15", "N10", "N4", "N20", "N2"}) {
        ASSERT_NE(Action(separator), nullptr) << separator;
        EXPECT_TRUE(Action(separator)->isSeparator()) << separator;
        EXPECT_TRUE(Action(separator)->text().isEmpty()) << separator << ": a separator is a line, no text";
    }
    EXPECT_EQ(Action("OpenItem")->text(), "&Open...");
    EXPECT_EQ(Action("SaveasItem")->text(), "Save &as...");
    EXPECT_EQ(Action("ExitItem")->text(), "E&xit");

    EXPECT_EQ(Action("OpenItem")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(Action("SaveItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Action("DownloadItem")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(Action("UploadItem")->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_TRUE(Action("RecyItem")->shortcut().isEmpty());

    EXPECT_FALSE(Action("RecyItem")->isVisible());
    EXPECT_FALSE(Action("DownloadFontItem")->isVisible());
    EXPECT_TRUE(Action("ParameterItem")->isVisible());
}

TEST_F(MainFormTest, ToolbarButtonsShowOnlyGlyphsWithTheirHints)
{
    auto* toolbar = Form().findChild<QToolBar*>(QStringLiteral("MainToolbar"));
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->windowTitle(), "Main");
    EXPECT_EQ(toolbar->toolButtonStyle(), Qt::ToolButtonIconOnly);

    const QList<std::pair<const char*, const char*>> buttons = {
        {"NewBtn", "New"}, {"OpenBtn", "Open"}, {"SaveBtn", "Save"},
        {"PreferencesBtn", "Preferences"}, {"CommBtn", "Communication setting"},
        {"TestBtn", "Test"}, {"DownLoadBtn", "Download data"}, {"UploadBtn", "Upload data"},
        {"ReportBtn", "Upload report"}, {"ExitBtn", "Exit"}};
    QStringList order;
    for (const auto& [name, hint] : buttons) {
        QAction* button = Action(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->toolTip(), hint) << name;
        EXPECT_EQ(button->statusTip(), hint) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        auto* widget = qobject_cast<QToolButton*>(toolbar->widgetForAction(button));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->objectName(), name);
        order << name;
    }
    QStringList shown;
    for (QAction* action : toolbar->actions())
        shown << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    EXPECT_EQ(shown, QStringList({"NewBtn", "OpenBtn", "SaveBtn", "-", "PreferencesBtn", "CommBtn",
                                  "-", "TestBtn", "DownLoadBtn", "UploadBtn", "ReportBtn", "-",
                                  "ExitBtn"}));
    EXPECT_FALSE(Action("ReportBtn")->isVisible());
}

TEST_F(MainFormTest, PortSettingsComeFromTheSettingsFile)
{
    {
        TMainForm form(&messages, &dialogs);
        EXPECT_EQ(form.PortNumber(), 2);
        EXPECT_EQ(form.SpeedIndex(), 0);
    }
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Comm]\r\nPort=3\r\nBaudRate=4\r\n");
    TMainForm form(&messages, &dialogs);
    EXPECT_EQ(form.PortNumber(), 3);
    EXPECT_EQ(form.SpeedIndex(), 4);
    // The window's link traces its transfers.
    EXPECT_TRUE(form.Link().TraceEnabled());
    EXPECT_FALSE(form.Link().isActive());
}

TEST_F(MainFormTest, CaptionFollowsTheDocumentName)
{
    const QString path = FilePath(QStringLiteral("SHOP.PLU"));
    dialogs.saveNames.enqueue(path);
    Form().SaveasItemClick();
    EXPECT_EQ(Caption(Form()), Title + "~[" + path + "]");

    Form().NewItemClick();
    EXPECT_EQ(Caption(Form()), Title);

    dialogs.openNames.enqueue(path);
    Form().OpenItemClick();
    EXPECT_EQ(Caption(Form()), Title + "~[" + path + "]");
    EXPECT_TRUE(messages.questions.isEmpty());
}

TEST_F(MainFormTest, NewAsksBeforeDroppingChanges)
{
    TypeIntoPlu();
    messages.answers = {SaveAnswer::Cancel};
    Form().NewItemClick();
    EXPECT_EQ(messages.questions, QStringList({SavePrompt}));
    EXPECT_EQ(PluName(1), "Apples");
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    messages.answers = {SaveAnswer::No};
    Form().NewItemClick();
    EXPECT_EQ(PluName(1), "");
    EXPECT_FALSE(Form().CurrentDocument().Modified());
    EXPECT_EQ(dialogs.saveCount, 0);

    // Unmodified: no question at all.
    Form().NewItemClick();
    EXPECT_EQ(messages.questions.size(), 2);
}

TEST_F(MainFormTest, YesSavesBeforeNewGoesOn)
{
    const QString path = FilePath(QStringLiteral("KEPT.PLU"));
    TypeIntoPlu();
    messages.answers = {SaveAnswer::Yes};
    dialogs.saveNames.enqueue(path);
    Form().NewItemClick();
    EXPECT_EQ(dialogs.saveCount, 1);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(PluName(1), "");
    EXPECT_EQ(Caption(Form()), Title);

    // A named document is saved under its name without a dialog.
    dialogs.openNames.enqueue(path);
    Form().OpenItemClick();
    EXPECT_EQ(PluName(1), "Apples");
    Form().PluTable().SetCell(2, 2, QStringLiteral("Pears"));
    messages.answers = {SaveAnswer::Yes};
    Form().NewItemClick();
    EXPECT_EQ(dialogs.saveCount, 1);
    dialogs.openNames.enqueue(path);
    Form().OpenItemClick();
    EXPECT_EQ(PluName(2), "Pears");
}

TEST_F(MainFormTest, ChangesStayWhenTheSaveAskedForDoesNotHappen)
{
    TypeIntoPlu();
    // The save dialog is cancelled: nothing was saved, so nothing is dropped.
    messages.answers = {SaveAnswer::Yes};
    Form().NewItemClick();
    EXPECT_EQ(dialogs.saveCount, 1);
    EXPECT_EQ(PluName(1), "Apples");
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    // The file cannot be written: the error is shown and the tables stay.
    messages.answers = {SaveAnswer::Yes};
    dialogs.saveNames.enqueue(FilePath(QStringLiteral("missing/folder/X.PLU")));
    Form().NewItemClick();
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_EQ(PluName(1), "Apples");
    EXPECT_TRUE(Form().CurrentDocument().Modified());
}

TEST_F(MainFormTest, OpenAsksFirstAndOnlyThenOffersTheFileDialog)
{
    const QString path = FilePath(QStringLiteral("OTHER.PLU"));
    WriteFile(QStringLiteral("OTHER.PLU"), "123\tBread\t1.50\t2\t0.000\t0\t0\t0\r\n");
    TypeIntoPlu();

    messages.answers = {SaveAnswer::Cancel};
    dialogs.openNames.enqueue(path);
    Form().OpenItemClick();
    EXPECT_EQ(dialogs.openCount, 0);
    EXPECT_EQ(PluName(1), "Apples");

    messages.answers = {SaveAnswer::No};
    Form().OpenItemClick();
    EXPECT_EQ(dialogs.openCount, 1);
    EXPECT_EQ(PluName(1), "Bread");
    EXPECT_EQ(Form().PluTable().Cell(1, 1), "123");
    EXPECT_FALSE(Form().CurrentDocument().Modified());

    // A cancelled open dialog changes nothing.
    Form().PluTable().SetCell(2, 5, QStringLiteral("Milk"));
    Form().OpenItemClick();
    EXPECT_EQ(PluName(5), "Milk");
    EXPECT_EQ(Caption(Form()), Title + "~[" + path + "]");
}

TEST_F(MainFormTest, SaveOnANewDocumentAsksForANameAndCancelKeepsItUnnamed)
{
    TypeIntoPlu();
    Form().SaveItemClick();
    EXPECT_EQ(dialogs.saveCount, 1);
    EXPECT_TRUE(Form().CurrentDocument().CurrentFileName().isEmpty());
    EXPECT_TRUE(Form().CurrentDocument().Modified());
    EXPECT_EQ(Caption(Form()), Title);
}

TEST_F(MainFormTest, ClosingWithUnsavedChangesAsksAndCancelKeepsTheProgramRunning)
{
    ShowActive();
    TypeIntoPlu();
    messages.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(Form().close());
    EXPECT_TRUE(Form().isVisible());

    messages.answers = {SaveAnswer::Yes};
    dialogs.saveNames.enqueue(FilePath(QStringLiteral("CLOSE.PLU")));
    Action("ExitItem")->trigger();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_TRUE(QFileInfo::exists(FilePath(QStringLiteral("CLOSE.PLU"))));
    EXPECT_EQ(messages.questions.size(), 2);
}

TEST_F(MainFormTest, ClosingWithoutChangesOrAfterNoDoesNotSave)
{
    ShowActive();
    EXPECT_TRUE(Form().close());
    EXPECT_TRUE(messages.questions.isEmpty());

    ShowActive();
    TypeIntoPlu();
    messages.answers = {SaveAnswer::No};
    EXPECT_TRUE(Form().close());
    EXPECT_EQ(dialogs.saveCount, 0);
}

TEST_F(MainFormTest, TypingOverABrowsedCellMakesNewAsk)
{
    ShowActive();
    TableGrid& grid = Form().PLUGrid();
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(0, 1));
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(grid.CurrentState(), TableGrid::State::Browsing);
    // Enter moved the cursor on to the unit price.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    messages.answers = {SaveAnswer::Cancel};
    Form().NewItemClick();
    EXPECT_EQ(messages.questions, QStringList({SavePrompt}));
}

TEST_F(MainFormTest, TypingInTheCellEditorMakesClosingAsk)
{
    ShowActive();
    TableGrid& grid = Form().PLUGrid();
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(0, 1)); // PLU 1, its name
    // F2 opens the editor on the cell's text; typing there is no less work.
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_EQ(grid.CurrentState(), TableGrid::State::Editing);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Tea"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(PluName(1), "Tea");
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    messages.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(Form().close()) << "the typed name would be lost";
    EXPECT_EQ(messages.questions, QStringList({SavePrompt}));
}

TEST_F(MainFormTest, AnInvalidCellStopsSaveBeforeAnyDialog)
{
    ShowActive();
    TableGrid& grid = Form().PLUGrid();
    int beeps = 0;
    grid.SetBeep([&beeps] { ++beeps; });
    grid.setFocus();
    // A Department of 0 still being edited.
    grid.setCurrentIndex(grid.model()->index(4, 3));
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_NE(grid.Editor(), nullptr);
    grid.Editor()->setText(QStringLiteral("0"));

    dialogs.saveNames.enqueue(FilePath(QStringLiteral("NEVER.PLU")));
    Form().SaveItemClick();
    Form().SaveasItemClick();
    EXPECT_EQ(dialogs.saveCount, 0);
    EXPECT_EQ(beeps, 2);

    // The save prompt's Yes stops there too, and the command does not go on.
    messages.answers = {SaveAnswer::Yes};
    Form().NewItemClick();
    EXPECT_EQ(dialogs.saveCount, 0);
    EXPECT_EQ(Form().PluTable().Cell(4, 5), "0");

    grid.Editor()->setText(QStringLiteral("7"));
    Form().SaveasItemClick();
    EXPECT_EQ(dialogs.saveCount, 1);
    EXPECT_EQ(Form().PluTable().Cell(4, 5), "7");
}

TEST_F(MainFormTest, CtrlAltF3FillsTestDataWithOrWithoutShift)
{
    ShowActive();
    QWindow* window = Form().windowHandle();
    QTest::keyClick(window, Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(PluName(1), "");
    EXPECT_EQ(dialogs.openCount, 0);

    QTest::keyClick(window, Qt::Key_F3, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(PluName(3000), "PLU-3000");
    EXPECT_EQ(Form().DeptmentTable().Cell(1, 9), "Deptment-9");
    // The fill is a change of the document like any other.
    EXPECT_TRUE(Form().CurrentDocument().Modified());
    EXPECT_EQ(dialogs.openCount, 0);

    messages.answers = {IMessageBox::SaveAnswer::No};
    Form().NewItemClick();
    ASSERT_EQ(PluName(1), "");
    QTest::keyClick(window, Qt::Key_F3, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(PluName(1), "PLU-1");
}

TEST_F(MainFormTest, F3AloneOpensAFile)
{
    ShowActive();
    QTest::keyClick(Form().windowHandle(), Qt::Key_F3);
    EXPECT_EQ(dialogs.openCount, 1);
    EXPECT_EQ(PluName(1), "");
}

TEST_F(MainFormTest, LanguageFileRenamesTextsWhenTheWindowIsFirstShown)
{
    WriteFile(QStringLiteral("plu-manager.LNG"),
              "[MainForm]\r\nNewItem.Caption=&Nieuw\r\nNewBtn.Hint=Nieuw document\r\n"
              "Caption=PLU beheer\r\nContentItem.Hint=never shown\r\nPLULBL.Caption=Artikelen\r\n"
              "[PLU Titles]\r\n3=A very long unit price title\r\n"
              "[AboutBox]\r\nOpenItem.Caption=wrong window\r\n");
    ShowActive();
    EXPECT_EQ(Action("NewItem")->text(), "&Nieuw");
    EXPECT_EQ(Action("NewBtn")->toolTip(), "Nieuw document");
    EXPECT_EQ(Action("NewBtn")->statusTip(), "Nieuw document");
    EXPECT_EQ(Form().findChild<QLabel*>(QStringLiteral("PLULBL"))->text(), "Artikelen");
    EXPECT_EQ(Caption(Form()), "PLU beheer");
    // Keys of a window that does not exist and hints of items without one are
    // ignored.
    EXPECT_EQ(Action("OpenItem")->text(), "&Open...");
    EXPECT_TRUE(Action("ContentItem")->statusTip().isEmpty());

    QTableView& grid = Form().PLUGrid();
    const QString title = QStringLiteral("A very long unit price title");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), title);
    EXPECT_GE(grid.columnWidth(2), grid.fontMetrics().horizontalAdvance(title) + 4);

    // New sets the built-in title again.
    Form().NewItemClick();
    EXPECT_EQ(Caption(Form()), Title);
}

TEST_F(MainFormTest, ColumnsFitTheFontAndHiddenColumnsStayHidden)
{
    EXPECT_EQ(Form().findChild<QTableView*>(QStringLiteral("PLUGrid")), &Form().PLUGrid());
    EXPECT_EQ(Form().findChild<QTableView*>(QStringLiteral("DeptmentGrid")), &Form().DeptmentGrid());
    Form().FitColumns();
    const int smallRow = Form().PLUGrid().verticalHeader()->defaultSectionSize();

    QFont big = Form().PLUGrid().font();
    big.setPointSize(big.pointSize() * 2);
    dialogs.chosenFont = big;
    Form().FontItemClick();

    for (QTableView* grid : {&Form().PLUGrid(), &Form().DeptmentGrid()}) {
        EXPECT_EQ(grid->font(), big);
        const QFontMetrics metrics(grid->font());
        EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(),
                  metrics.height() + metrics.leading() + 4);
    }
    EXPECT_GT(Form().PLUGrid().verticalHeader()->defaultSectionSize(), smallRow);

    const QFontMetrics metrics(big);
    const TextTable& plu = Form().PluTable();
    for (int column = 1; column < plu.ColCount(); ++column) {
        if (plu.IsHiddenColumn(column)) {
            EXPECT_TRUE(Form().PLUGrid().isColumnHidden(column - 1));
            continue;
        }
        const int width = Form().PLUGrid().columnWidth(column - 1);
        EXPECT_GE(width, metrics.averageCharWidth() * PLUMaxLens[column] * 3 / 2) << column;
        EXPECT_GE(width, metrics.horizontalAdvance(Texts().PLUTitles[column]) + 4) << column;
    }
    EXPECT_EQ(Form().PLUGrid().verticalHeader()->width(),
              std::max(metrics.averageCharWidth() * 5 * 3 / 2,
                       metrics.horizontalAdvance(QStringLiteral("NO.")) + 4));
    EXPECT_TRUE(Form().DeptmentGrid().isColumnHidden(2));

    // A cancelled font dialog changes nothing.
    dialogs.chosenFont.reset();
    Form().FontItemClick();
    EXPECT_EQ(Form().PLUGrid().font(), big);
}

} // namespace
