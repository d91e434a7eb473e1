// The main window with three simulated registers: the list of registers,
// Send to registers and Compare with registers through the real widgets.

#include "app/Main.h"

#include "AppTestSupport.h"
#include "ShownForm.h"
#include "app/RegistersDlg.h"
#include "app/SeveralRegistersDlg.h"
#include "config/RegisterList.h"
#include "config/SettingsFile.h"
#include "config/StartupValues.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "serial/PortResolver.h"
#include "support/ModalDialogs.h"
#include "support/SimProcess.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include <array>

namespace {

constexpr int kTills = 3;
constexpr int kRunMs = 180000;

// What the dialog showed once its run had ended.
struct RunShown
{
    bool gateClosed = false;
    QStringList outcomes; // ProgressGrid's outcome column, row by row
    QString summary;
    bool retryEnabled = false;
};

QStringList Column(const QTableWidget& grid, int column)
{
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row)
        cells << (grid.item(row, column) != nullptr ? grid.item(row, column)->text() : QString());
    return cells;
}

void Record(TSeveralRegistersDlg& dialog, RunShown& shown)
{
    shown.outcomes = Column(*dialog.findChild<QTableWidget*>(QStringLiteral("ProgressGrid")), 4);
    shown.summary = dialog.findChild<QLabel*>(QStringLiteral("SummaryLabel"))->text();
    shown.retryEnabled = dialog.findChild<QPushButton*>(QStringLiteral("RetryBtn"))->isEnabled();
}

class MainRegistersTest : public ::testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(QLatin1Char('.')); }

    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ResetDecimalSeparator();
    }

    // Till 1 and 2 by their links' paths, Till 3 as COM3 (mapped by the
    // last simulator in the settings file), all at 115200 bit/s.
    void StartTills(const std::array<QStringList, kTills>& options = {})
    {
        for (int i = 0; i < kTills; ++i)
            ASSERT_TRUE(tills[i].Start(options[i])) << qPrintable(tills[i].ErrorString());
        LoadStartupValues();
        WriteRegisterList(AppPaths::SettingsPath(), {{"Till 1", tills[0].LinkPath(), 4},
                                                     {"Till 2", tills[1].LinkPath(), 4},
                                                     {"Till 3", "COM3", 4}});
        SettingsFile(AppPaths::SettingsPath()).WriteTexts("Comm", {{"Port", "3"}, {"BaudRate", "4"}});
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

    // Opens Send to registers (or Compare with registers) with the PLU table
    // only, lets `during` act once the busy rows show a second package (when
    // given), and closes the dialog once the run has ended.
    RunShown RunDialog(const char* action, const std::function<void(TSeveralRegistersDlg&)>& during = {},
                       const QList<int>& busyRows = {})
    {
        RunShown shown;
        OnNextModal<TSeveralRegistersDlg>([&](TSeveralRegistersDlg& dialog) {
            shown.gateClosed = Form().IsCommandRunning();
            dialog.findChild<QCheckBox*>(QStringLiteral("DeptBox"))->setChecked(false);
            QObject::connect(&dialog, &TSeveralRegistersDlg::RunFinished, &dialog, [&dialog, &shown] {
                Record(dialog, shown);
                dialog.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
            }, Qt::QueuedConnection);
            dialog.findChild<QPushButton*>(QStringLiteral("StartBtn"))->click();
            if (during) {
                auto* grid = dialog.findChild<QTableWidget*>(QStringLiteral("ProgressGrid"));
                EXPECT_TRUE(QTest::qWaitFor([grid, &busyRows] {
                    const QStringList packages = Column(*grid, 3);
                    for (const int row : busyRows) {
                        if (packages[row].section(' ', 0, 0).toInt() < 2)
                            return false;
                    }
                    return true;
                }, kRunMs));
                during(dialog);
            }
        });
        Trigger(action);
        return shown;
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    std::array<SimProcess, kTills> tills;

private:
    std::unique_ptr<TMainForm> m_form;
};

} // namespace

TEST_F(MainRegistersTest, SendAndCompareReachEveryRegisterUnderTheGate)
{
    StartTills();
    // The status bar names the register of the current port.
    EXPECT_TRUE(Form().statusBar()->findChild<QLabel*>(QStringLiteral("PortStatus"))->text().startsWith("Till 3: COM3"));

    const RunShown sent = RunDialog("SendRegistersItem");
    EXPECT_TRUE(sent.gateClosed);
    EXPECT_EQ(sent.outcomes, QStringList(kTills, QStringLiteral("Done"))) << qPrintable(sent.summary);
    EXPECT_FALSE(sent.retryEnabled);
    EXPECT_FALSE(Form().IsCommandRunning());

    const RunShown same = RunDialog("CompareRegistersItem");
    EXPECT_EQ(same.outcomes, QStringList(kTills, QStringLiteral("Same as the document"))) << qPrintable(same.summary);

    // Two articles change: one price, one name (and its price too).
    Form().PluTable().SetCell(PLUColumn::UnitPrice, 4, QStringLiteral("4.50"));
    Form().PluTable().SetCell(PLUColumn::Name, 5, QStringLiteral("Renamed"));
    Form().PluTable().SetCell(PLUColumn::UnitPrice, 5, QStringLiteral("5.50"));
    const RunShown differs = RunDialog("CompareRegistersItem");
    EXPECT_EQ(differs.outcomes, QStringList(kTills, QStringLiteral("Differs: 2 articles")))
        << qPrintable(differs.summary);
    EXPECT_TRUE(differs.summary.contains("Till 2: Differs: 2 articles")) << qPrintable(differs.summary);
}

