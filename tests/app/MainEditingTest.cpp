// The Edit menu of the main window through its real widgets: undo and redo,
// the modified flag, the clipboard, find / filter / go to and the bulk price
// change.
#include "app/FindBar.h"
#include "app/Main.h"
#include "app/PriceChangeDlg.h"
#include "editing/DocumentHistory.h"
#include "model/Columns.h"
#include "widgets/TableGrid.h"

#include "AppTestSupport.h"
#include "support/KeyInput.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

namespace {

using SaveAnswer = IMessageBox::SaveAnswer;
using namespace PLUColumn;

// "PLU|name|price|new price|reason" for each row of the price change's preview.
QStringList PreviewRows(QDialog& dialog)
{
    auto* grid = dialog.findChild<QTableWidget*>(QStringLiteral("PreviewGrid"));
    return grid != nullptr ? GridRows(*grid) : QStringList{QStringLiteral("no preview grid")};
}

class MainEditingTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        m_form = std::make_unique<TMainForm>(&messages, &dialogs);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }
    void TearDown() override
    {
        m_form.reset();
        ProgramDirFixture::TearDown();
    }

    TMainForm& Form() { return *m_form; }
    TextTable& Plu() { return m_form->PluTable(); }
    QAction* Action(const char* name) { return m_form->findChild<QAction*>(QString::fromLatin1(name)); }
    bool Modified() { return m_form->CurrentDocument().Modified(); }

    // The cursor on a PLU cell (TextTable numbering), the grid focused.
    void GoTo(int col, int row)
    {
        TableGrid& grid = m_form->PLUGrid();
        grid.setFocus();
        grid.setCurrentIndex(grid.model()->index(row - 1, col - 1));
    }

    // Clicks a PLU cell (TextTable numbering) as the operator does.
    void Click(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        TableGrid& grid = m_form->PLUGrid();
        const QModelIndex index = grid.model()->index(row - 1, col - 1);
        grid.scrollTo(index);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, mods, grid.visualRect(index).center());
    }

    // Types text over the current PLU cell and presses Enter.
    void TypeCell(int col, int row, const QString& text)
    {
        GoTo(col, row);
        Type(text);
        Key(Qt::Key_Return);
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;

private:
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(MainEditingTest, UndoAndRedoRestoreTypedCellsAndModifiedFollowsTheHistory)
{
    const QString path = FilePath(QStringLiteral("shop.PLU"));
    // Undo while still typing the first change takes back the typing, and
    // redo brings it back.
    GoTo(Name, 3);
    Type(QStringLiteral("Plums"));
    ASSERT_EQ(Form().PLUGrid().CurrentState(), TableGrid::State::Editing);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Plu().Cell(Name, 3), "");
    EXPECT_FALSE(Modified());
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Plu().Cell(Name, 3), "Plums");
    EXPECT_TRUE(Modified());

    TypeCell(Name, 1, QStringLiteral("Apples"));
    TypeCell(Name, 2, QStringLiteral("Pears"));
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(Form().isWindowModified());
    EXPECT_TRUE(Form().findChild<QLabel*>(QStringLiteral("ModifiedStatus"))->isVisibleTo(&Form()));
    dialogs.saveNames << path;
    Form().SaveItemClick();
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Form().isWindowModified());

    // Ctrl+Z takes back the last committed cell, cursor on it.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Plu().Cell(Name, 2), "");
    EXPECT_EQ(Plu().Cell(Name, 1), "Apples");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(1, Name - 1));
    // Redo (Ctrl+Shift+Z) back to the saved state clears Modified again.
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Plu().Cell(Name, 2), "Pears");
    EXPECT_FALSE(Modified());
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Plu().Cell(Name, 2), "Pears");

    // Open starts a fresh history.
    dialogs.openNames << path;
    messages.answers = {SaveAnswer::No};
    Form().OpenItemClick();
    EXPECT_FALSE(Action("UndoItem")->isEnabled());
    EXPECT_EQ(Plu().Cell(Name, 3), "Plums");
}

