#include "widgets/TableGrid.h"

#include "model/TextTable.h"
#include "support/KeyInput.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// PLU grid columns (the row-number column is the grid's header).
constexpr int Barcode = 0, Name = 1, Price = 2, Department = 3, Stocks = 4, Flag = 5,
              Quantity = 6, Total = 7;
// Department grid columns.
constexpr int DeptName = 0, Tax = 1;

QString Decimal()
{
    return QString(QLocale().decimalPoint());
}

// A window with both grids and another control to move the focus to.
class TableGridTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&m_window);
        m_plu = new TableGrid;
        m_plu->setObjectName(QStringLiteral("PLUGrid"));
        m_plu->SetTextTable(&m_pluTable);
        m_dept = new TableGrid;
        m_dept->setObjectName(QStringLiteral("DeptmentGrid"));
        m_dept->SetTextTable(&m_deptTable);
        m_elsewhere = new QLineEdit;
        layout->addWidget(m_plu);
        layout->addWidget(m_dept);
        layout->addWidget(m_elsewhere);
        for (TableGrid* grid : {m_plu, m_dept}) {
            grid->SetBeep([this] { ++m_beeps; });
            QObject::connect(grid, &TableGrid::textTyped, [this] { ++m_modified; });
        }
        m_window.resize(700, 700);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_plu->setFocus();
    }

    static void GoTo(TableGrid* grid, int row, int column)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    }

    static QPoint CellCentre(TableGrid* grid, int row, int column)
    {
        const QModelIndex index = grid->model()->index(row, column);
        grid->scrollTo(index);
        return grid->visualRect(index).center();
    }

    static void Click(TableGrid* grid, int row, int column,
                      Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, CellCentre(grid, row, column));
    }

    static void SetCell(TableGrid* grid, int row, int column, const QString& text)
    {
        grid->model()->setData(grid->model()->index(row, column), text);
    }

    static QString Cell(const TableGrid* grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }

    static QPoint Current(const TableGrid* grid)
    {
        return {grid->currentIndex().column(), grid->currentIndex().row()};
    }

    static QString EditorText(const TableGrid* grid)
    {
        return grid->Editor() ? grid->Editor()->text() : QStringLiteral("<closed>");
    }

    TextTable m_pluTable{TableKind::PLU};
    TextTable m_deptTable{TableKind::Department};
    QWidget m_window;
    TableGrid* m_plu = nullptr;
    TableGrid* m_dept = nullptr;
    QLineEdit* m_elsewhere = nullptr;
    int m_beeps = 0;
    int m_modified = 0;
};

TEST_F(TableGridTest, TypingMarksTheDocumentModifiedAndNothingElseDoes)
{
    // A new grid is ready: a key opens the editor on the cell without
    // emptying it; what is typed there is work to save.
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Ready);
    SetCell(m_plu, 0, Barcode, QStringLiteral("123"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Editing);
    EXPECT_GT(m_modified, 0);
    Type(QStringLiteral("0042"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(m_plu, 0, Barcode), "42");
    EXPECT_EQ(Current(m_plu), QPoint(Name, 0));
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);
    m_modified = 0;

    // F2, a double-click and Delete change nothing that needs saving.
    Key(Qt::Key_F2);
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Editing);
    Key(Qt::Key_Return);
    Click(m_plu, 2, Name);
    QTest::mouseDClick(m_plu->viewport(), Qt::LeftButton, {}, CellCentre(m_plu, 2, Name));
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Editing);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Delete);
    EXPECT_EQ(m_modified, 0);

    // Typing over a browsed cell replaces its text and marks the document.
    SetCell(m_plu, 3, Name, QStringLiteral("Apple juice"));
    GoTo(m_plu, 3, Name);
    Type(QStringLiteral("Pear"));
    EXPECT_EQ(Cell(m_plu, 3, Name), "Pear");
    EXPECT_GT(m_modified, 0);

    // Escape gives the cell its text from before the edit back.
    Key(Qt::Key_Escape);
    EXPECT_EQ(Cell(m_plu, 3, Name), "Apple juice");
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);
}

