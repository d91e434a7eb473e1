#include "commands/CommandReport.h"

#include "commands/RegisterCommand.h"
#include "doctor/ConnectionDoctor.h"
#include "model/CountWords.h"
#include "model/Language.h"
#include "model/Numbers.h"
#include "transfer/Upload.h"

#include <QStringList>

namespace {

constexpr int kDepartments = 9;

QString Seconds(qint64 ms)
{
    return QString::number((ms + 500) / 1000);
}

// "COM2, 115200 bit/s"
QString LineText(const QString& port, int baudIndex)
{
    return Tr("CommandReport", "Line", "%1, %2 bit/s").arg(port).arg(LineRateOf(baudIndex));
}

// "A", "A and B", "A, B and C".
QString Listed(const QStringList& items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return Tr("CommandReport", "ListAnd", "%1 and %2")
        .arg(items.mid(0, items.size() - 1).join(Tr("CommandReport", "ListComma", ", ")), items.last());
}

// "3000 PLUs and 9 departments", "the parameters".
QString TablesMoved(const TransferRequest& request)
{
    QStringList items;
    if (request.Includes(TransferTable::PLU))
        items << CountWords("CommandReport", "PLUs", std::size_t(request.range.end - request.range.begin + 1), "1 PLU", "%1 PLUs");
    if (request.Includes(TransferTable::Department))
        items << CountWords("CommandReport", "Departments", kDepartments, "1 department", "%1 departments");
    if (request.Includes(TransferTable::Parameter))
        items << Tr("CommandReport", "TheParameters", "the parameters");
    return Listed(items);
}

// The sentence for a cancelled upload or the one for a failed upload.
QString Ended(const TransferResult& result, const char* cancelledKey, const char* cancelled, const char* failedKey,
              const char* failed)
{
    return result.outcome == TransferResult::Outcome::Cancelled ? Tr("CommandReport", cancelledKey, cancelled)
                                                                 : Tr("CommandReport", failedKey, failed);
}

bool ReachedRegister(const TransferResult& result)
{
    return result.outcome == TransferResult::Outcome::Failed || result.outcome == TransferResult::Outcome::Cancelled;
}

// The selected tables from the first one not moved completely.
QStringList TablesKept(const TransferRequest& request, const TransferResult& result, const QString& pluText)
{
    QStringList kept;
    if (request.Includes(TransferTable::PLU) && !result.reach.Done(TransferTable::PLU))
        kept << pluText;
    if (request.Includes(TransferTable::Department) && !result.reach.Done(TransferTable::Department))
        kept << Tr("CommandReport", "EarlierDepartments", "its earlier departments");
    if (request.Includes(TransferTable::Parameter) && !result.reach.Done(TransferTable::Parameter))
        kept << Tr("CommandReport", "EarlierParameters", "its earlier parameters");
    return kept;
}

QString DoneSuffix(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    return Tr("CommandReport", "DoneIn", "in %1 s (%2)")
        .arg(Seconds(result.elapsedMs), LineText(request.transfer.port, request.transfer.baudIndex));
}

QString CompareDoneText(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    TransferRequest compared = request.transfer;
    compared.selection = result.comparedTables;
    const QString found = result.differences.empty()
                              ? Tr("CommandReport", "NoDifference", "no difference")
                              : CountWords("CommandReport", "Differences", result.differences.size(),
                                           "1 difference", "%1 differences");
    return Tr("CommandReport", "CompareDone", "Compare finished: %1 in %2 %3").arg(found, TablesMoved(compared), DoneSuffix(request, result));
}

} // namespace

QString CommandDoneText(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    if (!result.Succeeded())
        return {};
    switch (request.kind) {
    case RegisterCommandKind::Compare:
        return CompareDoneText(request, result);
    case RegisterCommandKind::Upload:
        return Tr("CommandReport", "UploadDone", "Upload finished: %1 %2").arg(TablesMoved(request.transfer), DoneSuffix(request, result));
    case RegisterCommandKind::Download:
        break;
    }
    // The summary of a changes-only download says what it sent.
    if (request.changesOnly && !result.changesSummary.isEmpty())
        return result.changesSummary;
    if (request.changesOnly)
        return Tr("CommandReport", "DownloadChangesDone", "Download changes finished %1").arg(DoneSuffix(request, result));
    const QString done = result.compared ? Tr("CommandReport", "DownloadVerified", "Download finished and verified: %1 %2")
                                         : Tr("CommandReport", "DownloadDone", "Download finished: %1 %2");
    return done.arg(TablesMoved(request.transfer), DoneSuffix(request, result));
}

QString ServiceDoneText(const QString& command, const ServicePort& port, qint64 elapsedMs)
{
    if (command == QLatin1String("test"))
        return Tr("CommandReport", "TestDone", "Test: the register answers at %1 bit/s").arg(LineRateOf(port.baudIndex));
    QString done = Tr("CommandReport", "MemoryDumpDone", "Memory dump finished in %1 s (%2)");
    if (command == QLatin1String("program"))
        done = Tr("CommandReport", "ProgramDone", "Program download finished in %1 s (%2)");
    else if (command == QLatin1String("font"))
        done = Tr("CommandReport", "FontDone", "Font download finished in %1 s (%2)");
    return done.arg(Seconds(elapsedMs), LineText(port.name, port.baudIndex));
}

