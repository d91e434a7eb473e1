#include "app/Main.h"
#include "app/ImportConfirmDlg.h"
#include "app/SheetDlg.h"
#include "support/ModalDialogs.h"

#include "AppTestSupport.h"
#include "model/Columns.h"
#include "model/Numbers.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace {

class FakeSheetDialogs : public ISheetDialogs
{
public:
    std::optional<SheetChoice> ChooseImport() override { return choice; }
    std::optional<SheetChoice> ChooseExport() override { return choice; }

    std::optional<SheetChoice> choice;
};

class MainSheetsTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        SetDecimalSeparator(u'.');
        form = std::make_unique<TMainForm>(&messages, &dialogs);
        form->SetSheetDialogs(&sheets);
    }
    void TearDown() override
    {
        form.reset();
        ProgramDirFixture::TearDown();
    }

    void Choose(TableKind table, const QString& name, bool allRows = false)
    {
        sheets.choice = SheetChoice{table, FilePath(name), allRows};
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    FakeSheetDialogs sheets;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainSheetsTest, ImportShowsWhatChangesAndAppliesOnlyWhenConfirmed)
{
    WriteFile(QStringLiteral("dept.csv"), "NO.,Name,Tax\n2,Fruit,3\n5,Meat,\n");
    Choose(TableKind::Department, QStringLiteral("dept.csv"));

    form->DeptmentTable().SetCell(DeptmentColumn::Tax, 2, QStringLiteral("1"));
    form->History().Reset();
    QString title, summary;
    QStringList rows;
    OnNextModal<TImportConfirmDlg>([&](TImportConfirmDlg& dialog) {
        title = dialog.windowTitle();
        summary = dialog.findChild<QLabel*>(QStringLiteral("SummaryLBL"))->text();
        rows = GridRows(dialog.Changes());
        dialog.reject();
    });
    form->ImportItemClick();
    EXPECT_EQ(title, "Import");
    EXPECT_EQ(summary, QStringLiteral("dept.csv: 2 lines read; in the department table 2 rows and 3 cells change."));
    // Each changed cell, before and after.
    EXPECT_EQ(rows, QStringList({"2|Name||Fruit", "2|Tax|1|3", "5|Name||Meat"}));
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Name, 2), QString());
    EXPECT_FALSE(form->CurrentDocument().Modified());

    OnNextModal<TImportConfirmDlg>([](TImportConfirmDlg& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    form->ImportItemClick();
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Name, 2), QStringLiteral("Fruit"));
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Tax, 2), QStringLiteral("3"));
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Name, 5), QStringLiteral("Meat"));
    EXPECT_TRUE(form->CurrentDocument().Modified());
    EXPECT_TRUE(messages.errors.isEmpty());

    // The import is one step: undo takes all of it back, to the saved state.
    form->UndoItemClick();
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Name, 2), QString());
    EXPECT_EQ(form->DeptmentTable().Cell(DeptmentColumn::Name, 5), QString());
    EXPECT_FALSE(form->CurrentDocument().Modified());
}

TEST_F(MainSheetsTest, RefusedSheetIsReportedAndChangesNothing)
{
    WriteFile(QStringLiteral("plu.csv"), "NO.,Name,Department\n1,Tea,1\n2,Coffee,12\n");
    Choose(TableKind::PLU, QStringLiteral("plu.csv"));
    form->ImportItemClick();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("plu.csv: 1 cell is refused; nothing was changed:\nLine 3, Department:"))
        << messages.errors[0].toStdString();
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), QString());
    EXPECT_FALSE(form->CurrentDocument().Modified());
}

TEST_F(MainSheetsTest, ExportWritesTheChosenTableFromTheFileMenu)
{
    form->PluTable().SetCell(PLUColumn::Name, 4, QStringLiteral("Soap"));
    Choose(TableKind::PLU, QStringLiteral("out.csv"));
    auto* menu = form->findChild<QMenu*>(QStringLiteral("FileMenu"));
    ASSERT_NE(menu, nullptr);
    QAction* exportItem = form->findChild<QAction*>(QStringLiteral("ExportItem"));
    ASSERT_TRUE(menu->actions().contains(exportItem));
    ASSERT_TRUE(menu->actions().contains(form->findChild<QAction*>(QStringLiteral("ImportItem"))));
    exportItem->trigger();
    QFile file(FilePath(QStringLiteral("out.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBFNO.,Barcode,Name,Unit price,Department,Stocks,Flag,Quantity,Total\r\n"
                                         "4,,Soap,0.00,1,0.000,0,0,0\r\n"));

    Choose(TableKind::PLU, QStringLiteral("missing/out.xlsx"));
    exportItem->trigger();
    EXPECT_EQ(messages.errors.size(), 1);
}

TEST_F(MainSheetsTest, AnExportedWorkbookComesBackUnchangedAndUtf16TextIsRead)
{
    form->PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Tea"));
    form->PluTable().SetCell(PLUColumn::UnitPrice, 1, QStringLiteral("2.50"));
    form->PluTable().SetCell(PLUColumn::Quantity, 1, QStringLiteral("12.000"));
    form->PluTable().SetCell(PLUColumn::Total, 1, QStringLiteral("11.00"));
    Choose(TableKind::PLU, QStringLiteral("plu.xlsx"));
    form->ExportItemClick();
    form->ImportItemClick();
    EXPECT_EQ(messages.informations, QStringList{"plu.xlsx: the PLU table already holds every value."});
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join(u'\n').toStdString();

    // UTF-16 as some spreadsheets save "Unicode text", byte-order mark first.
    const QString text = QStringLiteral("NO.\tName\r\n1\tCaf\u00e9\r\n");
    QByteArray utf16("\xFF\xFE");
    for (const QChar ch : text) {
        utf16 += char(ch.unicode() & 0xFF);
        utf16 += char(ch.unicode() >> 8);
    }
    WriteFile(QStringLiteral("plu.csv"), utf16);
    Choose(TableKind::PLU, QStringLiteral("plu.csv"));
    OnNextModal<TImportConfirmDlg>([](TImportConfirmDlg& dialog) { dialog.accept(); });
    form->ImportItemClick();
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join(u'\n').toStdString();
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), QString::fromUtf8("Caf\u00e9"));
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Quantity, 1), QStringLiteral("12.000"));
}