TEST_F(TableGridTest, ARefusedValueKeepsTheCursorAndReopensTheEditor)
{
    QStringList reasons;
    QObject::connect(m_plu, &TableGrid::cellRefused, [&reasons](const QString& why) { reasons << why; });
    GoTo(m_plu, 5, Department);
    Type(QStringLiteral("0"));
    const auto expectRefused = [this](int beeps) {
        EXPECT_EQ(m_beeps, beeps);
        EXPECT_EQ(Current(m_plu), QPoint(Department, 5));
        EXPECT_EQ(EditorText(m_plu), "0");
        EXPECT_EQ(QApplication::focusWidget(), m_plu->Editor());
    };
    Key(Qt::Key_Return);
    expectRefused(1);
    Key(Qt::Key_Up);
    expectRefused(2);
    Key(Qt::Key_Down);
    expectRefused(3);
    Key(Qt::Key_Tab);
    expectRefused(4);
    Click(m_plu, 8, Name);
    expectRefused(5);
    m_elsewhere->setFocus();
    expectRefused(6);
    EXPECT_TRUE(m_plu->selectionModel()->isSelected(m_plu->model()->index(5, Department)));
    EXPECT_FALSE(m_plu->selectionModel()->isSelected(m_plu->model()->index(8, Name)));

    // Corrected, the same Enter goes on.
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("7"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(m_plu, 5, Department), "7");
    EXPECT_EQ(Current(m_plu), QPoint(Stocks, 5));
    EXPECT_EQ(m_beeps, 6);
    ASSERT_EQ(reasons.size(), 7) << "six refusals, then the all-clear";
    EXPECT_EQ(reasons.first(), "Department: a whole number from 1 to 9");
    EXPECT_EQ(reasons.last(), QString());

    // A price above the limit, left by Down.
    GoTo(m_plu, 6, Price);
    Type(QStringLiteral("1000000"));
    Key(Qt::Key_Down);
    EXPECT_EQ(m_beeps, 7);
    EXPECT_EQ(Current(m_plu), QPoint(Price, 6));
    EXPECT_EQ(EditorText(m_plu), "1000000");
    EXPECT_EQ(reasons.last(), "Unit price: at most 999999" + Decimal() + "99");
}

TEST_F(TableGridTest, APasteIsJudgedAsATypedCellIs)
{
    GoTo(m_plu, 2, Price);
    const std::vector<TableGrid::Refusal> refused = m_plu->PasteText(QStringLiteral("1e-7\t0\n"));
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].reason, "1e-7 is not a plain number: write it with digits and at most one \"" + Decimal() + "\"");
    EXPECT_EQ(refused[1].reason, "a whole number from 1 to 9");
    EXPECT_EQ(Cell(m_plu, 2, Price), "0" + Decimal() + "00") << "nothing was pasted";

    EXPECT_TRUE(m_plu->PasteText(QStringLiteral("1,5\t12\n")).size() == 1) << "a department of two digits";
    EXPECT_TRUE(m_plu->PasteText(QStringLiteral("1,5\t2\t2.5\n")).empty());
    EXPECT_EQ(Cell(m_plu, 2, Price), "1" + Decimal() + "50");
    EXPECT_EQ(Cell(m_plu, 2, Stocks), "2" + Decimal() + "500");
}

TEST_F(TableGridTest, AValueNeverEnteredIsCheckedWhenTheCursorLeavesIt)
{
    SetCell(m_plu, 9, Department, QStringLiteral("0")); // as loaded from a file
    GoTo(m_plu, 9, Department);
    EXPECT_EQ(m_beeps, 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(Current(m_plu), QPoint(Department, 9));
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Editing);
    EXPECT_EQ(EditorText(m_plu), "0");
    // Emptied, the cell takes its default and lets the cursor go.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Cell(m_plu, 9, Department), "1");
    EXPECT_EQ(Current(m_plu), QPoint(Stocks, 9));
}

TEST_F(TableGridTest, ARefusedExitDoesNotBounceBetweenTwoRefusingGrids)
{
    GoTo(m_dept, 2, Tax);
    GoTo(m_plu, 1, Department);
    SetCell(m_dept, 2, Tax, QStringLiteral("0")); // as loaded from a file
    Type(QStringLiteral("0"));
    Click(m_dept, 4, DeptName);
    QTest::mouseClick(m_dept->verticalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(5, m_dept->verticalHeader()->sectionViewportPosition(6) + 3));
    EXPECT_EQ(m_beeps, 2);
    EXPECT_EQ(QApplication::focusWidget(), m_plu->Editor());
    EXPECT_EQ(Current(m_dept), QPoint(Tax, 2));
    EXPECT_EQ(m_dept->CurrentState(), TableGrid::State::Browsing);
}