TEST_F(MainEditingTest, EveryKindOfChangeSetsModifiedAndIsOneUndoStep)
{
    // Typing that Escape takes back leaves nothing unsaved.
    GoTo(Name, 50);
    Type(QStringLiteral("Figs"));
    EXPECT_TRUE(Modified());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Modified());

    // Delete over a selection, then Exit asks the save prompt.
    Plu().SetCell(Name, 1, QStringLiteral("Apples"));
    Plu().SetCell(Name, 2, QStringLiteral("Pears"));
    Form().History().Reset();
    GoTo(Name, 1);
    Form().PLUGrid().SetCellEditing(false);
    Form().PLUGrid().selectionModel()->select(
        QItemSelection(Plu().index(0, Name - 1), Plu().index(1, Name - 1)),
        QItemSelectionModel::ClearAndSelect);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Plu().Cell(Name, 2), "");
    EXPECT_TRUE(Modified());
    messages.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(Form().close());
    EXPECT_EQ(messages.questions.size(), 1);
    Form().UndoItemClick();
    EXPECT_EQ(Plu().Cell(Name, 1), "Apples");
    EXPECT_EQ(Plu().Cell(Name, 2), "Pears");
    EXPECT_FALSE(Modified());

    // The test-data fill is one step over all three tables.
    Form().FillTestDataClick();
    EXPECT_TRUE(Modified());
    EXPECT_NE(Plu().Cell(Name, 3000), "");
    Form().UndoItemClick();
    EXPECT_EQ(Plu().Cell(Name, 3000), "");
    EXPECT_EQ(Plu().Cell(Name, 1), "Apples");
    EXPECT_EQ(Form().RecyclingTable(), RecyTable());
}

TEST_F(MainEditingTest, CopyAndPasteMoveTabSeparatedBlocksThroughTheCellRules)
{
    TableGrid& grid = Form().PLUGrid();
    Plu().SetCell(Name, 1, QStringLiteral("Apples"));
    Plu().SetCell(UnitPrice, 1, QStringLiteral("1.50"));
    Plu().SetCell(Name, 2, QStringLiteral("Pears"));
    Plu().SetCell(UnitPrice, 2, QStringLiteral("2.00"));
    GoTo(Name, 1);
    grid.SetCellEditing(false);
    grid.selectionModel()->select(QItemSelection(Plu().index(0, Name - 1), Plu().index(1, UnitPrice - 1)),
                                  QItemSelectionModel::ClearAndSelect);
    Form().CopyItemClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Apples\t1.50\nPears\t2.00\n");

    // Pasted at row 10: normalised as when typed, one undo step.
    GoTo(Name, 10);
    Form().PasteItemClick();
    EXPECT_EQ(Plu().Cell(Name, 11), "Pears");
    EXPECT_EQ(Plu().Cell(UnitPrice, 11), "2.00");
    EXPECT_TRUE(Modified());
    Form().UndoItemClick();
    EXPECT_EQ(Plu().Cell(Name, 10), "");
    EXPECT_EQ(Plu().Cell(Name, 11), "");

    // The hidden Flag column is passed over.
    QGuiApplication::clipboard()->setText(QStringLiteral("5\t7\r\n6\t8\r\n"));
    GoTo(Stocks, 2999);
    Form().PasteItemClick();
    EXPECT_EQ(Plu().Cell(Stocks, 3000), "6.000");
    EXPECT_EQ(Plu().Cell(Flag, 3000), "0");
    EXPECT_EQ(Plu().Cell(Quantity, 3000), "8");
    EXPECT_TRUE(messages.errors.isEmpty());

    // A block that does not fit is refused as a whole, saying so.
    QStringList lines;
    for (int n = 1; n <= 4; ++n)
        lines << QStringList({"4000417025005", "Figs", "1.00", "1", "0", "0", "0", "0", "0"}).join('\t');
    QGuiApplication::clipboard()->setText(lines.join('\n'));
    GoTo(Name, 2999);
    Form().PasteItemClick();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].contains(QStringLiteral("does not fit"))) << messages.errors[0].toStdString();
    EXPECT_EQ(Plu().Cell(Name, 2999), "");
    EXPECT_EQ(Plu().Cell(Barcode, 3000), "");
    messages.errors.clear();

    // A row of an exported sheet holds the Flag the grid hides: its cells go
    // to the columns an import of the sheet fills.
    QGuiApplication::clipboard()->setText(QStringLiteral("4000417025005\tMilk 1l\t1.19\t2\t5.000\t1\t12.000\t11.00\r\n"));
    GoTo(Barcode, 30);
    Form().PasteItemClick();
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join('\n').toStdString();
    EXPECT_EQ(Plu().Cell(Name, 30), "Milk 1l");
    EXPECT_EQ(Plu().Cell(Stocks, 30), "5.000");
    EXPECT_EQ(Plu().Cell(Flag, 30), "1");
    EXPECT_EQ(Plu().Cell(Quantity, 30), "12.000");
    EXPECT_EQ(Plu().Cell(Total, 30), "11.00");

    // One refused cell: nothing changes, and the refusals are listed.
    QGuiApplication::clipboard()->setText(QStringLiteral("Figs\t3.00\nDates\t9999999\nKiwis\t1x\n"));
    GoTo(Name, 20);
    Form().PasteItemClick();
    EXPECT_EQ(Plu().Cell(Name, 20), "");
    EXPECT_EQ(Plu().Cell(UnitPrice, 20), "0.00");
    ASSERT_EQ(messages.errors.size(), 1);
    const QString title = Plu().headerData(UnitPrice - 1, Qt::Horizontal).toString();
    EXPECT_TRUE(messages.errors[0].contains(QStringLiteral("Row 21, %1").arg(title))) << messages.errors[0].toStdString();
    EXPECT_TRUE(messages.errors[0].contains(QStringLiteral("Row 22, %1").arg(title)));

    // Cut copies and resets to the defaults.
    GoTo(UnitPrice, 3000);
    grid.SetCellEditing(false);
    Form().CutItemClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.00\n");
    GoTo(Stocks, 3000);
    grid.SetCellEditing(false);
    Form().CutItemClick();
    EXPECT_EQ(Plu().Cell(Stocks, 3000), "0.000");
}

