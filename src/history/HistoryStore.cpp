#include "history/HistoryStore.h"

#include "history/SnapshotBlob.h"

#include "files/FilePath.h"

#include <QAtomicInteger>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString NewConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("history-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Registers served side by side share the file, each thread through its own
// connection; their writes (and the schema set-up) take turns here, and the
// busy timeout covers another program writing at the same moment.
QMutex& WriteTurn()
{
    static QMutex turn;
    return turn;
}

// Rolls back unless committed.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db) : db_(std::move(db)) { begun_ = db_.transaction(); }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction()
    {
        if (begun_)
            db_.rollback();
    }
    bool Begun() const { return begun_; }
    bool Commit()
    {
        const bool ok = db_.commit();
        begun_ = !ok;
        return ok;
    }

private:
    QSqlDatabase db_;
    bool begun_ = false;
};

HistoryEntry EntryOf(const QSqlQuery& query)
{
    HistoryEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.time = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
    entry.command = query.value(2).toString();
    entry.port = query.value(3).toString();
    entry.device = query.value(4).toString();
    entry.lineRate = query.value(5).toInt();
    entry.tables = query.value(6).toUInt();
    entry.range = PluRange{query.value(7).toInt(), query.value(8).toInt()};
    entry.outcome = query.value(9).toString();
    entry.error = query.value(10).toString();
    return entry;
}

// Text columns are NOT NULL; an empty text is stored as "".
QVariant Text(const QString& text)
{
    return QVariant(text.isNull() ? QStringLiteral("") : text);
}

const QString kEntryColumns = QStringLiteral(
    "id, time, command, port, device, line_rate, tables, range_begin, range_end, outcome, error");

} // namespace

HistoryStore::HistoryStore(const QString& path, Limits limits, Access access)
    : connection_(NewConnectionName()), path_(path), limits_(limits), access_(access)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        error_ = QStringLiteral("The transfer history needs the SQLite driver of Qt (package libqt6sql6-sqlite).");
        return;
    }
    const FilePath file(path);
    if (access_ == Access::ReadOnly) {
        // Nothing to read is no failure; and a listing never makes the file.
        if (!file.Exists())
            return;
        // A file or folder that must not be written is read as it lies: no
        // lock or index files are made beside it.
        const bool asItLies = !Writable(file) || !Writable(file.Absolute().Folder());
        open_ = (!asItLies && Open(false)) || Open(true);
        return;
    }
    open_ = Open(false);
}

bool HistoryStore::Open(bool asItLies)
{
    const QMutexLocker turn(&WriteTurn());
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::removeDatabase(connection_);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    // The name goes to SQLite as a URI, whose escapes carry any byte: a folder
    // named in Latin-1 bytes is reached as itself.
    const QByteArray name = QByteArrayLiteral("file:")
                            + FilePath(path_).Absolute().Bytes().toPercentEncoding("/")
                            + (asItLies ? QByteArrayLiteral("?mode=ro&immutable=1") : QByteArray());
    db.setDatabaseName(QString::fromLatin1(name));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI"));
    if (!db.open())
        return Fail(QStringLiteral("open"), db.lastError());
    if (access_ == Access::ReadOnly ? HasTables() : CreateSchema()) {
        error_.clear();
        return true;
    }
    db.close();
    return false;
}

bool HistoryStore::Writable(const FilePath& path)
{
    const auto state = path.State();
    return state && (state->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.Native(), W_OK) == 0;
}

bool HistoryStore::HasTables()
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    // Reading the schema and the first page tells a damaged file.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM transfers")) || !query.next())
        return Fail(QStringLiteral("read"), query.lastError());
    return true;
}

HistoryStore::~HistoryStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::removeDatabase(connection_);
}

bool HistoryStore::Fail(const QString& what, const QString& why)
{
    error_ = QStringLiteral("Transfer history: cannot %1 %2: %3").arg(what, FilePath::Readable(path_), why);
    return false;
}

bool HistoryStore::Fail(const QString& what, const QSqlError& error)
{
    // SQLITE_CORRUPT and SQLITE_NOTADB: the file itself is unusable.
    static const QStringList kDamaged{QStringLiteral("11"), QStringLiteral("26")};
    if (!kDamaged.contains(error.nativeErrorCode()))
        return Fail(what, error.text());
    return Fail(what, error.text() + QStringLiteral(". ") + DamagedAdvice());
}

QString HistoryStore::DamagedAdvice()
{
    return QStringLiteral("The file is damaged: rename or delete it (the next transfer starts a new history), "
                          "or put back a copy from a backup");
}

