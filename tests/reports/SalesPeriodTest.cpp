// Periods between readings of one register: differences, clears, several
// steps, and the readings a period's bounds choose from the history.

#include "history/HistoryStore.h"
#include "reports/SalesPeriod.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Figures = std::vector<ArticleFigures>;

SalesReading Reading(qint64 id, const QDateTime& time, Figures figures, int decimals = 2, PluRange range = {})
{
    SalesReading reading;
    reading.id = id;
    reading.time = time;
    reading.device = QStringLiteral("/dev/ttyUSB0");
    reading.priceDecimals = decimals;
    reading.range = range;
    reading.figures = std::move(figures);
    return reading;
}

const QDateTime kMonday(QDate(2026, 12, 7), QTime(18, 0));

TEST(SalesPeriod, AStepIsTheIncreaseWhenNothingWentDown)
{
    const SalesReading before = Reading(1, kMonday, {{1, 2000, 300}, {2, 1000, 500}});
    const std::vector<SalesReading> after{Reading(2, kMonday.addDays(1), {{1, 5000, 750}, {2, 1000, 500}, {7, 1000, 99}})};
    const SalesPeriod period = PeriodOf(&before, after);
    EXPECT_EQ(period.sales, (Figures{{1, 3000, 450}, {7, 1000, 99}})) << "PLU 2 sold nothing in between";
    EXPECT_TRUE(period.notes.isEmpty());
    EXPECT_EQ(period.since, before.time);
    EXPECT_EQ(period.dailyTurnover.at(kMonday.addDays(1).toLocalTime().date()), 549);
}

TEST(SalesPeriod, AnyFigureGoingDownMeansTheRegisterWasCleared)
{
    const SalesReading before = Reading(4, kMonday, {{1, 9000, 900}, {2, 1000, 100}});
    // PLU 2 went down: counted from the clear, PLU 1 too, though its figures rose.
    const std::vector<SalesReading> after{Reading(5, kMonday.addDays(1), {{1, 10000, 1000}, {2, 500, 50}})};
    const SalesPeriod period = PeriodOf(&before, after);
    EXPECT_EQ(period.sales, (Figures{{1, 10000, 1000}, {2, 500, 50}}));
    ASSERT_EQ(period.notes.size(), 1);
    EXPECT_TRUE(period.notes[0].contains(QStringLiteral("cleared between reading 4"))) << period.notes[0].toStdString();
    EXPECT_TRUE(period.notes[0].contains(QStringLiteral("were not read")));
}

TEST(SalesPeriod, APeriodOverThreeReadingsWithOneClearAddsUpItsSteps)
{
    // Daily uploads, a clear after Tuesday's upload:
    const SalesReading sunday = Reading(10, kMonday.addDays(-1), {{1, 1000, 100}});
    const std::vector<SalesReading> week{
        Reading(11, kMonday, {{1, 3000, 300}, {2, 1000, 250}}),                 // +2 of 1, +1 of 2
        Reading(12, kMonday.addDays(1), {{1, 4000, 400}, {2, 3000, 750}}),     // +1 of 1, +2 of 2
        Reading(13, kMonday.addDays(2), {{1, 2000, 200}}),                      // cleared: 2 of 1
    };
    const SalesPeriod period = PeriodOf(&sunday, week);
    EXPECT_EQ(period.sales, (Figures{{1, 5000, 500}, {2, 3000, 750}}));
    EXPECT_EQ(period.readings, 3);
    EXPECT_EQ(period.notes.size(), 1);
    ASSERT_EQ(period.dailyTurnover.size(), 3u);
    qint64 sum = 0;
    for (const auto& [day, turnover] : period.dailyTurnover)
        sum += turnover;
    EXPECT_EQ(sum, 1250);

    // Without the reading before, the first counts from the register's clear.
    const SalesPeriod whole = PeriodOf(nullptr, week);
    EXPECT_EQ(whole.sales, (Figures{{1, 6000, 600}, {2, 3000, 750}})) << "3 + 1 + 2 of PLU 1";
    EXPECT_FALSE(whole.since.isValid());
    EXPECT_TRUE(whole.notes.front().contains(QStringLiteral("first of this register")));
}

