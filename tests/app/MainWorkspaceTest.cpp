// What the main window remembers between runs, opening the document named on
// the command line, the status bar, and the changes outside the grids' cells.
#include "app/DocumentArgument.h"
#include "app/Main.h"
#include "editing/DocumentHistory.h"
#include "model/Columns.h"
#include "dialogs/Recy.h"
#include "widgets/TableGrid.h"

#include "AppTestSupport.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>

namespace {

using SaveAnswer = IMessageBox::SaveAnswer;

class MainWorkspaceTest : public ProgramDirFixture
{
protected:
    std::unique_ptr<TMainForm> NewForm()
    {
        auto form = std::make_unique<TMainForm>(&messages, &dialogs);
        form->SetLanguageFilePath(FilePath(QStringLiteral("none.LNG")));
        return form;
    }

    static QAction* Action(TMainForm& form, const char* name)
    {
        return form.findChild<QAction*>(QString::fromLatin1(name));
    }

    static QString Status(TMainForm& form, const char* name)
    {
        return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
};

TEST_F(MainWorkspaceTest, RecentFilesGeometryAndColumnsSurviveARestartAndOtherSectionsStay)
{
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Custom]\r\nKeep=this\r\n");
    const QString shop = FilePath(QStringLiteral("shop.PLU"));
    const QString other = FilePath(QStringLiteral("other.PLU"));
    const QRect geometry(120, 80, 900, 600);
    {
        auto form = NewForm();
        form->ShowMainWindow();
        form->showNormal();
        form->setGeometry(geometry);
        form->PLUGrid().setColumnWidth(PLUColumn::Name - 1, 333);
        dialogs.saveNames << shop << other;
        form->SaveasItemClick();
        form->SaveasItemClick();
        EXPECT_TRUE(form->close());
    }
    QFile settings(FilePath(QStringLiteral("SYSTEM.CFG")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().startsWith("[Custom]\r\nKeep=this\r\n"));

    auto form = NewForm();
    form->ShowMainWindow();
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->geometry(), geometry);
    EXPECT_EQ(form->PLUGrid().columnWidth(PLUColumn::Name - 1), 333);
    QAction* first = Action(*form, "RecentItem1");
    QAction* second = Action(*form, "RecentItem2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->data().toString(), other);
    EXPECT_EQ(second->data().toString(), shop);

    // A file gone since is dropped from the list with a message.
    ASSERT_TRUE(QFile::remove(other));
    first->trigger();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].contains(other));
    ASSERT_NE(Action(*form, "RecentItem1"), nullptr);
    EXPECT_EQ(Action(*form, "RecentItem1")->data().toString(), shop);
    EXPECT_EQ(Action(*form, "RecentItem2"), nullptr);
    Action(*form, "RecentItem1")->trigger();
    EXPECT_EQ(form->CurrentDocument().CurrentFileName(), shop);
}

TEST_F(MainWorkspaceTest, TheDocumentNamedOnTheCommandLineOpensOrAMissingOneLeavesAnEmptyDocument)
{
    const auto argument = [](QStringList args) { return DocumentArgument(QStringList{"plu-manager"} + args); };
    EXPECT_EQ(argument({"shop.PLU"}), "shop.PLU");
    EXPECT_EQ(argument({"--port-map", "COM1=/dev/pts/3", "--fill-test-data", "a.PLU"}), "a.PLU");
    EXPECT_EQ(argument({"--screenshot", "x.png"}), "");
    EXPECT_EQ(argument({"--", "-odd.PLU"}), "-odd.PLU");

    WriteFile(QStringLiteral("shop.PLU"), "111\tApples\t1.50\t1\t0.000\t0\t0\t0\r\n");
    auto form = NewForm();
    form->OpenDocumentFile(FilePath(QStringLiteral("shop.PLU")));
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), "Apples");
    EXPECT_FALSE(form->CurrentDocument().Modified());
    EXPECT_TRUE(messages.questions.isEmpty());

    form->OpenDocumentFile(FilePath(QStringLiteral("missing.PLU")));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].contains(QStringLiteral("missing.PLU")));
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), "");
    EXPECT_TRUE(form->CurrentDocument().CurrentFileName().isEmpty());
    EXPECT_FALSE(form->CurrentDocument().Modified());
}

TEST_F(MainWorkspaceTest, StatusBarShowsPortRateNamedPlusAndModifiedBesideTheShortcuts)
{
    WriteFile(QStringLiteral("SYSTEM.CFG"),
              "[Comm]\r\nPort=1\r\nBaudRate=4\r\n[Ports]\r\nCOM1=/dev/ttyUSB7\r\n");
    auto form = NewForm();
    form->show();
    EXPECT_EQ(Status(*form, "PortStatus"), "COM1 (/dev/ttyUSB7), 115200 bit/s");
    EXPECT_EQ(Status(*form, "PluCountStatus"), "0 named PLUs");
    form->PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Apples"));
    form->PluTable().SetCell(PLUColumn::Name, 3000, QStringLiteral("Pears"));
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(*form, "PluCountStatus"), "2 named PLUs");
    EXPECT_FALSE(form->findChild<QLabel*>(QStringLiteral("ModifiedStatus"))->isVisible());

    const auto keys = [&](const char* name) { return Action(*form, name)->shortcuts(); };
    EXPECT_EQ(keys("NewItem"), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_N)}));
    EXPECT_EQ(keys("OpenItem"),
              QList<QKeySequence>({QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_O)}));
    EXPECT_EQ(keys("PrintItem"), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_P)}));
    EXPECT_EQ(keys("ExitItem"), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    EXPECT_EQ(keys("SaveItem"), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_S)}));
}

TEST_F(MainWorkspaceTest, DraggingARowAndOkInTheRecyclingWindowAreUndoableChanges)
{
    auto form = NewForm();
    form->SetRecyForm(new TRecyForm(form.get()));
    form->show();
    form->PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Apples"));
    form->History().Reset();

    form->PLUGrid().verticalHeader()->moveSection(0, 4);
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 5), "Apples");
    EXPECT_EQ(form->PluTable().headerData(4, Qt::Vertical).toInt(), 5);
    EXPECT_TRUE(form->CurrentDocument().Modified());
    Action(*form, "UndoItem")->trigger();
    EXPECT_EQ(form->PluTable().Cell(PLUColumn::Name, 1), "Apples");
    EXPECT_FALSE(form->CurrentDocument().Modified());

    OnNextModal<TRecyForm>([](TRecyForm& dialog) {
        dialog.Grid()->model()->setData(dialog.Grid()->model()->index(0, 0), QStringLiteral("12"));
        dialog.accept();
    });
    form->RecyItemClick();
    EXPECT_EQ(form->RecyclingTable().Cell(RecyColumn::PluNumber, 1), "12");
    EXPECT_TRUE(form->CurrentDocument().Modified());
    messages.answers = {SaveAnswer::Cancel};
    EXPECT_FALSE(form->close());
    Action(*form, "UndoItem")->trigger();
    EXPECT_EQ(form->RecyclingTable(), RecyTable());
    EXPECT_FALSE(form->CurrentDocument().Modified());
}

TEST_F(MainWorkspaceTest, PrintPreviewShowsTheListingPages)
{
    auto form = NewForm();
    form->show();
    form->PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Apples"));
    int pages = -1;
    OnNextModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog& dialog) {
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        pages = preview ? preview->pageCount() : -1;
        dialog.reject();
    });
    Action(*form, "PrintPreviewItem")->trigger();
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(messages.errors.isEmpty());
}

} // namespace
