// The main window's register workflow against the simulator: Compare with
// register, Verify after download, Download changes and History.

#include "app/Main.h"

#include "AppTestSupport.h"
#include "ShownForm.h"
#include "editing/DocumentHistory.h"
#include "history/HistoryStore.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "serial/PortResolver.h"
#include "config/StartupValues.h"
#include "support/ModalDialogs.h"
#include "support/SimProcess.h"
#include "dialogs/RangeSpinEdit.h"
#include "dialogs/uprange.h"
#include "widgets/TableGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

// What a result or history window showed before the test closed it.
struct Shown
{
    QString title;
    QString counts;
    QStringList rows;   // cells of each row joined by '|'
};

// Reads the next result window and presses `button` on it.
void OnResult(Shown& shown, const QString& button = QStringLiteral("CloseBtn"))
{
    OnNextModal([&shown, button](QDialog& dialog) {
        shown.title = dialog.windowTitle();
        shown.counts = dialog.findChild<QLabel*>(QStringLiteral("CountsLabel"))->text();
        shown.rows = GridRows(*dialog.findChild<QTableWidget*>(QStringLiteral("DifferencesGrid")));
        dialog.findChild<QPushButton*>(button)->click();
    });
}

class MainCompareTest : public ::testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(QLatin1Char('.')); }

    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ResetDecimalSeparator();
    }

    void StartSim(const QStringList& options = {})
    {
        ASSERT_TRUE(sim.Start(options)) << qPrintable(sim.ErrorString());
        LoadStartupValues();
    }

    TMainForm& Form()
    {
        if (!m_form) {
            m_form = ShowFormOnCom3(&messages, &dialogs);
            NameNineArticles(m_form->PluTable());
        }
        return *m_form;
    }

    void Trigger(const char* action) { TriggerAction(Form(), action); }

    // Runs a transfer dialog with the PLU table ticked for PLUs 1-9.
    void ChoosePLUs(bool verify = false)
    {
        OnNextModal([verify](QDialog& dialog) {
            if (auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("VerifyCheck")))
                check->setChecked(verify);
            dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("9"));
            TickAndAccept(dialog, {0});
        });
    }

    // Each package once, however late a busy machine let it be answered.
    QStringList PluPackagesSince(qsizetype from) const
    {
        return SimProcess::Distinct(sim.FrameLines().mid(from).filter("(PLU download)"));
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    SimProcess sim;

private:
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(MainCompareTest, CompareListsTheDifferingFieldsAndOpensTheRegisterData)
{
    StartSim();
    ChoosePLUs();
    Trigger("DownloadItem");
    ASSERT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));

    Shown agrees;
    ChoosePLUs();
    OnResult(agrees);
    Trigger("CompareItem");
    EXPECT_EQ(agrees.title, "Compare with register");
    EXPECT_EQ(agrees.counts, "Document and register agree.");
    EXPECT_TRUE(agrees.rows.isEmpty());

    // An edit that is an undo step, and No to saving it.
    Form().History().Reset();
    Form().PluTable().SetCell(PLUColumn::UnitPrice, 4, QStringLiteral("4.5"));
    Form().History().Record(QStringLiteral("Typing"));
    messages.answers = {IMessageBox::SaveAnswer::No};
    Shown differs;
    ChoosePLUs();
    OnResult(differs, QStringLiteral("OpenAsNewBtn"));
    Trigger("CompareItem");
    EXPECT_EQ(differs.counts, "PLU: 1 difference");
    EXPECT_EQ(differs.rows, QStringList{"PLU|4|Unit price|4.50|4.10"});
    // The register's tables became the document, saved nowhere yet.
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::UnitPrice, 4), "4.10");
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 9), "Article 9");
    EXPECT_TRUE(Form().CurrentDocument().Modified());
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    // Undo cannot reach back into the document they replaced.
    QTest::keyClick(Form().windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    Form().UndoItemClick();
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::UnitPrice, 4), "4.10");
    EXPECT_TRUE(Form().CurrentDocument().Modified());
    EXPECT_TRUE(Form().isWindowModified());
}