bool HistoryStore::Exec(const QString& statement)
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (query.exec(statement))
        return true;
    return Fail(QStringLiteral("write"), query.lastError());
}

bool HistoryStore::CreateSchema()
{
    // auto_vacuum only takes effect before the first table is made; it lets
    // the retention give space back to the file system.
    return Exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"))
           && Exec(QStringLiteral("PRAGMA journal_mode = WAL"))
           && Exec(QStringLiteral("PRAGMA synchronous = NORMAL"))
           && Exec(QStringLiteral(
               "CREATE TABLE IF NOT EXISTS transfers ("
               " id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT NOT NULL, command TEXT NOT NULL,"
               " port TEXT NOT NULL, device TEXT NOT NULL, line_rate INTEGER NOT NULL, tables INTEGER NOT NULL,"
               " range_begin INTEGER NOT NULL, range_end INTEGER NOT NULL, outcome TEXT NOT NULL,"
               " error TEXT NOT NULL, has_contents INTEGER NOT NULL, price_decimals INTEGER NOT NULL,"
               " plus BLOB, departments BLOB)"))
           && Exec(QStringLiteral(
               "CREATE TABLE IF NOT EXISTS known_state ("
               " device TEXT PRIMARY KEY, price_decimals INTEGER NOT NULL, plus BLOB, departments BLOB)"))
           // Files made before readings were kept get the table on their first open.
           && Exec(QStringLiteral(
               "CREATE TABLE IF NOT EXISTS readings ("
               " id INTEGER PRIMARY KEY AUTOINCREMENT, transfer_id INTEGER NOT NULL, time TEXT NOT NULL,"
               " port TEXT NOT NULL, device TEXT NOT NULL, price_decimals INTEGER NOT NULL,"
               " range_begin INTEGER NOT NULL, range_end INTEGER NOT NULL, articles INTEGER NOT NULL,"
               " figures BLOB NOT NULL)"))
           && Exec(QStringLiteral("CREATE INDEX IF NOT EXISTS readings_device ON readings (device, id)"));
}