TEST_F(TableGridTest, EnterMovesRightPassingHiddenColumnsAndStopsAtTheEnd)
{
    GoTo(m_plu, 0, Stocks);
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(m_plu), QPoint(Quantity, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(m_plu), QPoint(Stocks, 0));
    m_plu->setCurrentIndex(m_plu->model()->index(0, Flag));
    EXPECT_EQ(Current(m_plu), QPoint(Quantity, 0));

    GoTo(m_plu, 0, Total);
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(m_plu), QPoint(Barcode, 1));

    GoTo(m_plu, 2999, Total);
    Type(QStringLiteral("12"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(m_plu), QPoint(Total, 2999));
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);

    // The department unit price is hidden and last: Enter on Tax stays.
    GoTo(m_dept, 3, Tax);
    Type(QStringLiteral("5"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(m_dept), QPoint(Tax, 3));
    EXPECT_EQ(Cell(m_dept, 3, Tax), "5");
    EXPECT_EQ(m_dept->CurrentState(), TableGrid::State::Browsing);
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(TableGridTest, UpAndDownAtTheEdgesOnlyEndTheEdit)
{
    GoTo(m_plu, 0, Name);
    Type(QStringLiteral("Tea"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Current(m_plu), QPoint(Name, 0));
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);
    EXPECT_EQ(Cell(m_plu, 0, Name), "Tea");

    GoTo(m_plu, 2999, Price);
    Type(QStringLiteral("5"));
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(m_plu), QPoint(Price, 2999));
    EXPECT_EQ(Cell(m_plu, 2999, Price), "5" + Decimal() + "00");

    Type(QStringLiteral("6"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Current(m_plu), QPoint(Price, 2998));
}

TEST_F(TableGridTest, DeleteResetsTheSelectedRectangleWithoutMarkingTheDocument)
{
    for (int row = 9; row <= 11; ++row) {
        SetCell(m_plu, row, Price, "5" + Decimal() + "00");
        SetCell(m_plu, row, Department, QStringLiteral("3"));
        SetCell(m_plu, row, Stocks, "2" + Decimal() + "500");
        SetCell(m_plu, row, Name, QStringLiteral("Kept"));
    }
    GoTo(m_plu, 9, Price);
    Click(m_plu, 11, Stocks, Qt::ShiftModifier);
    Key(Qt::Key_Delete);
    for (int row = 9; row <= 11; ++row) {
        EXPECT_EQ(Cell(m_plu, row, Price), "0" + Decimal() + "00");
        EXPECT_EQ(Cell(m_plu, row, Department), "1");
        EXPECT_EQ(Cell(m_plu, row, Stocks), "0" + Decimal() + "000");
        EXPECT_EQ(Cell(m_plu, row, Name), "Kept");
    }
    EXPECT_EQ(m_modified, 0);
}

TEST_F(TableGridTest, TheEditorTakesOnlyWhatTheColumnAndTheFilesAccept)
{
    GoTo(m_plu, 0, Name);
    Type(QStringLiteral("ABCDEFGHIJKLMNOPQR"));
    Type(QStringLiteral("S"));
    EXPECT_EQ(EditorText(m_plu), "ABCDEFGHIJKLMNOPQR");
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Type(QStringLiteral("S"));
    EXPECT_EQ(EditorText(m_plu), "ABCDEFGHIJKLMNOPQS");

    // One byte per character: the euro sign does not fit, e acute does.
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QString::fromUtf8("Caf\u00e9 \u20ac"));
    EXPECT_EQ(EditorText(m_plu), QString::fromUtf8("Caf\u00e9 "));
    QApplication::clipboard()->setText(QString::fromUtf8("\u20ac5 D\u00e9j\u00e0\tvu"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(m_plu, 0, Name), QString::fromUtf8("Caf\u00e9 5 D\u00e9j\u00e0vu"));
    Key(Qt::Key_Return);

    GoTo(m_plu, 0, Price);
    Type("12" + Decimal() + "5" + Decimal() + "-x-");
    EXPECT_EQ(EditorText(m_plu), "12" + Decimal() + "5-");
    Key(Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText("1a2" + Decimal() + "3" + Decimal() + "4");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(EditorText(m_plu), "12" + Decimal() + "34");

    // Either separator, typed or pasted, is the decimal separator.
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("1,5"));
    EXPECT_EQ(EditorText(m_plu), "1" + Decimal() + "5");
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("2.25"));
    EXPECT_EQ(EditorText(m_plu), "2" + Decimal() + "25");
    Key(Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("3,75"));
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(m_plu, 0, Price), "3" + Decimal() + "75");
}

