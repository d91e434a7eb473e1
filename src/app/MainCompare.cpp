// The register workflow of the main window: Compare with register, Download
// changes, the read-back after a download and the transfer history.

#include "app/Main.h"

#include "app/CompareResultDlg.h"
#include "app/HistoryDlg.h"
#include "app/WaitCursor.h"
#include "history/TransferHistory.h"
#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "transfer/CapturingLink.h"
#include "transfer/Compare.h"
#include "transfer/DownloadChanges.h"
#include "transfer/ProgressForm.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/uprange.h"

#include <QStatusBar>

namespace {

constexpr int kStatusMessageMs = 15000;
constexpr unsigned kComparedTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);

} // namespace

void TMainForm::RecordTransfer(TransferHistory& history, const QString& command, const TransferRequest& request,
                               const TransferResult& result, const std::optional<TableSnapshot>& contents,
                               const QString& outcome)
{
    history.Record(command, request, result, contents, outcome);
    ShowHistoryWarning(history);
}

void TMainForm::ShowHistoryWarning(TransferHistory& history)
{
    const QString warning = history.TakeWarning();
    if (!warning.isEmpty())
        statusBar()->showMessage(warning, kStatusMessageMs);
}

CompareOutcome TMainForm::RunCompare(const QString& command, const TransferRequest& request)
{
    CompareOutcome outcome;
    RunExclusive([&] {
        QelmIBusLink link(Link());
        outcome = CompareWithRegister(link, *m_progressForm, request, PluTable(), DeptmentTable());
        TransferHistory history;
        RecordTransfer(history, command, request, outcome.result, outcome.held, outcome.HistoryOutcome());
        if (!outcome.result.detail.isEmpty())
            Messages().Error(outcome.result.detail);
    });
    return outcome;
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
    const TransferRequest request = RequestFor(dialog->Choice(), m_portNumber, m_speedIndex);
    const CompareOutcome outcome = RunCompare(QStringLiteral("compare"), request);
    if (!outcome.result.Succeeded())
        return;
    TCompareResultDlg result(QStringLiteral("Compare with register"), outcome.differences,
                             request.selection & kComparedTables, {},
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

TransferResult TMainForm::RunChangesDownload(const TransferChoice& choice)
{
    if (m_progressForm == nullptr)
        return {};
    const TransferRequest request = RequestFor(choice, m_portNumber, m_speedIndex);
    TransferHistory history;
    const TableSnapshot known = history.KnownState(request.port);
    const QString unknown = UnknownStateNotice(TablesWithoutKnownState(known, request), request.port);
    if (!unknown.isEmpty())
        m_messages->Information(unknown);

    ChangesReport report;
    TransferResult result;
    RunTableTransfer([&](CapturingLink& link, const TransferTables& tables) {
        result = DownloadChanges(link, *m_progressForm, request, tables, known, report);
        RecordTransfer(history, QStringLiteral("download changes"), request, result, link.Captured());
    });
    ShowTransferOutcome(result);
    if (result.Succeeded())
        statusBar()->showMessage(ChangesSummary(report, request), kStatusMessageMs);
    return result;
}

void TMainForm::VerifyDownload(const TransferChoice& choice)
{
    if (m_downloadDlg == nullptr || !m_downloadDlg->VerifyAfterDownload() || m_progressForm == nullptr)
        return;
    TransferRequest request = RequestFor(choice, m_portNumber, m_speedIndex);
    request.selection &= kComparedTables;
    if (request.selection == 0)
        return;
    const CompareOutcome outcome = RunCompare(QStringLiteral("verify"), request);
    if (!outcome.result.Succeeded())
        return;
    if (outcome.differences.empty()) {
        statusBar()->showMessage(QStringLiteral("Verify after download: the register holds what was sent."),
                                 kStatusMessageMs);
        return;
    }
    m_messages->Error(VerifyFailureText(outcome.differences.size()));
    TCompareResultDlg result(QStringLiteral("Verify after download"), outcome.differences, request.selection,
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
        m_document->ClearDocument();
        WriteSnapshot(tables, PluTable(), DeptmentTable());
    }
    // The tables are not saved anywhere yet.
    m_document->SetModified(true);
    UpdateCaption();
}