qint64 HistoryStore::Record(const HistoryEntry& entry)
{
    if (!open_)
        return 0;
    const QMutexLocker turn(&WriteTurn());
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Transaction transaction(db);
    if (!transaction.Begun()) {
        Fail(QStringLiteral("write"), db.lastError());
        return 0;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT INTO transfers (time, command, port, device, line_rate, tables, range_begin, range_end, outcome,"
        " error, has_contents, price_decimals, plus, departments)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const TableSnapshot contents = entry.contents.value_or(TableSnapshot{});
    for (const QVariant& value :
         {QVariant(entry.time.toUTC().toString(Qt::ISODateWithMs)), Text(entry.command), Text(entry.port), Text(entry.device), QVariant(entry.lineRate), QVariant(entry.tables), QVariant(entry.range.begin),
          QVariant(entry.range.end), Text(entry.outcome), Text(entry.error),
          QVariant(entry.contents.has_value()), QVariant(int(contents.priceDecimals)),
          QVariant(SnapshotBlob::PLUs(contents)), QVariant(SnapshotBlob::Departments(contents))})
        insert.addBindValue(value);
    if (!insert.exec()) {
        Fail(QStringLiteral("write"), insert.lastError());
        return 0;
    }
    const qint64 id = insert.lastInsertId().toLongLong();
    if (entry.contents && !entry.contents->IsEmpty() && !MergeKnownState(entry.device, *entry.contents))
        return 0;
    if (entry.reading && (!InsertReading(id, entry) || !ApplyReadingRetention()))
        return 0;
    if (!ApplyRetention())
        return 0;
    if (!transaction.Commit()) {
        Fail(QStringLiteral("write"), db.lastError());
        return 0;
    }
    GiveSpaceBack();
    error_.clear();
    return id;
}

// The pages the retention freed go back to the file system: each step of
// incremental_vacuum frees one page, so it runs to its end; a file made
// before incremental vacuum was set up is rebuilt once in that form. The
// checkpoint then shortens the file and empties the log.
void HistoryStore::GiveSpaceBack()
{
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery mode(db);
    if (mode.exec(QStringLiteral("PRAGMA auto_vacuum")) && mode.next() && mode.value(0).toInt() != 2) {
        mode.finish();
        Exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
        Exec(QStringLiteral("VACUUM"));
    }
    QSqlQuery vacuum(db);
    if (vacuum.exec(QStringLiteral("PRAGMA incremental_vacuum"))) {
        while (vacuum.next()) {
        }
    }
    vacuum.finish();
    QSqlQuery checkpoint(db);
    checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool HistoryStore::MergeKnownState(const QString& device, const TableSnapshot& contents)
{
    TableSnapshot known = KnownState(device);
    MergeSnapshot(known, contents);
    QSqlQuery upsert(QSqlDatabase::database(connection_, false));
    upsert.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO known_state (device, price_decimals, plus, departments) VALUES (?, ?, ?, ?)"));
    upsert.addBindValue(device);
    upsert.addBindValue(int(known.priceDecimals));
    upsert.addBindValue(SnapshotBlob::PLUs(known));
    upsert.addBindValue(SnapshotBlob::Departments(known));
    if (upsert.exec())
        return true;
    return Fail(QStringLiteral("write"), upsert.lastError());
}

bool HistoryStore::ApplyRetention()
{
    QSqlQuery sizes(QSqlDatabase::database(connection_, false));
    sizes.setForwardOnly(true);
    // The entry's own columns count as a few hundred bytes beside its contents.
    if (!sizes.exec(QStringLiteral(
            "SELECT id, 256 + length(error) + IFNULL(length(plus), 0) + IFNULL(length(departments), 0)"
            " FROM transfers ORDER BY id DESC")))
        return Fail(QStringLiteral("read"), sizes.lastError());
    int kept = 0;
    qint64 bytes = 0;
    qint64 firstDropped = 0;
    while (sizes.next()) {
        bytes += sizes.value(1).toLongLong();
        if (kept == limits_.entries || (kept > 0 && bytes > limits_.bytes)) {
            firstDropped = sizes.value(0).toLongLong();
            break;
        }
        ++kept;
    }
    sizes.finish();
    if (firstDropped == 0)
        return true;
    return Exec(QStringLiteral("DELETE FROM transfers WHERE id <= %1").arg(firstDropped));
}

bool HistoryStore::InsertReading(qint64 transferId, const HistoryEntry& entry)
{
    const SalesReading& reading = *entry.reading;
    QSqlQuery insert(QSqlDatabase::database(connection_, false));
    insert.prepare(QStringLiteral(
        "INSERT INTO readings (transfer_id, time, port, device, price_decimals, range_begin, range_end, articles,"
        " figures) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& value :
         {QVariant(transferId), QVariant(entry.time.toUTC().toString(Qt::ISODateWithMs)), Text(entry.port),
          Text(entry.device), QVariant(reading.priceDecimals), QVariant(reading.range.begin),
          QVariant(reading.range.end), QVariant(qint64(reading.figures.size())),
          QVariant(FiguresBlob::Encode(reading.figures))})
        insert.addBindValue(value);
    if (insert.exec())
        return true;
    return Fail(QStringLiteral("write"), insert.lastError());
}

bool HistoryStore::ApplyReadingRetention()
{
    const QString oldest =
        QDateTime::currentDateTimeUtc().addYears(-limits_.readingYears).toString(Qt::ISODateWithMs);
    QSqlQuery byAge(QSqlDatabase::database(connection_, false));
    byAge.prepare(QStringLiteral("DELETE FROM readings WHERE time < ?"));
    byAge.addBindValue(oldest);
    if (!byAge.exec())
        return Fail(QStringLiteral("write"), byAge.lastError());
    QSqlQuery sizes(QSqlDatabase::database(connection_, false));
    sizes.setForwardOnly(true);
    if (!sizes.exec(QStringLiteral("SELECT id, 128 + length(figures) FROM readings ORDER BY id DESC")))
        return Fail(QStringLiteral("read"), sizes.lastError());
    qint64 bytes = 0;
    qint64 firstDropped = 0;
    bool first = true;
    while (sizes.next()) {
        bytes += sizes.value(1).toLongLong();
        // The newest reading stays whatever its size.
        if (!first && bytes > limits_.readingBytes) {
            firstDropped = sizes.value(0).toLongLong();
            break;
        }
        first = false;
    }
    sizes.finish();
    if (firstDropped == 0)
        return true;
    return Exec(QStringLiteral("DELETE FROM readings WHERE id <= %1").arg(firstDropped));
}

bool HistoryStore::HasReadings()
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'readings'")))
        return Fail(QStringLiteral("read"), query.lastError());
    return query.next();
}

namespace {

const QString kReadingColumns =
    QStringLiteral("id, transfer_id, time, port, device, price_decimals, range_begin, range_end, articles");

SalesReading ReadingOf(const QSqlQuery& query)
{
    SalesReading reading;
    reading.id = query.value(0).toLongLong();
    reading.transferId = query.value(1).toLongLong();
    reading.time = QDateTime::fromString(query.value(2).toString(), Qt::ISODateWithMs);
    reading.port = query.value(3).toString();
    reading.device = query.value(4).toString();
    reading.priceDecimals = query.value(5).toInt();
    reading.range = PluRange{query.value(6).toInt(), query.value(7).toInt()};
    reading.articles = query.value(8).toInt();
    return reading;
}

} // namespace

std::vector<SalesReading> HistoryStore::Readings()
{
    std::vector<SalesReading> readings;
    if (!open_ || !HasReadings())
        return readings;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM readings ORDER BY id DESC").arg(kReadingColumns))) {
        Fail(QStringLiteral("read"), query.lastError());
        return readings;
    }
    while (query.next())
        readings.push_back(ReadingOf(query));
    return readings;
}

std::optional<std::vector<SalesReading>> HistoryStore::ReadingsWithFigures(const QString& device, qint64 firstId,
                                                                           qint64 lastId)
{
    std::vector<SalesReading> readings;
    error_.clear();
    if (!open_ || !HasReadings())
        return readings;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1, figures FROM readings WHERE device = ? AND id >= ? AND id <= ?"
                                 " ORDER BY id")
                      .arg(kReadingColumns));
    query.addBindValue(device);
    query.addBindValue(firstId);
    query.addBindValue(lastId > 0 ? lastId : std::numeric_limits<qint64>::max());
    if (!query.exec()) {
        Fail(QStringLiteral("read"), query.lastError());
        return std::nullopt;
    }
    while (query.next()) {
        SalesReading reading = ReadingOf(query);
        auto figures = FiguresBlob::Decode(query.value(9).toByteArray());
        if (!figures || reading.priceDecimals < 0 || reading.priceDecimals > 9 || !reading.range.IsValid()) {
            Fail(QStringLiteral("read"),
                 QStringLiteral("the figures of reading %1 are damaged. %2").arg(reading.id).arg(DamagedAdvice()));
            return std::nullopt;
        }
        reading.figures = std::move(*figures);
        reading.articles = int(reading.figures.size());
        readings.push_back(std::move(reading));
    }
    return readings;
}

