#include "commands/RegisterCommand.h"

#include "model/Language.h"
#include "commands/CommandReport.h"
#include "history/TransferHistory.h"
#include "model/Columns.h"
#include "model/TextTable.h"
#include "transfer/CapturingLink.h"
#include "transfer/Download.h"
#include "transfer/DownloadChanges.h"
#include "transfer/DownloadCheck.h"
#include "transfer/Upload.h"

#include <QElapsedTimer>
#include <QScopeGuard>

namespace {

// The tables a compare or a verify reads back; the parameter set is not.
constexpr unsigned kComparable = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
constexpr unsigned kAllTables = (1u << kTransferTableCount) - 1;

TransferResult Refused(const QString& message)
{
    TransferResult result;
    result.outcome = TransferResult::Outcome::Refused;
    result.message = message;
    return result;
}

bool HasNamedDepartment(const TextTable& departments)
{
    for (int row = 1; row < departments.RowCount(); ++row) {
        if (!departments.Cell(departments.KeyColumn(), row).isEmpty())
            return true;
    }
    return false;
}

// Rows first..last of `to` become those of `from`; without the totals, the
// quantity and total columns stay as they were.
void CopyRows(const TextTable& from, TextTable& to, int first, int last, bool withTotals = true)
{
    const TextTable::Batch batch(to);
    for (int row = first; row <= last; ++row) {
        for (int col = 1; col < to.ColCount(); ++col) {
            if (!withTotals && to.Kind() == TableKind::PLU && (col == PLUColumn::Quantity || col == PLUColumn::Total))
                continue;
            to.SetCell(col, row, from.Cell(col, row));
        }
    }
}

QString CommandName(const RegisterCommandRequest& request)
{
    switch (request.kind) {
    case RegisterCommandKind::Download:
        return request.changesOnly ? QStringLiteral("download changes") : QStringLiteral("download");
    case RegisterCommandKind::Upload:
        return QStringLiteral("upload");
    case RegisterCommandKind::Compare:
        return QStringLiteral("compare");
    }
    return {};
}

} // namespace

QString VerifyNotMadeText()
{
    return Tr("CommandReport", "VerifyNotMade", "The download itself completed; the verification could not be made.");
}

RegisterCommand::RegisterCommand(ITransferLink& link, IProgress& progress, IRegisterCommandFrontEnd& frontEnd)
    : m_link(link), m_progress(progress), m_frontEnd(frontEnd)
{
}

RegisterCommandResult RegisterCommand::Run(const RegisterCommandRequest& given, const TransferTables& tables)
{
    RegisterCommandRequest request = given;
    RegisterCommandResult out;
    if (auto refused = Prepare(request, tables)) {
        out.result = *refused;
        return out;
    }
    QElapsedTimer clock;
    clock.start();
    // Said however the command ends.
    const auto describe = qScopeGuard([&] {
        out.elapsedMs = clock.elapsed();
        Describe(request, out);
    });
    TransferHistory history;
    PassOnWarning(history);
    switch (request.kind) {
    case RegisterCommandKind::Download:
        Download(request, tables, history, out);
        break;
    case RegisterCommandKind::Upload:
        Upload(request.transfer, tables, history, out);
        break;
    case RegisterCommandKind::Compare:
        Compare(CommandName(request), request.transfer, tables, history, out);
        break;
    }
    return out;
}

std::optional<TransferResult> RegisterCommand::Prepare(RegisterCommandRequest& request, const TransferTables& tables)
{
    TransferRequest& transfer = request.transfer;
    transfer.selection &= request.kind == RegisterCommandKind::Compare ? kComparable : kAllTables;
    // Connecting and logging out again would look like success.
    if (transfer.selection == 0)
        return Refused(Tr("CommandReport", "NoTableChosen", "No table was chosen."));
    if (request.kind == RegisterCommandKind::Upload)
        return std::nullopt;

    // A compare shows the document as a download would send it, so it refuses
    // what a download refuses rather than compare a stand-in value.
    if (auto refused = DownloadCheck::RefusedResult(transfer, tables))
        return refused;

    if (request.kind == RegisterCommandKind::Download && transfer.Includes(TransferTable::Department)
        && !HasNamedDepartment(tables.departments) && !m_frontEnd.SendEmptyDepartments()) {
        transfer.selection &= ~TableBit(TransferTable::Department);
        if (transfer.selection == 0)
            return Refused(Tr("CommandReport", "NoDepartmentSent", "Nothing was sent: the department table holds no named department."));
        m_frontEnd.Notice(Tr("CommandReport", "DepartmentsNotSent", "The department table holds no named department: it is not sent."));
    }
    return std::nullopt;
}