TEST_F(MainRegistersTest, AFailedRegisterIsRetriedAloneAndCancelStopsAll)
{
    // Till 2 falls silent in the middle of the PLU table.
    StartTills({QStringList{}, QStringList{"--fail-after", "12"}, QStringList{}});
    RunShown retried;
    qsizetype tillOneFrames = 0;
    OnNextModal<TSeveralRegistersDlg>([&](TSeveralRegistersDlg& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("DeptBox"))->setChecked(false);
        auto* retry = dialog.findChild<QPushButton*>(QStringLiteral("RetryBtn"));
        dialog.findChild<QPushButton*>(QStringLiteral("StartBtn"))->click();
        EXPECT_TRUE(QTest::qWaitFor([retry] { return retry->isEnabled(); }, kRunMs));
        RunShown first;
        Record(dialog, first);
        EXPECT_EQ(first.outcomes[0], "Done");
        EXPECT_TRUE(first.outcomes[1].startsWith("Failed: ")) << qPrintable(first.outcomes[1]);
        EXPECT_EQ(first.outcomes[2], "Done");
        EXPECT_TRUE(first.summary.contains("Retry failed registers")) << qPrintable(first.summary);

        tillOneFrames = tills[0].FrameLines().size();
        retry->click();
        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.IsRunning(); }, kRunMs));
        Record(dialog, retried);
        dialog.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
    });
    Trigger("SendRegistersItem");
    EXPECT_EQ(retried.outcomes[0], "Done");
    EXPECT_TRUE(retried.outcomes[1].startsWith("Failed: ")) << qPrintable(retried.outcomes[1]);
    EXPECT_EQ(tills[0].FrameLines().size(), tillOneFrames);
    EXPECT_GE(tills[1].CountFrames("(log-out)"), 1);

    // Cancel in the middle of all three: each is logged out and says so.
    const std::array<int, kTills> logOuts{tills[0].CountFrames("(log-out)"), tills[1].CountFrames("(log-out)"),
                                          tills[2].CountFrames("(log-out)")};
    // (Till 2 stays silent.)
    const RunShown cancelled = RunDialog(
        "SendRegistersItem",
        [](TSeveralRegistersDlg& dialog) { dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click(); },
        {0, 2});
    for (int i = 0; i < kTills; i += 2) {
        EXPECT_EQ(cancelled.outcomes[i], "Cancelled") << qPrintable(cancelled.summary);
        EXPECT_GT(tills[i].CountFrames("(log-out)"), logOuts[std::size_t(i)]) << i;
    }
}

TEST_F(MainRegistersTest, TheRegistersListIsEditedTestedAndKept)
{
    StartTills();
    QString problem;
    QString tested;
    OnNextModal<TRegistersDlg>([&](TRegistersDlg& dialog) {
        auto* grid = dialog.findChild<QTableWidget*>(QStringLiteral("RegistersGrid"));
        ASSERT_EQ(grid->rowCount(), 3);
        // Test Till 1, which answers.
        grid->setCurrentCell(0, 0);
        dialog.findChild<QPushButton*>(QStringLiteral("TestBtn"))->click();
        tested = grid->item(0, 3)->text();
        // Remove Till 2, add one, give it a name already taken.
        grid->setCurrentCell(1, 0);
        dialog.findChild<QPushButton*>(QStringLiteral("RemoveBtn"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("AddBtn"))->click();
        // Leaving the new name's editor keeps the name it offered.
        grid->setCurrentCell(0, 1);
        EXPECT_EQ(grid->item(2, 0)->text(), "Register 3");
        ASSERT_EQ(grid->rowCount(), 3);
        grid->item(2, 0)->setText("till 1");
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        problem = dialog.findChild<QLabel*>(QStringLiteral("ProblemLabel"))->text();
        EXPECT_TRUE(dialog.isVisible());
        grid->item(2, 0)->setText("Back office");
        grid->item(2, 1)->setText("COM4");
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    Trigger("RegistersItem");
    EXPECT_EQ(tested, "Answers");
    EXPECT_TRUE(problem.contains("is given twice")) << qPrintable(problem);
    const RegisterList kept = ReadRegisterList(AppPaths::SettingsPath());
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].name, "Till 1");
    EXPECT_EQ(kept[1].name, "Till 3");
    EXPECT_EQ(kept[2], (NamedRegister{"Back office", "COM4", 4}));
}