std::vector<HistoryEntry> HistoryStore::List()
{
    std::vector<HistoryEntry> entries;
    if (!open_)
        return entries;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM transfers ORDER BY id DESC").arg(kEntryColumns))) {
        Fail(QStringLiteral("read"), query.lastError());
        return entries;
    }
    while (query.next())
        entries.push_back(EntryOf(query));
    return entries;
}

std::optional<HistoryEntry> HistoryStore::Entry(qint64 id)
{
    if (!open_)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT %1, has_contents, price_decimals, plus, departments FROM transfers"
                                 " WHERE id = ?").arg(kEntryColumns));
    query.addBindValue(id);
    if (!query.exec()) {
        Fail(QStringLiteral("read"), query.lastError());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    HistoryEntry entry = EntryOf(query);
    if (query.value(11).toBool()) {
        TableSnapshot contents;
        contents.priceDecimals = quint8(query.value(12).toUInt());
        if (!SnapshotBlob::ReadPLUs(query.value(13).toByteArray(), contents)
            || !SnapshotBlob::ReadDepartments(query.value(14).toByteArray(), contents)) {
            Fail(QStringLiteral("read"),
                 QStringLiteral("the contents of entry %1 are damaged. %2").arg(id).arg(DamagedAdvice()));
            return std::nullopt;
        }
        entry.contents = contents;
    }
    return entry;
}

TableSnapshot HistoryStore::KnownState(const QString& device)
{
    TableSnapshot known;
    if (!open_)
        return known;
    error_.clear();
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT price_decimals, plus, departments FROM known_state WHERE device = ?"));
    query.addBindValue(device);
    if (!query.exec()) {
        Fail(QStringLiteral("read"), query.lastError());
        return known;
    }
    if (!query.next())
        return known;
    known.priceDecimals = quint8(query.value(0).toUInt());
    // A damaged state counts as unknown: the next download goes out in full.
    if (!SnapshotBlob::ReadPLUs(query.value(1).toByteArray(), known)
        || !SnapshotBlob::ReadDepartments(query.value(2).toByteArray(), known))
        return TableSnapshot{};
    return known;
}

QString HistoryStore::IntegrityCheck()
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next())
        return query.lastError().text();
    return query.value(0).toString();
}