TEST_F(MainEditingTest, FindGoesFromMatchToMatchAndTheFilterKeepsRowNumbers)
{
    Plu().SetCell(Name, 5, QStringLiteral("Green apples"));
    Plu().SetCell(Barcode, 40, QStringLiteral("4000417025005"));
    Plu().SetCell(Name, 900, QStringLiteral("APPLE juice"));
    Form().DeptmentTable().SetCell(1, 2, QStringLiteral("Apples and pears"));
    Form().History().Reset();

    Action("FindItem")->trigger();
    FindBar& bar = Form().Finder();
    EXPECT_TRUE(bar.isVisible());
    Type(QStringLiteral("apple"));
    EXPECT_EQ(bar.MatchCount(), 3);
    Key(Qt::Key_Return);
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(4, Name - 1));
    Key(Qt::Key_Return);
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(899, Name - 1));
    Key(Qt::Key_Return);
    EXPECT_EQ(Form().DeptmentGrid().currentIndex().row(), 1);
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(899, Name - 1));

    bar.SetFilter(true);
    EXPECT_FALSE(Form().PLUGrid().isRowHidden(4));
    EXPECT_TRUE(Form().PLUGrid().isRowHidden(5));
    EXPECT_EQ(bar.ShownPluRows(), std::vector<int>({5, 900}));
    EXPECT_EQ(Plu().headerData(899, Qt::Vertical).toInt(), 900);
    EXPECT_EQ(Plu().Cell(Name, 900), "APPLE juice");
    bar.SetText(QStringLiteral("4000417"));
    EXPECT_EQ(bar.ShownPluRows(), std::vector<int>({40}));
    bar.SetText(QStringLiteral("7"));
    EXPECT_EQ(bar.ShownPluRows(), std::vector<int>({7, 40}));
    bar.SetText(QString());
    EXPECT_EQ(bar.ShownPluRows().size(), 3000u);
    EXPECT_FALSE(Modified());

    // Go to PLU follows the grid's rules: a refused cell keeps the cursor.
    EXPECT_TRUE(Form().GoToPlu(2500));
    EXPECT_EQ(Form().PLUGrid().currentIndex().row(), 2499);
    EXPECT_FALSE(Form().GoToPlu(3001));
    GoTo(UnitPrice, 7);
    Type(QStringLiteral("99999999"));
    Form().PLUGrid().SetBeep([] {});
    EXPECT_FALSE(Form().GoToPlu(1));
    EXPECT_EQ(Form().PLUGrid().currentIndex().row(), 6);
}

