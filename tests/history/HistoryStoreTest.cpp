// The transfer history database: entries, contents, what a register is known
// to hold, retention and damaged files.

#include "history/HistoryStore.h"
#include "history/TransferHistory.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

PLURecord RecordNamed(char letter)
{
    PLURecord record{};
    record[PLURecordLayout::kName] = quint8(letter);
    return record;
}

TableSnapshot PLUs(int first, int last, char letter, quint8 decimals = 2)
{
    TableSnapshot snapshot;
    snapshot.priceDecimals = decimals;
    for (int n = first; n <= last; ++n)
        snapshot.plus.emplace(n, RecordNamed(letter));
    return snapshot;
}

HistoryEntry Entry(const QString& command, std::optional<TableSnapshot> contents = std::nullopt)
{
    HistoryEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    entry.command = command;
    entry.port = QStringLiteral("COM1");
    entry.device = QStringLiteral("/dev/ttyUSB0");
    entry.lineRate = 115200;
    entry.tables = TableBit(TransferTable::PLU);
    entry.range = {1, 3000};
    entry.outcome = QStringLiteral("done");
    entry.contents = std::move(contents);
    return entry;
}

class HistoryStoreTest : public testing::Test
{
protected:
    QString DbPath() const { return dir.filePath(QStringLiteral("HISTORY.DB")); }

    QTemporaryDir dir;
};

TEST_F(HistoryStoreTest, EntriesKeepTheirContentsAndTheRegisterStateMerges)
{
    HistoryStore store(DbPath());
    ASSERT_TRUE(store.IsOpen()) << store.Error().toStdString();
    EXPECT_TRUE(store.KnownState(QStringLiteral("/dev/ttyUSB0")).IsEmpty());

    TableSnapshot sent = PLUs(1, 3, 'a');
    sent.departments = TableSnapshot::Departments{};
    EXPECT_EQ(store.Record(Entry(QStringLiteral("download"), sent)), 1);
    EXPECT_EQ(store.Record(Entry(QStringLiteral("upload"), PLUs(2, 5, 'b'))), 2);
    EXPECT_EQ(store.Record(Entry(QStringLiteral("test"))), 3);

    const std::vector<HistoryEntry> list = store.List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].command, "test");
    EXPECT_EQ(list[2].command, "download");
    EXPECT_FALSE(list[2].contents) << "the list carries no contents";

    const auto first = store.Entry(1);
    ASSERT_TRUE(first && first->contents);
    EXPECT_EQ(first->contents->plus, sent.plus);
    EXPECT_TRUE(first->contents->departments);
    EXPECT_EQ(first->lineRate, 115200);
    EXPECT_FALSE(store.Entry(3)->contents);
    EXPECT_FALSE(store.Entry(99));

    const TableSnapshot known = store.KnownState(QStringLiteral("/dev/ttyUSB0"));
    ASSERT_EQ(known.plus.size(), 5u);
    EXPECT_EQ(known.plus.at(1), RecordNamed('a'));
    EXPECT_EQ(known.plus.at(2), RecordNamed('b'));
    EXPECT_TRUE(known.departments);
    EXPECT_TRUE(store.KnownState(QStringLiteral("/dev/ttyS0")).IsEmpty());

    // Other price decimals make the older records meaningless.
    store.Record(Entry(QStringLiteral("upload"), PLUs(9, 9, 'c', 3)));
    EXPECT_EQ(store.KnownState(QStringLiteral("/dev/ttyUSB0")).plus.size(), 1u);
    EXPECT_EQ(store.IntegrityCheck(), "ok");
}

TEST_F(HistoryStoreTest, RetentionKeepsTheNewestEntriesWithinBothLimits)
{
    {
        HistoryStore store(DbPath(), HistoryLimits{3, 1 << 30});
        for (int i = 0; i < 5; ++i)
            store.Record(Entry(QStringLiteral("test")));
        const auto list = store.List();
        ASSERT_EQ(list.size(), 3u);
        EXPECT_EQ(list.front().id, 5);
        EXPECT_EQ(list.back().id, 3);
    }
    // A full table is about 200 kB; half a megabyte holds two of them.
    HistoryStore store(DbPath(), HistoryLimits{500, 500 * 1024});
    for (int i = 0; i < 4; ++i)
        store.Record(Entry(QStringLiteral("upload"), PLUs(1, 3000, char('a' + i))));
    const auto list = store.List();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front().id, 9);
    EXPECT_EQ(store.KnownState(QStringLiteral("/dev/ttyUSB0")).plus.at(1), RecordNamed('d'));
    EXPECT_LT(QFile(DbPath()).size(), 2 * 1024 * 1024) << "space of dropped entries is given back";
}

