#include "commands/CommandReport.h"

#include "commands/RegisterCommand.h"
#include "doctor/ConnectionDoctor.h"
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
    return QStringLiteral("%1, %2 bit/s").arg(port).arg(LineRateOf(baudIndex));
}

// "A", "A and B", "A, B and C".
QString Listed(const QStringList& items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return QStringLiteral("%1 and %2").arg(items.mid(0, items.size() - 1).join(QStringLiteral(", ")), items.last());
}

// "3000 PLUs and 9 departments", "the parameters".
QString TablesMoved(const TransferRequest& request)
{
    QStringList items;
    if (request.Includes(TransferTable::PLU))
        items << CountText(std::size_t(request.range.end - request.range.begin + 1), "PLU", "PLUs");
    if (request.Includes(TransferTable::Department))
        items << CountText(kDepartments, "department", "departments");
    if (request.Includes(TransferTable::Parameter))
        items << QStringLiteral("the parameters");
    return Listed(items);
}

QString EndedWord(const TransferResult& result)
{
    return result.outcome == TransferResult::Outcome::Cancelled ? QStringLiteral("cancelled")
                                                                 : QStringLiteral("failed");
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
        kept << QStringLiteral("its earlier departments");
    if (request.Includes(TransferTable::Parameter) && !result.reach.Done(TransferTable::Parameter))
        kept << QStringLiteral("its earlier parameters");
    return kept;
}

QString DoneSuffix(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    return QStringLiteral("in %1 s (%2)")
        .arg(Seconds(result.elapsedMs), LineText(request.transfer.port, request.transfer.baudIndex));
}

QString CompareDoneText(const RegisterCommandRequest& request, const RegisterCommandResult& result)
{
    TransferRequest compared = request.transfer;
    compared.selection = result.comparedTables;
    const QString found = result.differences.empty()
                              ? QStringLiteral("no difference")
                              : CountText(result.differences.size(), "difference", "differences");
    return QStringLiteral("Compare finished: %1 in %2 %3").arg(found, TablesMoved(compared), DoneSuffix(request, result));
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
        return QStringLiteral("Upload finished: %1 %2").arg(TablesMoved(request.transfer), DoneSuffix(request, result));
    case RegisterCommandKind::Download:
        break;
    }
    // The summary of a changes-only download says what it sent.
    if (request.changesOnly && !result.changesSummary.isEmpty())
        return result.changesSummary;
    if (request.changesOnly)
        return QStringLiteral("Download changes finished %1").arg(DoneSuffix(request, result));
    return QStringLiteral("%1: %2 %3")
        .arg(result.compared ? QStringLiteral("Download finished and verified") : QStringLiteral("Download finished"),
             TablesMoved(request.transfer), DoneSuffix(request, result));
}

QString ServiceDoneText(const QString& command, const ServicePort& port, qint64 elapsedMs)
{
    if (command == QLatin1String("test"))
        return QStringLiteral("Test: the register answers at %1 bit/s").arg(LineRateOf(port.baudIndex));
    QString what = QStringLiteral("Memory dump finished");
    if (command == QLatin1String("program"))
        what = QStringLiteral("Program download finished");
    else if (command == QLatin1String("font"))
        what = QStringLiteral("Font download finished");
    return QStringLiteral("%1 in %2 s (%3)").arg(what, Seconds(elapsedMs), LineText(port.name, port.baudIndex));
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
        return QStringLiteral("Part of the changes may have been sent; the register keeps its earlier contents for "
                              "the rest — send again, or Compare");
    QStringList sent;
    const int lastPlu = result.reach.Done(TransferTable::PLU) ? transfer.range.end : result.reach.lastPlu;
    if (transfer.Includes(TransferTable::PLU) && lastPlu >= transfer.range.begin)
        sent << QStringLiteral("PLUs %1–%2").arg(transfer.range.begin).arg(lastPlu);
    if (transfer.Includes(TransferTable::Department) && result.reach.Done(TransferTable::Department))
        sent << QStringLiteral("the departments");
    if (sent.isEmpty())
        return QStringLiteral("Nothing was sent; the register keeps what it held — send again, or Compare");
    const QString pluKept = lastPlu >= transfer.range.begin
                                ? QStringLiteral("its earlier PLUs from %1 on").arg(lastPlu + 1)
                                : QStringLiteral("its earlier PLUs");
    return QStringLiteral("%1 were sent; the register keeps %2 — send again, or Compare")
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
    const QString ended = EndedWord(result);
    if (request.Includes(TransferTable::PLU) && !result.reach.Done(TransferTable::PLU)) {
        if (result.reach.lastPlu < request.range.begin)
            return QStringLiteral("Upload %1 before the first PLU was read").arg(ended);
        return QStringLiteral("Upload %1 after PLU %2").arg(ended).arg(result.reach.lastPlu);
    }
    if (request.Includes(TransferTable::Department) && !result.reach.Done(TransferTable::Department))
        return QStringLiteral("Upload %1 before the departments were read").arg(ended);
    return QStringLiteral("Upload %1 at the parameters").arg(ended);
}

QString UploadLeftText(const TransferRequest& request, const TransferResult& result)
{
    const QString stopped = UploadStopText(request, result);
    if (stopped.isEmpty() || !UploadTouchesDocument(request.selection))
        return stopped;
    if (!UploadReadAnything(request, result))
        return stopped + QStringLiteral(": the document keeps its earlier contents");
    if (request.Includes(TransferTable::PLU) && !result.reach.Done(TransferTable::PLU)) {
        if (result.reach.lastPlu >= request.range.end)
            return stopped + QStringLiteral(": quantities and totals keep their earlier contents");
        return stopped + QStringLiteral(": the rest of the table keeps its earlier contents");
    }
    if (request.Includes(TransferTable::Department) && !result.reach.Done(TransferTable::Department))
        return stopped + QStringLiteral(": the departments keep their earlier contents");
    return stopped + QStringLiteral(": the tables were read, the parameters keep their earlier values");
}
