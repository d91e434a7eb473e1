// The register workflow of the main window: the one way it runs a register
// command (download, upload, compare), Compare with register, Download
// changes, the read-back after a download and the transfer history.

#include "app/Main.h"

#include "app/CompareResultDlg.h"
#include "app/HistoryDlg.h"
#include "app/LanguageFile.h"
#include "app/WaitCursor.h"
#include "editing/DocumentHistory.h"
#include "history/TransferHistory.h"
#include "link/QelmIBus.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"
#include "dialogs/ProgressForm.h"
#include "transfer/QelmIBusLink.h"
#include "commands/RegisterCommand.h"
#include "dialogs/uprange.h"
#include "model/Language.h"
#include "transfer/DownloadCheck.h"

#include <QAction>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int kStatusMessageMs = 10000;
constexpr unsigned kComparedTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);

} // namespace

// The window answers the runner: notices in message boxes, warnings in the
// status bar, a question before an empty department table is sent, and an
// upload's change of the tables as one undo step.
class TMainForm::RegisterFrontEnd final : public IRegisterCommandFrontEnd
{
public:
    explicit RegisterFrontEnd(TMainForm& form) : m_form(form) {}

    void Notice(const QString& text) override { m_form.m_messages->Information(text); }
    void Warning(const QString& text) override { m_form.ShowStatusNotice(text); }
    bool SendEmptyDepartments() override
    {
        return m_form.m_messages->AskYesNoDefaultNo(
            Tr("MainForm", "SendEmptyDepartments",
               "The department table holds no named department. Send it anyway and blank the "
               "register's departments?"));
    }
    void ChangeTables(const std::function<void()>& change) override
    {
        {
            const WaitCursor wait;
            m_form.m_history->Record(Tr("DocumentHistory", "Upload", "Upload"), change);
        }
        m_form.FollowHistory();
    }

private:
    TMainForm& m_form;
};

RegisterCommandResult TMainForm::RunRegisterCommand(const RegisterCommandRequest& request)
{
    RegisterCommandResult result;
    result.result.outcome = TransferResult::Outcome::Failed;
    if (m_progressForm == nullptr)
        return result;
    RunExclusive([&] {
        QelmIBusLink link(Link());
        RegisterFrontEnd frontEnd(*this);
        result = RegisterCommand(link, *m_progressForm, frontEnd)
                     .Run(request, TransferTables{PluTable(), DeptmentTable(), AppPaths::SettingsPath()});
    });
    return result;
}

void TMainForm::ShowCommandOutcome(const RegisterCommandRequest& request, const RegisterCommandResult& outcome)
{
    ShowTransferOutcome(outcome.result);
    ShowStatusNotice(outcome.doneText);
    if (outcome.result.outcome == TransferResult::Outcome::PortNotOpened)
        ShowPortRemedy(outcome.causeText, outcome.result.cause);
    if (outcome.leftText.isEmpty())
        return;
    if (request.kind != RegisterCommandKind::Download) {
        m_messages->Information(outcome.leftText);
        return;
    }
    // The register holds part of the document: sending the changes mends it.
    if (m_messages->Offer(outcome.leftText, Tr("MainForm", "OfferDownloadChanges", "Download &changes"))) {
        if (auto* action = findChild<QAction*>(QStringLiteral("DownloadChangesItem")))
            QTimer::singleShot(0, action, &QAction::trigger);
    }
}

void TMainForm::ShowPortRemedy(const QString& causeText, const FailureCause& cause)
{
    // The link's message box has said why the port did not open; what the
    // connection check adds (who holds the device, what to do) stays in the
    // status bar until the next notice, with no second box to click away.
    if (causeText != CauseText(cause))
        statusBar()->showMessage(causeText);
}

void TMainForm::ShowStatusNotice(const QString& text)
{
    if (!text.isEmpty())
        statusBar()->showMessage(text, kStatusMessageMs);
}

void TMainForm::ShowHistoryWarning(TransferHistory& history)
{
    const QString warning = history.TakeWarning();
    if (!warning.isEmpty())
        ShowStatusNotice(warning);
}

void TMainForm::CompareItemClick()
{
    if (m_progressForm == nullptr)
        return;
    auto* dialog = findChild<TCompareDlg*>(QStringLiteral("CompareDlg"));
    if (dialog == nullptr) {
        dialog = new TCompareDlg(*m_messages, this);
        TranslateWindow(*dialog);
    }
    if (!dialog->Run())
        return;
    if (!CommitActiveGrid()) {
        m_messages->Information(DownloadCheck::InvalidDataText());
        return;
    }
    const RegisterCommandRequest request = CommandRequest(RegisterCommandKind::Compare, dialog->Choice());
    const RegisterCommandResult outcome = RunRegisterCommand(request);
    ShowCommandOutcome(request, outcome);
    if (!outcome.compared)
        return;
    TCompareResultDlg result(
        Tr("CompareResultDlg", "CompareCaption", "Compare with register"), outcome.differences,
        outcome.comparedTables, {},
        Tr("CompareResultDlg", "OpenAsNewBtn.Caption", "&Open register data as a new document"),
        this);
    if (result.exec() == TCompareResultDlg::kOpenAsNew)
        OpenTablesAsNewDocument(outcome.held);
}

void TMainForm::DownloadChangesItemClick()
{
    if (m_downloadDlg == nullptr)
        return;
    m_downloadDlg->SetChangesOnly(true);
    m_downloadChangesOnly = true;
    DownloadItemClick();
    m_downloadChangesOnly = false;
    m_downloadDlg->SetChangesOnly(false);
}

void TMainForm::ShowVerifyResult(const RegisterCommandResult& outcome)
{
    // Agreement is said by the command's sentence.
    if (outcome.differences.empty())
        return;
    m_messages->Error(outcome.result.message);
    TCompareResultDlg result(Tr("CompareResultDlg", "VerifyCaption", "Verify after download"),
                             outcome.differences, outcome.comparedTables,
                             {Tr("CompareResultDlg", "SentSide", "Sent")}, QString(), this);
    result.exec();
}

void TMainForm::HistoryItemClick()
{
    TransferHistory history;
    const QString warning = history.TakeWarning();
    if (!warning.isEmpty()) {
        m_messages->Error(warning);
        return;
    }
    const auto document = [this](quint8 priceDecimals) {
        return SnapshotOfDocument(PluTable(), DeptmentTable(), kComparedTables, PluRange{}, priceDecimals);
    };
    const auto openAsNew = [this](const TableSnapshot& tables) { OpenTablesAsNewDocument(tables); };
    THistoryDlg dialog(history.Store(), document, openAsNew, this);
    dialog.exec();
}

void TMainForm::OpenTablesAsNewDocument(const TableSnapshot& tables)
{
    // As New: unsaved work is offered for saving first, and Cancel keeps it.
    if (!QuerySaveChanges())
        return;
    {
        const WaitCursor wait;
        m_document->ReplaceTables([&] { WriteSnapshot(tables, PluTable(), DeptmentTable()); });
    }
    UpdateCaption();
}