TEST_F(TableGridTest, DraggingARowNumberMovesTheRowsData)
{
    SetCell(m_plu, 2, Name, QStringLiteral("Milk"));
    SetCell(m_plu, 3, Name, QStringLiteral("Bread"));
    QHeaderView* numbers = m_plu->verticalHeader();
    const int x = numbers->width() / 2;
    const QPoint from(x, numbers->sectionViewportPosition(2) + numbers->sectionSize(2) / 2);
    const QPoint to(x, numbers->sectionViewportPosition(5) + numbers->sectionSize(5) - 2);
    QTest::mousePress(numbers->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, numbers->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(numbers->viewport(), &move);
    QTest::mouseRelease(numbers->viewport(), Qt::LeftButton, {}, to);

    EXPECT_EQ(Cell(m_plu, 5, Name), "Milk");
    EXPECT_EQ(Cell(m_plu, 2, Name), "Bread");
    EXPECT_EQ(numbers->visualIndex(2), 2);
    EXPECT_EQ(numbers->visualIndex(5), 5);
    EXPECT_EQ(Current(m_plu).y(), 5);
}

// A key the column refuses over a browsed cell: a beep, and the cell keeps
// its value (it is not emptied, so Enter does not store the default).
TEST_F(TableGridTest, ARefusedFirstKeyOnABrowsedCellBeepsAndLeavesTheCell)
{
    SetCell(m_plu, 4, Price, "1" + Decimal() + "50");
    GoTo(m_plu, 4, Price);
    m_plu->SetCellEditing(false);
    ASSERT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);
    Type(QStringLiteral("x"));
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(Cell(m_plu, 4, Price), "1" + Decimal() + "50");
    EXPECT_EQ(m_plu->CurrentState(), TableGrid::State::Browsing);
    EXPECT_EQ(m_modified, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(m_plu, 4, Price), "1" + Decimal() + "50");

    // A key the column takes still replaces the text.
    GoTo(m_plu, 4, Price);
    m_plu->SetCellEditing(false);
    Type(QStringLiteral("2"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(m_plu, 4, Price), "2" + Decimal() + "00");
    EXPECT_EQ(m_beeps, 1);
}

// With rows hidden by a filter, selection, copy, Delete, paste and Enter act
// on the shown rows only, and the cursor leaves a row that goes.
TEST_F(TableGridTest, CommandsActOnTheShownRowsOnly)
{
    for (int row = 0; row < 20; ++row)
        SetCell(m_plu, row, Name, QStringLiteral("Name %1").arg(row + 1));
    GoTo(m_plu, 4, Name);
    std::vector<bool> shown(3000, false);
    for (const int row : {1, 15, 17})
        shown[std::size_t(row)] = true;
    m_plu->ShowOnlyRows(shown);
    EXPECT_EQ(Current(m_plu), QPoint(Name, 15)) << "off the hidden row, to the next shown one";
    EXPECT_EQ(m_plu->ShownRows(), (std::vector<int>{1, 15, 17}));
    EXPECT_EQ(m_plu->ShownRows(2, 1), std::vector<int>{15});

    Click(m_plu, 1, Name);
    Click(m_plu, 17, Name, Qt::ShiftModifier);
    EXPECT_EQ(m_plu->SelectedRows(), (std::vector<int>{1, 15, 17}));
    EXPECT_EQ(m_plu->SelectionText(), "Name 2\nName 16\nName 18\n");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Cell(m_plu, 1, Name), "");
    EXPECT_EQ(Cell(m_plu, 15, Name), "");
    EXPECT_EQ(Cell(m_plu, 17, Name), "");
    for (int row = 2; row < 15; ++row)
        EXPECT_EQ(Cell(m_plu, row, Name), QStringLiteral("Name %1").arg(row + 1)) << row;
    EXPECT_EQ(Cell(m_plu, 16, Name), "Name 17");

    GoTo(m_plu, 1, Name);
    EXPECT_TRUE(m_plu->PasteText(QStringLiteral("A\nB\nC\n")).empty());
    EXPECT_EQ(Cell(m_plu, 1, Name), "A");
    EXPECT_EQ(Cell(m_plu, 15, Name), "B");
    EXPECT_EQ(Cell(m_plu, 17, Name), "C");
    EXPECT_EQ(Cell(m_plu, 2, Name), "Name 3");
    const std::vector<TableGrid::Refusal> tooMany = m_plu->PasteText(QStringLiteral("1\n2\n3\n4\n"));
    ASSERT_EQ(tooMany.size(), 1u);
    EXPECT_TRUE(tooMany[0].column.isEmpty());
    EXPECT_TRUE(tooMany[0].reason.contains(QStringLiteral("does not fit"))) << tooMany[0].reason.toStdString();
    EXPECT_EQ(Cell(m_plu, 17, Name), "C");

    // Enter at the end of a row goes on to the next shown row.
    GoTo(m_plu, 1, Total);
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(m_plu), QPoint(Barcode, 15));

    m_plu->ShowOnlyRows({});
    EXPECT_EQ(m_plu->ShownRows().size(), 3000u);
}

} // namespace