TEST_F(MainCompareTest, DownloadChangesSendsOnePackageAndVerifyFindsALostPLU)
{
    StartSim({"--lose-plu", "8"});
    // Nothing known yet: sent in full, and the verify finds PLU 8 missing.
    Shown verify;
    OnNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Download changes");
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("ChangesNote"))->isVisible());
        dialog.findChild<QCheckBox*>(QStringLiteral("VerifyCheck"))->setChecked(true);
        dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("9"));
        TickAndAccept(dialog, {0});
    });
    OnResult(verify);
    Trigger("DownloadChangesItem");
    ASSERT_EQ(messages.informations.size(), 1);
    EXPECT_TRUE(messages.informations[0].startsWith("Nothing is known yet of the PLU table on the register at COM3"));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Verify after download: the register does not hold what was sent"));
    EXPECT_EQ(verify.title, "Verify after download");
    ASSERT_FALSE(verify.rows.isEmpty());
    for (const QString& row : verify.rows)
        EXPECT_TRUE(row.startsWith("PLU|8|")) << qPrintable(row);

    // One changed name and the PLU the register lost go out in one package.
    Form().PluTable().SetCell(PLUColumn::Name, 2, QStringLiteral("Renamed"));
    const qsizetype before = sim.FrameLines().size();
    OnNextModal([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("VerifyCheck"))->setChecked(false);
        dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("9"));
        TickAndAccept(dialog, {0});
    });
    Trigger("DownloadChangesItem");
    const QStringList packages = PluPackagesSince(before);
    ASSERT_EQ(packages.size(), 1) << qPrintable(packages.join('\n'));
    EXPECT_TRUE(packages[0].endsWith("ack, PLU 2 8(lost)")) << qPrintable(packages[0]);
    EXPECT_EQ(Form().statusBar()->currentMessage(), "Download changes: 2 PLUs in 1 package.");
    EXPECT_EQ(messages.informations.size(), 1) << "the state is known now";
    EXPECT_EQ(Form().DownloadDlg()->windowTitle(), "Download data");
}

TEST_F(MainCompareTest, HistoryListsTheTransfersComparesThemAndOpensOne)
{
    StartSim();
    ChoosePLUs();
    Trigger("DownloadItem");
    Form().PluTable().SetCell(PLUColumn::Name, 3, QStringLiteral("Changed"));
    ChoosePLUs();
    Trigger("DownloadItem");
    Form().History().Reset();
    Form().PluTable().SetCell(PLUColumn::Name, 3, QStringLiteral("In the document"));
    Form().History().Record(QStringLiteral("Typing"));
    messages.answers = {IMessageBox::SaveAnswer::No};

    QStringList listed;
    Shown withDocument;
    Shown betweenEntries;
    OnNextModal([&](QDialog& history) {
        auto* list = history.findChild<QTableWidget*>(QStringLiteral("HistoryList"));
        listed = GridRows(*list);
        // The newest entry against the document.
        OnResult(withDocument);
        history.findChild<QPushButton*>(QStringLiteral("CompareDocumentBtn"))->click();
        // Both entries against each other.
        list->selectAll();
        OnResult(betweenEntries);
        history.findChild<QPushButton*>(QStringLiteral("CompareEntriesBtn"))->click();
        // The older entry as the document.
        list->clearSelection();
        list->selectRow(1);
        history.findChild<QPushButton*>(QStringLiteral("OpenAsNewBtn"))->click();
    });
    Trigger("HistoryItem");

    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed[0].startsWith("2|") && listed[0].contains("|download|COM3|plu 1-9|done"))
        << qPrintable(listed[0]);
    EXPECT_EQ(withDocument.rows, QStringList{"PLU|3|Name|In the document|Changed"});
    EXPECT_EQ(betweenEntries.rows, QStringList{"PLU|3|Name|Article 3|Changed"});
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 3), "Article 3");
    Form().UndoItemClick();
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 3), "Article 3") << "nothing of the old document to undo";
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    HistoryStore store(sim.FilePath(QStringLiteral("HISTORY.DB")));
    EXPECT_EQ(store.IntegrityCheck(), "ok");
}