TEST_F(MainEditingTest, BulkPriceChangeLeavesRefusedRowsAloneAndIsOneUndoStep)
{
    Plu().SetCell(Name, 1, QStringLiteral("Apples"));
    Plu().SetCell(UnitPrice, 1, QStringLiteral("1.00"));
    Plu().SetCell(Department, 1, QStringLiteral("2"));
    Plu().SetCell(Name, 2, QStringLiteral("Pears"));
    Plu().SetCell(UnitPrice, 2, QStringLiteral("2.19"));
    Plu().SetCell(Name, 3, QStringLiteral("Gold"));
    Plu().SetCell(UnitPrice, 3, QStringLiteral("999000.00"));
    Plu().SetCell(Name, 5, QStringLiteral("Bottle deposit"));
    Plu().SetCell(UnitPrice, 5, QStringLiteral("-1.50"));
    Plu().SetCell(UnitPrice, 4, QStringLiteral("5.00")); // unnamed: left alone
    Form().History().Reset();

    // Every named PLU up by 10 %: the gold bar would pass 999999.99 and the
    // deposit is negative; neither keeps the others from changing.
    OnNextModal<TPriceChangeDlg>([](TPriceChangeDlg& dialog) {
        dialog.SetChange({PriceChange::Operation::AddPercent, Hundredths(1000), PriceChange::Rounding::EndIn99});
        EXPECT_TRUE(dialog.HasProblems());
        EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("SummaryLBL"))->text(),
                  "2 prices change; 1 new price cannot be stored; 1 negative price is left out.");
        EXPECT_EQ(PreviewRows(dialog),
                  QStringList({"1|Apples|1.00|1.99|", "2|Pears|2.19|2.99|",
                               "3|Gold|999000.00|1098900.99|the new price cannot be stored (at most 999999.99)",
                               "5|Bottle deposit|-1.50||a negative price, as for a deposit return, is left out"}));
        ASSERT_EQ(dialog.Changes().size(), 2u);
        dialog.accept();
    });
    Form().PriceItemClick();
    EXPECT_EQ(Plu().Cell(UnitPrice, 1), "1.99");
    EXPECT_EQ(Plu().Cell(UnitPrice, 2), "2.99");
    EXPECT_EQ(Plu().Cell(UnitPrice, 3), "999000.00");
    EXPECT_EQ(Plu().Cell(UnitPrice, 4), "5.00");
    EXPECT_EQ(Plu().Cell(UnitPrice, 5), "-1.50");
    EXPECT_TRUE(Modified());
    Form().UndoItemClick();
    EXPECT_EQ(Plu().Cell(UnitPrice, 1), "1.00");
    EXPECT_EQ(Plu().Cell(UnitPrice, 2), "2.19");
    EXPECT_FALSE(Modified());

    // Nothing to change: OK stays off; the department scope sees only Apples.
    OnNextModal<TPriceChangeDlg>([](TPriceChangeDlg& dialog) {
        dialog.SetScope(TPriceChangeDlg::Scope::Department, 2);
        dialog.SetChange({PriceChange::Operation::SetPrice, Hundredths(100), PriceChange::Rounding::None});
        EXPECT_TRUE(dialog.Plan().empty());
        EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
        dialog.SetChange({PriceChange::Operation::SubtractAmount, Hundredths(1), PriceChange::Rounding::EndIn9});
        ASSERT_EQ(dialog.Plan().size(), 1u);
        EXPECT_EQ(dialog.Plan()[0].after, "0.99");
        dialog.reject();
    });
    Form().PriceItemClick();
    EXPECT_EQ(Plu().Cell(UnitPrice, 1), "1.00");
}