TEST(SheetDlg, OkWaitsForASheetFileAndTheChoiceFollowsTheControls)
{
    TSheetDlg dialog(TSheetDlg::Mode::Export);
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"));
    auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("FileEdit"));
    ASSERT_TRUE(ok && file);
    EXPECT_FALSE(ok->isEnabled());
    file->setText(QStringLiteral("/tmp/prices.txt"));
    EXPECT_FALSE(ok->isEnabled());
    file->setText(QStringLiteral("/tmp/prices.XLSX"));
    EXPECT_TRUE(ok->isEnabled());
    dialog.findChild<QRadioButton*>(QStringLiteral("DeptRadio"))->setChecked(true);
    dialog.findChild<QCheckBox*>(QStringLiteral("AllRowsBox"))->setChecked(true);
    const SheetChoice choice = dialog.Choice();
    EXPECT_EQ(choice.table, TableKind::Department);
    EXPECT_EQ(choice.path, QStringLiteral("/tmp/prices.XLSX"));
    EXPECT_TRUE(choice.allRows);
    EXPECT_EQ(TSheetDlg(TSheetDlg::Mode::Import).findChild<QCheckBox*>(QStringLiteral("AllRowsBox")), nullptr);
}

TEST_F(MainSheetsTest, TheImportConfirmationListsTheFirstTenChangedRowsOfMany)
{
    QByteArray csv("NO.,Name,Unit price\n");
    for (int n = 1; n <= 25; ++n)
        csv += QStringLiteral("%1,Item %1,1.%2\n").arg(n).arg(n, 2, 10, QLatin1Char('0')).toUtf8();
    WriteFile(QStringLiteral("plu.csv"), csv);
    form->PluTable().SetCell(PLUColumn::Name, 3, QStringLiteral("Item 3"));
    Choose(TableKind::PLU, QStringLiteral("plu.csv"));
    QStringList rows;
    QString shown;
    OnNextModal<TImportConfirmDlg>([&](TImportConfirmDlg& dialog) {
        rows = GridRows(dialog.Changes());
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("ShownLBL"));
        shown = label->isVisibleTo(&dialog) ? label->text() : QString();
        dialog.reject();
    });
    form->ImportItemClick();
    EXPECT_EQ(shown, "The first 10 of 25 changed rows:");
    // Ten rows, one line per changed cell: PLU 3 has only its price to change.
    ASSERT_EQ(rows.size(), 19);
    EXPECT_EQ(rows.first(), "1|Name||Item 1");
    EXPECT_EQ(rows[1], "1|Unit price|0.00|1.01");
    EXPECT_EQ(rows[4], "3|Unit price|0.00|1.03");
    EXPECT_EQ(rows.last(), "10|Unit price|0.00|1.10");
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), QString());
}

TEST_F(MainSheetsTest, ExportAndImportSayWhatTheyDidInTheStatusBar)
{
    for (int n = 1; n <= 20; ++n)
        form->PluTable().SetCell(PLUColumn::Name, n, QStringLiteral("Article %1").arg(n));
    Choose(TableKind::PLU, QStringLiteral("shop.xlsx"));
    form->ExportItemClick();
    EXPECT_EQ(form->statusBar()->currentMessage(), "Exported 20 PLUs to shop.xlsx");

    WriteFile(QStringLiteral("dept.csv"), "NO.,Name\n2,Fruit\n");
    Choose(TableKind::Department, QStringLiteral("dept.csv"));
    OnNextModal<TImportConfirmDlg>([](TImportConfirmDlg& dialog) { dialog.accept(); });
    form->ImportItemClick();
    EXPECT_EQ(form->statusBar()->currentMessage(), "Imported dept.csv: 1 department changed");
}

} // namespace
