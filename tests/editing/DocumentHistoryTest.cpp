#include "editing/DocumentHistory.h"
#include "editing/EditedDocument.h"
#include "files/FileError.h"

#include "model/Columns.h"
#include "model/TextTable.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DocumentHistoryTest : public testing::Test
{
protected:
    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
    RecyTable recy;
    DocumentHistory history{plu, dept, recy};
};

TEST_F(DocumentHistoryTest, AChangeOfEveryRowIsOneStepThatUndoesAndRedoesExactly)
{
    plu.SetCell(PLUColumn::Name, 7, QStringLiteral("Kept"));
    history.Reset();
    QSignalSpy applied(&history, &DocumentHistory::stepApplied);

    EXPECT_TRUE(history.Record(QStringLiteral("Import"), [&] {
        for (int row = 1; row < plu.RowCount(); ++row)
            plu.SetCell(PLUColumn::Barcode, row, QString::number(row));
        dept.SetCell(DeptmentColumn::Name, 9, QStringLiteral("Fish"));
        recy.SetCell(RecyColumn::PluNumber, 3, QStringLiteral("12"));
    }));
    EXPECT_EQ(history.Stack().count(), 1);
    EXPECT_EQ(history.Stack().undoText(), "Import");
    EXPECT_FALSE(history.Stack().isClean());

    history.Stack().undo();
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 1), "");
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 3000), "");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "Kept");
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 9), "");
    EXPECT_EQ(recy, RecyTable());
    EXPECT_TRUE(history.Stack().isClean());
    ASSERT_EQ(applied.size(), 1);
    const auto focus = applied[0][0].value<EditFocus>();
    EXPECT_EQ(focus.table, &plu);
    EXPECT_EQ(focus.col, PLUColumn::Barcode);
    EXPECT_EQ(focus.row, 1);

    history.Stack().redo();
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 3000), "3000");
    EXPECT_EQ(recy.Cell(RecyColumn::PluNumber, 3), "12");
}

TEST_F(DocumentHistoryTest, EditsSinceTheLastStepJoinTheNextAndEmptyChangesPushNothing)
{
    EXPECT_FALSE(history.Record(QStringLiteral("Nothing"), [] {}));
    EXPECT_FALSE(history.Record(QStringLiteral("Same"),
                                [&] { plu.SetCell(PLUColumn::UnitPrice, 1, plu.Cell(PLUColumn::UnitPrice, 1)); }));
    EXPECT_EQ(history.Stack().count(), 0);

    // A cell editor writes into the table; committing records it.
    plu.SetCell(PLUColumn::Name, 2, QStringLiteral("Typed"));
    EXPECT_TRUE(history.Record(QStringLiteral("Typing")));
    // A Record inside a change joins the outer step.
    history.Record(QStringLiteral("Outer"), [&] {
        plu.SetCell(PLUColumn::Name, 3, QStringLiteral("A"));
        EXPECT_FALSE(history.Record(QStringLiteral("Inner"),
                                    [&] { plu.SetCell(PLUColumn::Name, 4, QStringLiteral("B")); }));
    });
    EXPECT_EQ(history.Stack().count(), 2);
    history.MarkSaved();
    history.Stack().undo();
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), "Typed");
    EXPECT_FALSE(history.Stack().isClean());

    // Reset starts over from the tables as they are.
    history.Reset();
    EXPECT_EQ(history.Stack().count(), 0);
    EXPECT_TRUE(history.Stack().isClean());
    EXPECT_FALSE(history.Record(QStringLiteral("Nothing")));
}

// Modified is the history's: edits not recorded yet count, an undo back to
// the saved state clears it, and no way of replacing the tables leaves a step
// that could reach back into the tables replaced.
TEST(EditedDocumentTest, EveryReplacementOfTheTablesStartsAFreshHistory)
{
    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
    RecyTable recy;
    EditedDocument document(plu, dept, recy);
    DocumentHistory& history = document.History();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shop.PLU"));

    EXPECT_FALSE(document.Modified());
    plu.SetCell(PLUColumn::Name, 7, QStringLiteral("Typed"));
    EXPECT_TRUE(document.Modified()) << "a cell being typed in";
    history.Record(QStringLiteral("Typing"));
    history.Stack().undo();
    EXPECT_FALSE(document.Modified());
    history.Stack().redo();

    // Tables from the register: saved nowhere, and nothing to undo.
    document.ReplaceTables([&] { plu.SetCell(PLUColumn::Name, 4, QStringLiteral("Register")); });
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "");
    EXPECT_FALSE(history.Stack().canUndo());
    EXPECT_TRUE(document.Modified());
    history.Stack().undo();
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "Register");
    EXPECT_TRUE(document.Modified());

    document.SaveDocumentAs(path);
    EXPECT_FALSE(document.Modified());
    history.Record(QStringLiteral("Typing"), [&] { plu.SetCell(PLUColumn::Name, 5, QStringLiteral("Later")); });
    document.LoadDocument(path);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 5), "");
    EXPECT_FALSE(history.Stack().canUndo());
    EXPECT_FALSE(document.Modified());

    // A file that cannot be read leaves nothing to undo either.
    history.Record(QStringLiteral("Typing"), [&] { plu.SetCell(PLUColumn::Name, 6, QStringLiteral("Lost")); });
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.PLU")));
    EXPECT_THROW(document.LoadDocument(folder.filePath(QStringLiteral("folder.PLU"))), FileError);
    EXPECT_FALSE(history.Stack().canUndo());

    history.Record(QStringLiteral("Typing"), [&] { plu.SetCell(PLUColumn::Name, 6, QStringLiteral("New")); });
    document.ClearDocument();
    EXPECT_FALSE(history.Stack().canUndo());
    EXPECT_FALSE(document.Modified());
}

} // namespace