// Find "er" with "Show matching rows only": PLUs 2, 16 and 18 are shown, and
// every command acts on them alone.
TEST_F(MainEditingTest, WithMatchingRowsOnlyEveryCommandActsOnTheRowsShown)
{
    for (int n = 1; n <= 20; ++n) {
        Plu().SetCell(Name, n, QStringLiteral("Plum %1").arg(n));
        Plu().SetCell(UnitPrice, n, QStringLiteral("1.00"));
    }
    Plu().SetCell(Name, 2, QStringLiteral("Peppers"));
    Plu().SetCell(Name, 16, QStringLiteral("Cherries"));
    Plu().SetCell(Name, 18, QStringLiteral("Berries"));
    Form().History().Reset();
    const auto untouched = [this] {
        for (int n = 3; n <= 17; ++n) {
            if (n != 16 && Plu().Cell(Name, n) != QStringLiteral("Plum %1").arg(n))
                return false;
        }
        return true;
    };

    Action("FindItem")->trigger();
    Type(QStringLiteral("er"));
    Form().Finder().SetFilter(true);
    ASSERT_EQ(Form().Finder().ShownPluRows(), (std::vector<int>{2, 16, 18}));

    Click(Name, 2);
    Click(Name, 18, Qt::ShiftModifier);
    Form().CopyItemClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Peppers\nCherries\nBerries\n");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Plu().Cell(Name, 2), "");
    EXPECT_EQ(Plu().Cell(Name, 18), "");
    EXPECT_TRUE(untouched());
    Form().UndoItemClick();
    EXPECT_EQ(Plu().Cell(Name, 16), "Cherries");

    // Selected rows of a price change are the shown ones.
    Click(Name, 2);
    Click(Name, 18, Qt::ShiftModifier);
    std::vector<int> selected;
    OnNextModal<TPriceChangeDlg>([&selected](TPriceChangeDlg& dialog) {
        dialog.SetScope(TPriceChangeDlg::Scope::Selected);
        selected = dialog.ScopeRows();
        dialog.reject();
    });
    Form().PriceItemClick();
    EXPECT_EQ(selected, (std::vector<int>{2, 16, 18}));
    QApplication::setActiveWindow(&Form());

    // Three lines pasted at PLU 2 go to the three rows shown.
    QGuiApplication::clipboard()->setText(QStringLiteral("Apricots\nDates\nFigs\n"));
    Click(Name, 2);
    Form().PasteItemClick();
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join('\n').toStdString();
    EXPECT_EQ(Plu().Cell(Name, 2), "Apricots");
    EXPECT_EQ(Plu().Cell(Name, 16), "Dates");
    EXPECT_EQ(Plu().Cell(Name, 18), "Figs");
    EXPECT_TRUE(untouched());

    // Go to a hidden PLU shows every row first, and says so.
    EXPECT_TRUE(Form().GoToPlu(5));
    EXPECT_FALSE(Form().Finder().IsFiltering());
    EXPECT_FALSE(Form().PLUGrid().isRowHidden(4));
    EXPECT_TRUE(Form().statusBar()->currentMessage().contains(QStringLiteral("PLU 5")))
        << Form().statusBar()->currentMessage().toStdString();
    EXPECT_EQ(Form().PLUGrid().currentIndex().row(), 4);
}

} // namespace

namespace {

TEST_F(MainEditingTest, UndoAndRedoNameTheStepTheyTakeBackOrRepeat)
{
    EXPECT_EQ(Action("UndoItem")->text(), "&Undo");
    TypeCell(Name, 1, QStringLiteral("Apples"));
    EXPECT_EQ(Action("UndoItem")->text(), "&Undo Typing");
    Plu().SetCell(UnitPrice, 1, QStringLiteral("1.00"));
    OnNextModal<TPriceChangeDlg>([](TPriceChangeDlg& dialog) {
        dialog.SetChange({PriceChange::Operation::AddAmount, Hundredths(10), PriceChange::Rounding::None});
        dialog.accept();
    });
    Form().PriceItemClick();
    EXPECT_EQ(Action("UndoItem")->text(), "&Undo Change prices");
    EXPECT_EQ(Action("RedoItem")->text(), "&Redo");
    Form().UndoItemClick();
    EXPECT_EQ(Action("UndoItem")->text(), "&Undo Typing");
    EXPECT_EQ(Action("RedoItem")->text(), "&Redo Change prices");

    // A caption the language file gave keeps its own words.
    Action("UndoItem")->setText(QStringLiteral("&Zurück"));
    Form().RedoItemClick();
    EXPECT_EQ(Action("UndoItem")->text(), "&Zurück Change prices");
    EXPECT_EQ(Action("RedoItem")->text(), "&Redo");
    Form().UndoItemClick();
    Form().UndoItemClick();
    EXPECT_EQ(Action("UndoItem")->text(), "&Zurück");
}

TEST_F(MainEditingTest, FindCountsInWordsAndFollowsEditsOfTheTables)
{
    Plu().SetCell(Name, 5, QStringLiteral("Green apples"));
    Form().History().Reset();
    Action("FindItem")->trigger();
    FindBar& bar = Form().Finder();
    auto* count = bar.findChild<QLabel*>(QStringLiteral("FindCount"));
    ASSERT_NE(count, nullptr);
    bar.SetText(QStringLiteral("apple"));
    EXPECT_EQ(count->text(), "1 match");

    // A typed name that matches is found without searching again.
    TypeCell(Name, 7, QStringLiteral("Apple pie"));
    QTRY_COMPARE(count->text(), QStringLiteral("2 matches"));
    ASSERT_TRUE(bar.GoToNext());
    EXPECT_EQ(count->text(), "1 of 2");
    ASSERT_TRUE(bar.GoToNext());
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(6, Name - 1));
    EXPECT_EQ(count->text(), "2 of 2");
    // Undo takes the match away again; a match added before the current one
    // keeps the cursor's match current.
    Form().UndoItemClick();
    QTRY_COMPARE(count->text(), QStringLiteral("1 match"));
    Form().RedoItemClick();
    QTRY_COMPARE(count->text(), QStringLiteral("2 matches"));
    bar.GoToNext();
    bar.GoToNext();
    TypeCell(Name, 1, QStringLiteral("Crab apple"));
    QTRY_COMPARE(count->text(), QStringLiteral("3 of 3"));
    EXPECT_TRUE(bar.GoToNext());
    EXPECT_EQ(Form().PLUGrid().currentIndex(), Plu().index(0, Name - 1));
}

