#include "history/TransferHistory.h"

#include "transfer/DownloadChanges.h"
#include "transfer/ServiceContext.h"

#include <QStringList>

TransferHistory::TransferHistory(const QString& path, HistoryStore::Limits limits) : store_(path, limits)
{
    NoteFailure();
}

void TransferHistory::NoteFailure()
{
    if (!store_.Error().isEmpty() && warning_.isEmpty())
        warning_ = store_.Error();
}

TableSnapshot TransferHistory::KnownState(const QString& portName)
{
    TableSnapshot known = store_.KnownState(HistoryDevice(portName));
    knownStateRead_ = store_.IsOpen() && store_.Error().isEmpty();
    NoteFailure();
    return known;
}

QString TransferHistory::KnownStateNotice(const TableSnapshot& known, const TransferRequest& request) const
{
    const unsigned unknown = TablesWithoutKnownState(known, request);
    if (knownStateRead_ || unknown == 0)
        return UnknownStateNotice(unknown, request.port);
    return QStringLiteral("The transfer history cannot be read, so what the register at %1 holds is not known: "
                          "the chosen tables are sent in full.")
        .arg(request.port);
}

void TransferHistory::Record(const QString& command, const TransferRequest& request, const TransferResult& result,
                             std::optional<TableSnapshot> contents, const QString& outcome,
                             std::optional<SalesReading> reading)
{
    if (result.outcome == TransferResult::Outcome::PortNotOpened
        || result.outcome == TransferResult::Outcome::Refused)
        return;
    HistoryEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    entry.command = command;
    entry.port = request.port;
    entry.device = HistoryDevice(request.port);
    entry.lineRate = LineRateOf(request.baudIndex);
    entry.tables = request.selection & ((1u << kTransferTableCount) - 1);
    entry.range = request.range;
    entry.outcome = outcome.isEmpty() ? OutcomeWord(result) : outcome;
    if (!result.Succeeded()) {
        QStringList parts;
        for (const QString& part : {result.message, CauseText(result.cause), result.detail}) {
            if (!part.isEmpty())
                parts << part;
        }
        entry.error = parts.join(QLatin1Char(' '));
    }
    entry.contents = std::move(contents);
    entry.reading = std::move(reading);
    if (store_.Record(entry) == 0)
        NoteFailure();
}

void TransferHistory::RecordService(const QString& command, const QString& portName, int baudIndex,
                                    const ServiceResult& service)
{
    using Outcome = ServiceResult::Outcome;
    TransferResult result;
    switch (service.outcome) {
    case Outcome::NotStarted:
    case Outcome::Refused:
    case Outcome::PortNotOpened:
        return;
    case Outcome::Done:
        break;
    case Outcome::Failed:
        result.outcome = TransferResult::Outcome::Failed;
        break;
    case Outcome::Cancelled:
        result.outcome = TransferResult::Outcome::Cancelled;
        break;
    }
    result.message = service.message;
    result.detail = service.detail;
    result.cause = service.cause;
    TransferRequest request;
    request.port = portName;
    request.baudIndex = baudIndex;
    request.selection = 0;
    Record(command, request, result);
}

QString TransferHistory::TakeWarning()
{
    if (warned_ || warning_.isEmpty())
        return QString();
    warned_ = true;
    return warning_;
}