void RegisterCommand::Download(const RegisterCommandRequest& request, const TransferTables& tables,
                               TransferHistory& history, RegisterCommandResult& out)
{
    CapturingLink link(m_link);
    out.result = request.changesOnly
                     ? DownloadChangesOnly(link, request.transfer, tables, history, out.changesSummary)
                     : DownloadTables(link, m_progress, request.transfer, tables);
    history.Record(CommandName(request), request.transfer, out.result, link.Captured());
    PassOnWarning(history);
    // What the register holds now; a verify's read-back sends nothing.
    out.leftText = DownloadLeftText(request, out.result);
    if (out.result.Succeeded() && request.verify)
        Verify(request.transfer, tables, history, out);
}

TransferResult RegisterCommand::DownloadChangesOnly(ITransferLink& link, const TransferRequest& request,
                                                    const TransferTables& tables, TransferHistory& history,
                                                    QString& summary)
{
    const TableSnapshot known = history.KnownState(request.port);
    const QString unknown = history.KnownStateNotice(known, request);
    if (!unknown.isEmpty())
        m_frontEnd.Notice(unknown);
    ChangesReport report;
    const TransferResult result = DownloadChanges(link, m_progress, request, tables, known, report);
    if (result.Succeeded())
        summary = ChangesSummary(report, request);
    return result;
}

void RegisterCommand::Upload(const TransferRequest& request, const TransferTables& tables,
                             TransferHistory& history, RegisterCommandResult& out)
{
    // Read into tables of its own, so that the document takes over exactly
    // the rows read, also of an upload that stopped half-way.
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    CapturingLink link(m_link);
    out.result = UploadTables(link, m_progress, request, {plu, departments, tables.settingsPath});
    // The totals list read with the PLU table is kept as a sales reading.
    const TableSnapshot captured = link.Captured(request.range);
    history.Record(QStringLiteral("upload"), request, out.result, captured, QString(),
                   UploadReading(request, out.result, plu, captured.priceDecimals));
    PassOnWarning(history);
    if (!UploadTouchesDocument(request.selection))
        return;
    if (!out.result.Succeeded() && !UploadReadAnything(request, out.result))
        return;
    const TransferReach reach = out.result.Succeeded() ? TransferReach{kAllTables, request.range.end} : out.result.reach;
    m_frontEnd.ChangeTables([&] {
        if (request.Includes(TransferTable::PLU) && reach.lastPlu >= request.range.begin)
            CopyRows(plu, tables.plu, request.range.begin, reach.lastPlu, reach.Done(TransferTable::PLU));
        if (request.Includes(TransferTable::Department) && reach.Done(TransferTable::Department))
            CopyRows(departments, tables.departments, 1, departments.RowCount() - 1);
    });
}

void RegisterCommand::Compare(const QString& command, const TransferRequest& request, const TransferTables& tables,
                              TransferHistory& history, RegisterCommandResult& out)
{
    CompareOutcome outcome = CompareWithRegister(m_link, m_progress, request, tables.plu, tables.departments);
    history.Record(command, request, outcome.result, outcome.held, outcome.HistoryOutcome());
    PassOnWarning(history);
    out.result = outcome.result;
    out.compared = outcome.result.Succeeded();
    out.comparedTables = request.selection & kComparable;
    out.differences = std::move(outcome.differences);
    out.held = std::move(outcome.held);
}

void RegisterCommand::Verify(const TransferRequest& request, const TransferTables& tables, TransferHistory& history,
                             RegisterCommandResult& out)
{
    TransferRequest readBack = request;
    readBack.selection &= kComparable;
    if (readBack.selection == 0)
        return;
    Compare(QStringLiteral("verify"), readBack, tables, history, out);
    if (!out.compared) {
        // The read-back's own status was shown; what it means is not obvious.
        const QString detail = out.result.detail;
        out.result.detail = VerifyNotMadeText();
        if (!detail.isEmpty())
            out.result.detail += QLatin1Char(' ') + detail;
        return;
    }
    if (out.differences.empty())
        return;
    out.result.outcome = TransferResult::Outcome::Failed;
    out.result.message = VerifyFailureText(out.differences.size());
}

void RegisterCommand::Describe(const RegisterCommandRequest& request, RegisterCommandResult& out) const
{
    if (out.Succeeded()) {
        out.doneText = CommandDoneText(request, out);
        return;
    }
    out.causeText = CommandCauseText(out.result.cause, request.transfer.port);
    if (request.kind == RegisterCommandKind::Upload)
        out.leftText = UploadLeftText(request.transfer, out.result);
}

void RegisterCommand::PassOnWarning(TransferHistory& history)
{
    const QString warning = history.TakeWarning();
    if (!warning.isEmpty())
        m_frontEnd.Warning(warning);
}
