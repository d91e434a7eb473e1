// Sales readings in the history: the figures an upload read, kept with its
// transfer entry, their own limits, and files from before readings were kept.

#include "history/HistoryStore.h"
#include "history/SalesReading.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

HistoryEntry UploadEntry(std::vector<ArticleFigures> figures, QDateTime time = QDateTime::currentDateTimeUtc())
{
    HistoryEntry entry;
    entry.time = time;
    entry.command = QStringLiteral("upload");
    entry.port = QStringLiteral("COM1");
    entry.device = QStringLiteral("/dev/ttyUSB0");
    entry.tables = TableBit(TransferTable::PLU);
    entry.outcome = QStringLiteral("done");
    SalesReading reading;
    reading.priceDecimals = 2;
    reading.figures = std::move(figures);
    entry.reading = reading;
    return entry;
}

TEST(SalesFigures, CellsAreReadBackToTheRegistersWholeNumbersExactly)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::Quantity, 1, QStringLiteral("12.500"));
    plu.SetCell(PLUColumn::Total, 1, QStringLiteral("29.875"));
    plu.SetCell(PLUColumn::Quantity, 2, QStringLiteral("0.000"));
    plu.SetCell(PLUColumn::Total, 2, QStringLiteral("0.00"));      // no figures: left out
    plu.SetCell(PLUColumn::Quantity, 3, QStringLiteral("-1.000"));  // a refund
    plu.SetCell(PLUColumn::Total, 3, QStringLiteral("70368744177.663"));
    plu.SetCell(PLUColumn::Quantity, 9, QStringLiteral("4.000"));   // outside the range read
    const auto figures = FiguresOfRows(plu, {1, 5}, 3);
    const std::vector<ArticleFigures> expected{{1, 12500, 29875}, {3, -1000, 70368744177663}};
    EXPECT_EQ(figures, expected);

    // Decimals 0: totals are written with two zero decimals and come back whole.
    plu.SetCell(PLUColumn::Total, 1, QStringLiteral("1250.00"));
    EXPECT_EQ(FiguresOfRows(plu, {1, 1}, 0).front().total, 1250);

    SetDecimalSeparator(QLatin1Char(','));
    plu.SetCell(PLUColumn::Quantity, 1, QStringLiteral("2,000"));
    EXPECT_EQ(FiguresOfRows(plu, {1, 1}, 0).front().quantity, 2000);
    ResetDecimalSeparator();

    const auto blob = FiguresBlob::Encode(expected);
    EXPECT_EQ(FiguresBlob::Decode(blob), expected);
    EXPECT_FALSE(FiguresBlob::Decode(blob.left(blob.size() - 1)));
    EXPECT_FALSE(FiguresBlob::Decode(FiguresBlob::Encode({{3, 1, 1}, {1, 1, 1}}))) << "out of order";
    EXPECT_FALSE(FiguresBlob::Decode(FiguresBlob::Encode({{3001, 1, 1}})));
    EXPECT_FALSE(FiguresBlob::Decode(QByteArray()));
}

TEST(SalesFigures, OnlyAGoodUploadOfThePLUTableMakesAReading)
{
    TextTable plu(TableKind::PLU);
    plu.SetCell(PLUColumn::Quantity, 4, QStringLiteral("1.000"));
    TransferRequest request;
    request.port = QStringLiteral("COM2");
    request.selection = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
    request.range = {1, 100};
    TransferResult done;
    const auto reading = UploadReading(request, done, plu, 2);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->range.end, 100);
    EXPECT_EQ(reading->figures.size(), 1u);

    TransferResult cancelled;
    cancelled.outcome = TransferResult::Outcome::Cancelled;
    EXPECT_FALSE(UploadReading(request, cancelled, plu, 2));
    request.selection = TableBit(TransferTable::Department);
    EXPECT_FALSE(UploadReading(request, done, plu, 2));
}

class ReadingStoreTest : public testing::Test
{
protected:
    QString DbPath() const { return dir.filePath(QStringLiteral("HISTORY.DB")); }

    QTemporaryDir dir;
};

