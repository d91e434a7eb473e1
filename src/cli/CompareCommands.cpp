#include "cli/CompareCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"

#include "history/TransferHistory.h"
#include "model/Texts.h"
#include "transfer/CapturingLink.h"
#include "transfer/Compare.h"
#include "transfer/Download.h"
#include "transfer/DownloadChanges.h"
#include "transfer/QelmIBusLink.h"
#include "transfer/Upload.h"

#include <cstdio>

namespace {

void PrintLine(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", ConsoleText::Bytes(text).constData());
    std::fflush(to);
}

void ShowWarning(TransferHistory& history)
{
    const QString warning = history.TakeWarning();
    if (!warning.isEmpty())
        ExitStatus::PrintError(QStringLiteral("warning: ") + warning);
}

void PrintDifferences(const CompareOutcome& outcome, unsigned tables)
{
    for (const FieldDifference& difference : outcome.differences)
        PrintLine(stdout, DifferenceLine(difference));
    PrintLine(stderr, DifferenceCounts(outcome.differences, tables));
}

// Reads the tables of the request from the register, compares them with the
// document and records the compare in the history.
CompareOutcome CompareAndRecord(CliSession& session, TransferHistory& history, const QString& command,
                                const TransferRequest& request, const TextTable& plu, const TextTable& departments)
{
    QelmIBusLink link(session.Link());
    const CompareOutcome outcome = CompareWithRegister(link, session.Progress(), request, plu, departments);
    history.Record(command, request, outcome.result, outcome.held, outcome.HistoryOutcome());
    ShowWarning(history);
    return outcome;
}

// Reads the tables back after a download. A difference makes the command fail.
TransferResult Verify(CliSession& session, TransferHistory& history, const TransferRequest& request,
                      const TransferTables& tables)
{
    const CompareOutcome outcome =
        CompareAndRecord(session, history, QStringLiteral("verify"), request, tables.plu, tables.departments);
    if (!outcome.result.Succeeded())
        return outcome.result;
    PrintDifferences(outcome, request.selection);
    if (outcome.differences.empty())
        return outcome.result;
    TransferResult failed;
    failed.outcome = TransferResult::Outcome::Failed;
    failed.message = VerifyFailureText(outcome.differences.size());
    return failed;
}

TransferResult DownloadOnlyChanges(CliSession& session, TransferHistory& history, ITransferLink& link,
                                   const TransferRequest& request, const TransferTables& tables)
{
    const TableSnapshot known = history.KnownState(request.port);
    const QString unknown = history.KnownStateNotice(known, request);
    if (!unknown.isEmpty())
        PrintLine(stderr, unknown);
    PrintLine(stderr, KeyboardChangesNotice());
    ChangesReport report;
    const TransferResult result = DownloadChanges(link, session.Progress(), request, tables, known, report);
    const QString summary = ChangesSummary(report, request);
    if (result.Succeeded() && !summary.isEmpty())
        PrintLine(stderr, summary);
    return result;
}

} // namespace

TransferResult RunRecordedTableTransfer(CliSession& session, const CliOptions& options,
                                        const TransferRequest& request, const TransferTables& tables)
{
    TransferHistory history;
    ShowWarning(history);
    QelmIBusLink serial(session.Link());
    CapturingLink link(serial);
    if (options.command == CliOptions::Command::Upload) {
        const TransferResult result = UploadTables(link, session.Progress(), request, tables);
        history.Record(QStringLiteral("upload"), request, result, link.Captured(request.range));
        ShowWarning(history);
        return result;
    }

    const TransferResult result = options.changesOnly
                                      ? DownloadOnlyChanges(session, history, link, request, tables)
                                      : DownloadTables(link, session.Progress(), request, tables);
    history.Record(options.changesOnly ? QStringLiteral("download changes") : QStringLiteral("download"), request,
                   result, link.Captured());
    ShowWarning(history);
    // The parameter set is not read back: a verify needs the PLU or department table.
    const unsigned comparable = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
    if (!result.Succeeded() || !options.verify || (request.selection & comparable) == 0)
        return result;
    return Verify(session, history, request, tables);
}

int RunCompare(const CliOptions& options)
{
    CliSession session(options);
    CliDocument shop;
    if (!shop.Open(options.file))
        return ExitStatus::kFailed;
    const TransferRequest request = RequestOf(session, options);

    TransferHistory history;
    ShowWarning(history);
    const CompareOutcome outcome =
        CompareAndRecord(session, history, QStringLiteral("compare"), request, shop.plu, shop.departments);
    if (!outcome.result.Succeeded())
        return ExitStatus::Report(outcome.result);
    PrintDifferences(outcome, request.selection);
    ExitStatus::Report(outcome.result);
    return outcome.differences.empty() ? ExitStatus::kDone : CompareCommands::kDiffer;
}