TEST_F(HistoryStoreTest, DamagedOrUnusableDatabasesNeverStopATransfer)
{
    {
        HistoryStore store(DbPath());
        store.Record(Entry(QStringLiteral("download"), PLUs(1, 2, 'a')));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(DbPath());
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("UPDATE transfers SET plus = x'0102'"));
        QSqlQuery(db).exec(QStringLiteral("UPDATE known_state SET plus = x'0BB9'"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
    HistoryStore store(DbPath());
    EXPECT_FALSE(store.Entry(1));
    EXPECT_TRUE(store.Error().contains("damaged")) << store.Error().toStdString();
    EXPECT_TRUE(store.KnownState(QStringLiteral("/dev/ttyUSB0")).IsEmpty());

    // A folder where the file should be: a warning, once, and nothing recorded.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    TransferHistory history(blocked);
    TransferRequest request;
    request.port = QStringLiteral("COM1");
    history.Record(QStringLiteral("download"), request, TransferResult{}, PLUs(1, 1, 'a'));
    EXPECT_TRUE(history.TakeWarning().startsWith("Transfer history: cannot"));
    EXPECT_TRUE(history.TakeWarning().isEmpty());
}

TEST_F(HistoryStoreTest, RetentionGivesTheSpaceBackEvenToAFileMadeWithoutIt)
{
    // A file made before the history gave space back: no incremental vacuum.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(DbPath());
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE filler (x BLOB)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    const qint64 limit = 600 * 1024;
    HistoryStore store(DbPath(), HistoryLimits{500, limit});
    ASSERT_TRUE(store.IsOpen()) << store.Error().toStdString();
    const auto fileSize = [&] {
        return QFileInfo(DbPath()).size() + QFileInfo(DbPath() + QStringLiteral("-wal")).size();
    };
    qint64 largest = 0;
    for (int i = 0; i < 24; ++i) {
        ASSERT_NE(store.Record(Entry(QStringLiteral("upload"), PLUs(1, 3000, char('a' + i)))), 0)
            << store.Error().toStdString();
        largest = std::max(largest, fileSize());
    }
    EXPECT_LE(store.List().size(), 3u);
    // The entries, what the register is known to hold, and a page or two.
    EXPECT_LT(largest, 2 * limit) << "dropped entries' space stays in the file";
}

TEST_F(HistoryStoreTest, ListingReadsADamagedOrReadOnlyFileWithoutWritingIt)
{
    using Access = HistoryStore::Access;
    {
        HistoryStore missing(DbPath(), HistoryLimits(), Access::ReadOnly);
        EXPECT_FALSE(missing.IsOpen());
        EXPECT_TRUE(missing.Error().isEmpty());
        EXPECT_FALSE(QFile::exists(DbPath())) << "looking makes no file";
    }
    {
        HistoryStore store(DbPath());
        store.Record(Entry(QStringLiteral("download"), PLUs(1, 2, 'a')));
    }
    ASSERT_TRUE(QFile::setPermissions(DbPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    {
        HistoryStore readOnly(DbPath(), HistoryLimits(), Access::ReadOnly);
        ASSERT_TRUE(readOnly.IsOpen()) << readOnly.Error().toStdString();
        EXPECT_EQ(readOnly.List().size(), 1u);
        EXPECT_TRUE(readOnly.Entry(1).has_value());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"HISTORY.DB"}) << "no -shm or -wal left";
    ASSERT_TRUE(QFile::setPermissions(DbPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    // Bytes overwritten after the first page (the schema still reads): the
    // listing says so, and
    // what to do.
    {
        QFile file(DbPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        for (qint64 at = 4096; at < file.size(); at += 512) {
            file.seek(at);
            file.write(QByteArray(64, '\xA5'));
        }
    }
    HistoryStore damaged(DbPath(), HistoryLimits(), Access::ReadOnly);
    const auto listed = damaged.List();
    EXPECT_TRUE(listed.empty());
    EXPECT_FALSE(damaged.Error().isEmpty());
    EXPECT_TRUE(damaged.Error().contains(HistoryStore::DamagedAdvice())) << damaged.Error().toStdString();
}

TEST_F(HistoryStoreTest, AFullDiskStillLists)
{
    FullDisk disk;
    ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
    const QString path = disk.Path(QStringLiteral("HISTORY.DB"));
    {
        HistoryStore store(path);
        ASSERT_NE(store.Record(Entry(QStringLiteral("download"), PLUs(1, 2, 'a'))), 0) << store.Error().toStdString();
    }
    disk.Fill();
    HistoryStore listing(path, HistoryLimits(), HistoryStore::Access::ReadOnly);
    ASSERT_TRUE(listing.IsOpen()) << listing.Error().toStdString();
    EXPECT_EQ(listing.List().size(), 1u) << listing.Error().toStdString();
}

} // namespace