TEST_F(MainEditingTest, TheRefusalLeavesTheStatusBarWhenTheTypingIsAbandoned)
{
    Form().PLUGrid().SetBeep([] {});
    GoTo(UnitPrice, 3);
    Type(QStringLiteral("99999999"));
    Key(Qt::Key_Return);
    EXPECT_FALSE(Form().statusBar()->currentMessage().isEmpty());
    Key(Qt::Key_Escape);
    EXPECT_EQ(Form().statusBar()->currentMessage(), "");
    EXPECT_EQ(Plu().Cell(UnitPrice, 3), "0.00");
}

TEST_F(MainEditingTest, ChangePricesListsEveryChangedRowOffersTheFilterOnlyWhenOnAndRemembersItsChoices)
{
    for (int n = 1; n <= 40; ++n) {
        Plu().SetCell(Name, n, QStringLiteral("Item %1").arg(n));
        Plu().SetCell(UnitPrice, n, QStringLiteral("1.00"));
    }
    Form().History().Reset();
    bool shownOffered = true;
    int previewRows = 0;
    QString summary;
    OnNextModal<TPriceChangeDlg>([&](TPriceChangeDlg& dialog) {
        shownOffered = dialog.findChild<QRadioButton*>(QStringLiteral("ShownRowsBtn"))->isVisibleTo(&dialog);
        dialog.SetScope(TPriceChangeDlg::Scope::Department, 1);
        dialog.SetChange({PriceChange::Operation::AddAmount, Hundredths(25), PriceChange::Rounding::To005});
        previewRows = dialog.findChild<QTableWidget*>(QStringLiteral("PreviewGrid"))->rowCount();
        summary = dialog.findChild<QLabel*>(QStringLiteral("SummaryLBL"))->text();
        dialog.accept();
    });
    Form().PriceItemClick();
    EXPECT_FALSE(shownOffered);
    // All forty, not the first dozen.
    EXPECT_EQ(previewRows, 40);
    EXPECT_EQ(summary, "40 prices change.");
    EXPECT_EQ(Plu().Cell(UnitPrice, 40), "1.25");

    // Next time: the same choices, and with the filter on its rows are offered.
    Form().Finder().Open();
    Form().Finder().SetText(QStringLiteral("Item 3"));
    Form().Finder().SetFilter(true);
    bool remembered = false;
    std::vector<int> shown;
    OnNextModal<TPriceChangeDlg>([&](TPriceChangeDlg& dialog) {
        shownOffered = dialog.findChild<QRadioButton*>(QStringLiteral("ShownRowsBtn"))->isVisibleTo(&dialog);
        shown = dialog.ScopeRows();
        remembered = dialog.findChild<QComboBox*>(QStringLiteral("OperationBox"))->currentIndex()
                         == int(PriceChange::Operation::AddAmount)
                     && dialog.findChild<QComboBox*>(QStringLiteral("RoundingBox"))->currentIndex()
                            == int(PriceChange::Rounding::To005);
        EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("DepartmentEdit"))->value(), 1);
        dialog.SetChange({PriceChange::Operation::SubtractAmount, Hundredths(500), PriceChange::Rounding::None});
        summary = dialog.findChild<QLabel*>(QStringLiteral("SummaryLBL"))->text();
        dialog.reject();
    });
    Form().PriceItemClick();
    EXPECT_TRUE(shownOffered);
    EXPECT_TRUE(remembered);
    // The filter's rows are chosen while it is on: PLU 3 and 30 to 39.
    EXPECT_EQ(shown.size(), 11u);
    EXPECT_EQ(summary, "0 prices change; 11 new prices would fall below zero.");
}

} // namespace
