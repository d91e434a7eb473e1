#pragma once

#include "history/SalesReading.h"
#include "transfer/TableSnapshot.h"
#include "transfer/TransferRequest.h"

#include <QDateTime>
#include <QString>

#include <optional>

// One transfer that reached the register, as the history keeps it.
struct HistoryEntry
{
    qint64 id = 0;              // given by the store, counting up
    QDateTime time;             // when it ended (UTC)
    QString command;            // "download", "download changes", "upload", "compare", "verify", "test", ...
    QString port;               // as the operator named it ("COM1" or a path)
    QString device;             // the device it resolved to, its /dev/serial/by-id name where there is one
    int lineRate = 0;           // bit/s
    unsigned tables = 0;        // TableBit()s; 0 for service functions
    PluRange range;
    QString outcome;            // "done", "differs", "failed", "cancelled"
    QString error;              // the error text, empty when done
    std::optional<TableSnapshot> contents;  // tables sent or received
    std::optional<SalesReading> reading;    // an upload's sales figures, kept with the entry

    // "plu,department 1-3000", "parameter", "" for none.
    QString TablesText() const;
    // "12  2026-12-08 09:40:01  download  COM1  plu,department 1-3000  done"
    QString ListLine() const;
};

// The outcome word for a finished transfer.
QString OutcomeWord(const TransferResult& result);
