// The register workflow of the main window: the one way it runs a register
// command (download, upload, compare), Compare with register, Download
// changes, the read-back after a download and the transfer history.

#include "app/Main.h"

#include "app/CompareResultDlg.h"
#include "app/HistoryDlg.h"
#include "app/WaitCursor.h"
#include "editing/DocumentHistory.h"
#include "history/TransferHistory.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"
#include "dialogs/ProgressForm.h"
#include "transfer/QelmIBusLink.h"
#include "commands/RegisterCommand.h"
#include "dialogs/uprange.h"

#include <QStatusBar>

namespace {

constexpr int kStatusMessageMs = 15000;
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
            QStringLiteral("The department table holds no named department. Send it anyway and blank the "
                           "register's departments?"));
    }
    void ChangeTables(const std::function<void()>& change) override
    {
        {
            const WaitCursor wait;
            m_form.m_history->Record(QStringLiteral("Upload"), change);
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

void TMainForm::ShowStatusNotice(const QString& text)
{
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
    if (dialog == nullptr)
        dialog = new TCompareDlg(*m_messages, this);
    if (!dialog->Run())
        return;
    if (!CommitActiveGrid()) {
        m_messages->Information(QStringLiteral("Invalid data!"));
        return;
    }
    const RegisterCommandResult outcome =
        RunRegisterCommand(CommandRequest(RegisterCommandKind::Compare, dialog->Choice()));
    ShowTransferOutcome(outcome.result);
    if (!outcome.compared)
        return;
    TCompareResultDlg result(QStringLiteral("Compare with register"), outcome.differences, outcome.comparedTables, {},
                             QStringLiteral("&Open register data as a new document"), this);
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
    if (outcome.differences.empty()) {
        ShowStatusNotice(QStringLiteral("Verify after download: the register holds what was sent."));
        return;
    }
    m_messages->Error(outcome.result.message);
    TCompareResultDlg result(QStringLiteral("Verify after download"), outcome.differences, outcome.comparedTables,
                             {QStringLiteral("Sent"), QStringLiteral("Register")}, QString(), this);
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