// Item 1 of the upload dialog, the department table, alone.
TEST_F(MainCompareTest, AnUploadOfTheDepartmentsKeepsTheDocumentAndIsOneUndoStep)
{
    StartSim({"--fill-demo"});
    const QString path = sim.FilePath(QStringLiteral("SHOP.PLU"));
    Form().CurrentDocument().SaveDocumentAs(path);
    Form().OpenDocumentFile(path);
    const QString caption = Form().windowTitle();
    ASSERT_TRUE(caption.contains("SHOP.PLU")) << qPrintable(caption);

    // A name still being typed is a step of its own.
    TableGrid& grid = Form().PLUGrid();
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(4, PLUColumn::Name - 1));
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_NE(grid.Editor(), nullptr);
    grid.Editor()->setText(QStringLiteral("Typed"));

    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {1}); });
    Trigger("UploadItem");
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    EXPECT_TRUE(messages.questions.isEmpty()) << "nothing is lost, so nothing is asked";
    EXPECT_EQ(Form().DeptmentTable().Cell(DeptmentColumn::Name, 1), "Dairy");
    EXPECT_EQ(Form().DeptmentTable().Cell(DeptmentColumn::Name, 9), "Deposit");
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 4), "Article 4");
    EXPECT_TRUE(Form().windowTitle().contains("SHOP.PLU")) << qPrintable(Form().windowTitle());
    EXPECT_TRUE(Form().CurrentDocument().Modified());

    Form().UndoItemClick();
    EXPECT_EQ(Form().DeptmentTable().Cell(DeptmentColumn::Name, 1), QString());
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 5), "Typed");
    Form().UndoItemClick();
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 5), "Article 5");
    EXPECT_FALSE(Form().CurrentDocument().Modified());
}

TEST_F(MainCompareTest, AnEmptyDepartmentTableIsSentOnlyAfterYes)
{
    StartSim();
    const auto chooseBoth = [] {
        OnNextModal([](QDialog& dialog) {
            dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("9"));
            TickAndAccept(dialog, {0, 1});
        });
    };
    chooseBoth();
    Trigger("DownloadItem");
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(messages.questions[0].startsWith("The department table holds no named department."));
    EXPECT_EQ(messages.informations, QStringList{"The department table holds no named department: it is not sent."});
    EXPECT_TRUE(sim.FrameLines().filter("(department download)").isEmpty());
    EXPECT_FALSE(PluPackagesSince(0).isEmpty());

    messages.yesNoAnswers = {true};
    chooseBoth();
    Trigger("DownloadItem");
    EXPECT_EQ(messages.questions.size(), 2);
    EXPECT_FALSE(sim.FrameLines().filter("(department download)").isEmpty());
    EXPECT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
}

TEST_F(MainCompareTest, CompareRefusesTheCellsADownloadRefuses)
{
    StartSim();
    // As a damaged file loads it: unchecked.
    Form().PluTable().SetCell(PLUColumn::UnitPrice, 4, QStringLiteral("abc"));
    // A result window would mean the register was read: close it at once.
    QTimer closer;
    bool resultShown = false;
    QObject::connect(&closer, &QTimer::timeout, [&resultShown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            dialog != nullptr && dialog->objectName() != QStringLiteral("CompareDlg")) {
            resultShown = true;
            dialog->reject();
        }
    });
    closer.start(5);
    ChoosePLUs();
    Trigger("CompareItem");
    EXPECT_FALSE(resultShown);
    EXPECT_EQ(messages.informations, QStringList{"Invalid data!"});
    EXPECT_TRUE(Form().statusBar()->currentMessage().contains("PLU 4")) << qPrintable(Form().statusBar()->currentMessage());
    EXPECT_TRUE(sim.FrameLines().isEmpty()) << qPrintable(sim.FrameLines().join('\n'));
}

} // namespace