TEST(SalesPeriod, ArticlesOneReadingDidNotReadAndChangedDecimalsAreHandled)
{
    // The earlier upload read PLUs 1-10 only: PLU 20 has no known start.
    const SalesReading before = Reading(1, kMonday, {{1, 1000, 100}}, 2, {1, 10});
    const std::vector<SalesReading> after{Reading(2, kMonday.addDays(1), {{1, 2000, 2000}, {20, 5000, 5000}}, 3)};
    const SalesPeriod period = PeriodOf(&before, after);
    EXPECT_EQ(period.priceDecimals, 3);
    EXPECT_EQ(period.sales, (Figures{{1, 1000, 1000}})) << "1.00 became 1.000 before the difference";

    // A damaged range never reads past the table.
    const std::vector<SalesReading> odd{Reading(3, kMonday, {{1, 1, 1}}, 2, {-5, 99999})};
    EXPECT_EQ(PeriodOf(nullptr, odd).sales.size(), 1u);
}

TEST(SalesPeriod, BoundsChooseReadingsByIdOrDay)
{
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("HISTORY.DB")));
    const QDateTime base = QDateTime::currentDateTime().addDays(-10);
    for (int day = 0; day < 5; ++day) {
        HistoryEntry entry;
        entry.time = base.addDays(day);
        entry.command = QStringLiteral("upload");
        entry.port = QStringLiteral("COM1");
        entry.device = day == 4 ? QStringLiteral("/dev/ttyS1") : QStringLiteral("/dev/ttyUSB0");
        entry.reading = Reading(0, entry.time, {{1, (day + 1) * 1000, (day + 1) * 100}});
        ASSERT_GT(store.Record(entry), 0) << store.Error().toStdString();
    }
    PeriodChoice newest = LoadPeriod(store, QString(), {});
    ASSERT_TRUE(newest.period) << newest.error.toStdString();
    EXPECT_EQ(newest.period->device, "/dev/ttyS1") << "the register of the newest reading";

    const QString usb = QStringLiteral("/dev/ttyUSB0");
    PeriodChoice lastOne = LoadPeriod(store, usb, {3, std::nullopt, 3, std::nullopt});
    ASSERT_TRUE(lastOne.period) << lastOne.error.toStdString();
    EXPECT_EQ(lastOne.period->sales, (Figures{{1, 1000, 100}})) << "reading 3 against reading 2";
    EXPECT_EQ(lastOne.period->firstReading, 3);

    PeriodChoice byDay = LoadPeriod(store, usb, {0, base.addDays(1).date(), 0, base.addDays(2).date()});
    ASSERT_TRUE(byDay.period) << byDay.error.toStdString();
    EXPECT_EQ(byDay.period->firstReading, 2);
    EXPECT_EQ(byDay.period->lastReading, 3);
    EXPECT_EQ(byDay.period->sales, (Figures{{1, 2000, 200}}));

    EXPECT_FALSE(LoadPeriod(store, usb, {5, std::nullopt, 0, std::nullopt}).period) << "reading 5 is another register's";
    EXPECT_FALSE(LoadPeriod(store, usb, {0, base.addDays(30).date(), 0, std::nullopt}).period);
    EXPECT_FALSE(LoadPeriod(store, usb, {3, std::nullopt, 2, std::nullopt}).period);
    EXPECT_FALSE(LoadPeriod(store, QStringLiteral("/dev/none"), {}).error.isEmpty());

    qint64 id = 0;
    std::optional<QDate> date;
    EXPECT_TRUE(ParsePeriodBound(QStringLiteral("17"), id, date));
    EXPECT_EQ(id, 17);
    EXPECT_TRUE(ParsePeriodBound(QStringLiteral("2026-12-01"), id, date));
    EXPECT_EQ(date, QDate(2026, 12, 1));
    for (const char* bad : {"0", "-3", "2026-13-01", "yesterday", ""})
        EXPECT_FALSE(ParsePeriodBound(QString::fromLatin1(bad), id, date)) << bad;
}

} // namespace
