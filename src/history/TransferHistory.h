#pragma once

#include "history/HistoryDevice.h"
#include "history/HistoryStore.h"

#include <QString>

#include <optional>

struct ServiceResult;

// The history as a transfer uses it: records what reached the register and
// tells what a register was last seen with. The database is opened once; when
// it cannot be opened or written the transfer goes on and Warning() says why,
// for the caller to show.
class TransferHistory
{
public:
    explicit TransferHistory(const QString& path = HistoryDatabasePath(), HistoryLimits limits = HistoryLimits());

    // What the register behind this port was last seen with.
    TableSnapshot KnownState(const QString& portName);
    // What a changes-only download tells before it sends the tables of the
    // request nothing is known of (in full): that nothing is known yet, or,
    // when the history could not be read by KnownState(), exactly that.
    QString KnownStateNotice(const TableSnapshot& known, const TransferRequest& request) const;

    // Adds an entry for a transfer that reached the register; one that never
    // opened the port or was refused before is not recorded. The outcome word
    // is the result's unless given ("differs"). An upload's sales reading goes
    // in with the entry, in the same transaction.
    void Record(const QString& command, const TransferRequest& request, const TransferResult& result,
                std::optional<TableSnapshot> contents = std::nullopt, const QString& outcome = QString(),
                std::optional<SalesReading> reading = std::nullopt);

    // Adds an entry for a service function (test, dump, program, font) that
    // reached the register; it carries no tables.
    void RecordService(const QString& command, const QString& portName, int baudIndex,
                       const ServiceResult& result);

    // The warning not yet shown, once; empty when all went well.
    QString TakeWarning();

    HistoryStore& Store() { return store_; }

private:
    void NoteFailure();

    HistoryStore store_;
    QString warning_;
    bool warned_ = false;
    bool knownStateRead_ = false;
};