QString CommandCauseText(const FailureCause& cause, const QString& portName)
{
    const QString text = CauseText(cause);
    if (cause.kind != FailureCause::Kind::PortUnavailable)
        return text;
    // The check's finding says what the system's reason says, and more.
    const QString remedy = PortRemedy(portName);
    if (remedy.isEmpty())
        return text;
    FailureCause found = cause;
    found.reason = remedy;
    return CauseText(found);
}

QString DownloadLeftText(const RegisterCommandRequest& request, const TransferResult& result)
{
    if (request.kind != RegisterCommandKind::Download || !ReachedRegister(result))
        return {};
    const TransferRequest& transfer = request.transfer;
    if (request.changesOnly)
        return Tr("CommandReport", "ChangesLeft",
                  "Part of the changes may have been sent; the register keeps its earlier contents for the rest — "
                  "send again, or Compare");
    QStringList sent;
    const int lastPlu = result.reach.Done(TransferTable::PLU) ? transfer.range.end : result.reach.lastPlu;
    if (transfer.Includes(TransferTable::PLU) && lastPlu >= transfer.range.begin)
        sent << Tr("CommandReport", "SentPLUs", "PLUs %1–%2").arg(transfer.range.begin).arg(lastPlu);
    if (transfer.Includes(TransferTable::Department) && result.reach.Done(TransferTable::Department))
        sent << Tr("CommandReport", "TheDepartments", "the departments");
    if (sent.isEmpty())
        return Tr("CommandReport", "NothingSent", "Nothing was sent; the register keeps what it held — send again, or Compare");
    const QString pluKept = lastPlu >= transfer.range.begin
                                ? Tr("CommandReport", "EarlierPLUsFrom", "its earlier PLUs from %1 on").arg(lastPlu + 1)
                                : Tr("CommandReport", "EarlierPLUs", "its earlier PLUs");
    return Tr("CommandReport", "SentAndKept", "%1 were sent; the register keeps %2 — send again, or Compare")
        .arg(Listed(sent), Listed(TablesKept(transfer, result, pluKept)));
}

bool UploadReadAnything(const TransferRequest& request, const TransferResult& result)
{
    return ReachedRegister(result)
           && ((request.Includes(TransferTable::PLU) && result.reach.lastPlu >= request.range.begin)
               || (request.Includes(TransferTable::Department) && result.reach.Done(TransferTable::Department)));
}

QString UploadStopText(const TransferRequest& request, const TransferResult& result)
{
    if (!ReachedRegister(result))
        return {};
    if (request.Includes(TransferTable::PLU) && !result.reach.Done(TransferTable::PLU)) {
        if (result.reach.lastPlu < request.range.begin)
            return Ended(result, "UploadCancelledBeforePLUs", "Upload cancelled before the first PLU was read",
                         "UploadFailedBeforePLUs", "Upload failed before the first PLU was read");
        return Ended(result, "UploadCancelledAfterPLU", "Upload cancelled after PLU %1", "UploadFailedAfterPLU",
                     "Upload failed after PLU %1")
            .arg(result.reach.lastPlu);
    }
    if (request.Includes(TransferTable::Department) && !result.reach.Done(TransferTable::Department))
        return Ended(result, "UploadCancelledBeforeDepartments", "Upload cancelled before the departments were read",
                     "UploadFailedBeforeDepartments", "Upload failed before the departments were read");
    return Ended(result, "UploadCancelledAtParameters", "Upload cancelled at the parameters",
                 "UploadFailedAtParameters", "Upload failed at the parameters");
}

QString UploadLeftText(const TransferRequest& request, const TransferResult& result)
{
    const QString stopped = UploadStopText(request, result);
    if (stopped.isEmpty() || !UploadTouchesDocument(request.selection))
        return stopped;
    if (!UploadReadAnything(request, result))
        return Tr("CommandReport", "DocumentKept", "%1: the document keeps its earlier contents").arg(stopped);
    if (request.Includes(TransferTable::PLU) && !result.reach.Done(TransferTable::PLU)) {
        if (result.reach.lastPlu >= request.range.end)
            return Tr("CommandReport", "TotalsKept", "%1: quantities and totals keep their earlier contents").arg(stopped);
        return Tr("CommandReport", "RestKept", "%1: the rest of the table keeps its earlier contents").arg(stopped);
    }
    if (request.Includes(TransferTable::Department) && !result.reach.Done(TransferTable::Department))
        return Tr("CommandReport", "DepartmentsKept", "%1: the departments keep their earlier contents").arg(stopped);
    return Tr("CommandReport", "ParametersKept", "%1: the tables were read, the parameters keep their earlier values").arg(stopped);
}