TEST_F(ReadingStoreTest, ReadingsGoInWithTheirEntryAndOutlastTheTransfersLimit)
{
    HistoryLimits limits;
    limits.entries = 2;
    HistoryStore store(DbPath(), limits);
    for (int n = 1; n <= 5; ++n)
        ASSERT_EQ(store.Record(UploadEntry({{n, n * 1000, n * 100}})), n) << store.Error().toStdString();
    EXPECT_EQ(store.List().size(), 2u);
    const auto listed = store.Readings();
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_EQ(listed.front().id, 5);
    EXPECT_EQ(listed.front().transferId, 5);
    EXPECT_EQ(listed.front().articles, 1);
    EXPECT_TRUE(listed.front().figures.empty()) << "the list carries no figures";

    const auto some = store.ReadingsWithFigures(QStringLiteral("/dev/ttyUSB0"), 2, 4);
    ASSERT_TRUE(some);
    ASSERT_EQ(some->size(), 3u);
    EXPECT_EQ(some->front().id, 2) << "oldest first";
    EXPECT_EQ(some->front().figures, (std::vector<ArticleFigures>{{2, 2000, 200}}));
    EXPECT_TRUE(store.ReadingsWithFigures(QStringLiteral("/dev/ttyS9"))->empty());
}

TEST_F(ReadingStoreTest, ReadingsHaveTheirOwnAgeAndSizeLimits)
{
    HistoryLimits limits;
    limits.readingBytes = 3 * (128 + 1 + 3000 * 18);
    HistoryStore store(DbPath(), limits);
    std::vector<ArticleFigures> full;
    for (int n = 1; n <= 3000; ++n)
        full.push_back({n, 1000, 100});
    const QDateTime now = QDateTime::currentDateTimeUtc();
    store.Record(UploadEntry({{1, 1, 1}}, now.addYears(-3).addDays(-1)));
    store.Record(UploadEntry({{1, 1, 1}}, now.addYears(-3).addDays(1)));
    const auto young = store.Readings();
    ASSERT_EQ(young.size(), 1u) << "a reading older than three years is not kept";
    EXPECT_EQ(young.front().id, 2);
    for (int n = 0; n < 4; ++n)
        store.Record(UploadEntry(full, now));
    const auto kept = store.Readings();
    ASSERT_EQ(kept.size(), 3u) << "three full readings fit the size limit";
    EXPECT_EQ(kept.back().id, 4);
}

TEST_F(ReadingStoreTest, AFileFromBeforeReadingsStillWorks)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(DbPath());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral(
            "CREATE TABLE transfers (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT NOT NULL, command TEXT NOT NULL,"
            " port TEXT NOT NULL, device TEXT NOT NULL, line_rate INTEGER NOT NULL, tables INTEGER NOT NULL,"
            " range_begin INTEGER NOT NULL, range_end INTEGER NOT NULL, outcome TEXT NOT NULL,"
            " error TEXT NOT NULL, has_contents INTEGER NOT NULL, price_decimals INTEGER NOT NULL,"
            " plus BLOB, departments BLOB)")));
        ASSERT_TRUE(query.exec(QStringLiteral(
            "CREATE TABLE known_state (device TEXT PRIMARY KEY, price_decimals INTEGER NOT NULL, plus BLOB,"
            " departments BLOB)")));
        ASSERT_TRUE(query.exec(QStringLiteral(
            "INSERT INTO transfers VALUES (1, '2026-01-02T10:00:00.000Z', 'download', 'COM1', '/dev/ttyS0', 9600,"
            " 1, 1, 3000, 'done', '', 0, 2, NULL, NULL)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    {
        HistoryStore readOnly(DbPath(), HistoryLimits(), HistoryStore::Access::ReadOnly);
        ASSERT_TRUE(readOnly.IsOpen());
        EXPECT_TRUE(readOnly.Readings().empty());
        const auto none = readOnly.ReadingsWithFigures(QStringLiteral("/dev/ttyS0"));
        ASSERT_TRUE(none);
        EXPECT_TRUE(none->empty());
        EXPECT_TRUE(readOnly.Error().isEmpty()) << readOnly.Error().toStdString();
    }
    HistoryStore store(DbPath());
    ASSERT_TRUE(store.IsOpen()) << store.Error().toStdString();
    EXPECT_EQ(store.Record(UploadEntry({{7, 1000, 250}})), 2);
    EXPECT_EQ(store.List().size(), 2u);
    EXPECT_EQ(store.Readings().size(), 1u);
}

TEST_F(ReadingStoreTest, DamagedFiguresAreReportedNotGuessed)
{
    HistoryStore store(DbPath());
    store.Record(UploadEntry({{1, 1000, 100}}));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("poke"));
        db.setDatabaseName(DbPath());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("UPDATE readings SET figures = x'0102'")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("poke"));
    EXPECT_FALSE(store.ReadingsWithFigures(QStringLiteral("/dev/ttyUSB0")));
    EXPECT_TRUE(store.Error().contains(QStringLiteral("damaged"))) << store.Error().toStdString();
}

} // namespace
