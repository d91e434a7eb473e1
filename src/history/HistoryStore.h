#pragma once

#include "history/HistoryEntry.h"

#include <QString>

#include <optional>
#include <vector>

// The transfer history in a SQLite database (Qt SQL): the transfers, newest
// kept, and per register device the table contents it was last seen with.
// The database runs in write-ahead-log mode and every transfer is written in
// one transaction, so a killed program never leaves it half written. Nothing
// here throws: a database that cannot be opened or written reports why in
// Error(), and the transfer it belongs to goes on regardless.
// How much history is kept: the newest entries up to both limits.
// Sales readings have limits of their own: they are kept for years.
struct HistoryLimits
{
    int entries = 500;
    qint64 bytes = 50LL * 1024 * 1024;
    int readingYears = 3;
    qint64 readingBytes = 200LL * 1024 * 1024;
};

class FilePath;
class QSqlError;

class HistoryStore
{
public:
    using Limits = HistoryLimits;
    // ReadOnly: for looking at the history; never creates or writes the file.
    // A missing file reads as no history (not open, no error); a file or
    // folder without write permission, or one that cannot be written now (a
    // full disk), is read as it lies, with nothing made beside it.
    enum class Access { ReadWrite, ReadOnly };

    explicit HistoryStore(const QString& path, HistoryLimits limits = HistoryLimits(),
                          Access access = Access::ReadWrite);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    bool IsOpen() const { return open_; }
    // Why the last operation failed ("" after success).
    const QString& Error() const { return error_; }

    // Appends the entry (its id is given here) and, when it carries contents,
    // merges them into what is known of its device; a sales reading it carries
    // is kept in the same transaction. Then drops the oldest entries and
    // readings beyond their limits. Returns the new id, or 0 on failure.
    qint64 Record(const HistoryEntry& entry);

    // Newest first, without contents.
    std::vector<HistoryEntry> List();
    // One entry with its contents.
    std::optional<HistoryEntry> Entry(qint64 id);
    // What the register on this device was last seen with; empty when unknown
    // and when it cannot be read (Error() then says why).
    TableSnapshot KnownState(const QString& device);

    // The sales readings, newest first, without their figures. A file from
    // before readings were kept has none.
    std::vector<SalesReading> Readings();
    // The readings of one device with ids firstId..lastId (0: no bound),
    // oldest first, with their figures; nothing (Error() says why) when one
    // of them is damaged.
    std::optional<std::vector<SalesReading>> ReadingsWithFigures(const QString& device, qint64 firstId = 0,
                                                                 qint64 lastId = 0);

    // "ok" when SQLite finds the file sound.
    QString IntegrityCheck();

    // What the operator can do about a damaged file.
    static QString DamagedAdvice();

private:
    bool Open(bool asItLies);
    static bool Writable(const FilePath& path);
    bool HasTables();
    void GiveSpaceBack();
    bool Exec(const QString& statement);
    bool CreateSchema();
    bool MergeKnownState(const QString& device, const TableSnapshot& contents);
    bool ApplyRetention();
    bool InsertReading(qint64 transferId, const HistoryEntry& entry);
    bool ApplyReadingRetention();
    bool HasReadings();
    bool Fail(const QString& what, const QString& why);
    bool Fail(const QString& what, const QSqlError& error);

    QString connection_;
    QString path_;
    Limits limits_;
    Access access_ = Access::ReadWrite;
    bool open_ = false;
    QString error_;
};
