#include "reports/SalesPeriod.h"
#include "model/Language.h"

#include "history/HistoryStore.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Figures by PLU number, for merging readings quickly.
using Table = std::vector<ArticleFigures>;

qint64 Power10(int exponent)
{
    qint64 value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

// A reading's figures as a dense table by PLU number, totals at `decimals`
// (never fewer than the reading's own, so nothing is lost).
Table Dense(const SalesReading& reading, int decimals)
{
    Table table(PluRange::kLast + 1);
    const qint64 factor = Power10(decimals - reading.priceDecimals);
    for (const ArticleFigures& figures : reading.figures) {
        if (figures.plu < PluRange::kFirst || figures.plu > PluRange::kLast)
            continue;
        qint64 total = 0;
        // Only a damaged or absurd reading overflows; it then counts as the most there can be.
        if (__builtin_mul_overflow(figures.total, factor, &total))
            total = figures.total < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        table[std::size_t(figures.plu)] = {figures.plu, figures.quantity, total};
    }
    return table;
}

bool Covers(PluRange range, int plu)
{
    return range.begin <= plu && plu <= range.end;
}

QString When(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// Whether any article the two readings both read has lower figures now.
bool WentDown(const Table& before, PluRange beforeRange, const Table& now, PluRange nowRange)
{
    const int first = std::max({beforeRange.begin, nowRange.begin, PluRange::kFirst});
    const int last = std::min({beforeRange.end, nowRange.end, PluRange::kLast});
    for (int plu = first; plu <= last; ++plu) {
        const ArticleFigures& a = before[std::size_t(plu)];
        const ArticleFigures& b = now[std::size_t(plu)];
        if (b.quantity < a.quantity || b.total < a.total)
            return true;
    }
    return false;
}

} // namespace

SalesPeriod PeriodOf(const SalesReading* before, const std::vector<SalesReading>& readings)
{
    SalesPeriod period;
    if (readings.empty())
        return period;
    int decimals = before ? before->priceDecimals : 0;
    for (const SalesReading& reading : readings)
        decimals = std::max(decimals, reading.priceDecimals);
    period.device = readings.back().device;
    period.priceDecimals = decimals;
    period.firstReading = readings.front().id;
    period.lastReading = readings.back().id;
    period.until = readings.back().time;
    period.readings = int(readings.size());
    period.range = readings.back().range;
    if (before)
        period.since = before->time;

    Table sum(PluRange::kLast + 1);
    const SalesReading* earlier = before;
    Table previous = before ? Dense(*before, decimals) : Table();
    for (const SalesReading& reading : readings) {
        Table current = Dense(reading, decimals);
        const bool hasPrevious = earlier != nullptr;
        const bool cleared = hasPrevious && WentDown(previous, earlier->range, current, reading.range);
        if (!hasPrevious)
            period.notes << Tr("SalesPeriod", "FirstReading",
                               "Reading %1 (%2) is the first of this register kept: it counts the "
                               "figures since the register's last report clear.")
                                .arg(reading.id)
                                .arg(When(reading.time));
        else if (cleared)
            period.notes
                << Tr("SalesPeriod", "ClearedBetween",
                      "The register was cleared between reading %1 (%2) and reading %3 (%4): "
                      "sales between reading %1 and the clear were not read.")
                       .arg(earlier->id)
                       .arg(When(earlier->time))
                       .arg(reading.id)
                       .arg(When(reading.time));
        qint64 stepTurnover = 0;
        const int lastPlu = std::min(reading.range.end, PluRange::kLast);
        for (int plu = std::max(reading.range.begin, PluRange::kFirst); plu <= lastPlu; ++plu) {
            const ArticleFigures& now = current[std::size_t(plu)];
            ArticleFigures step{plu, now.quantity, now.total};
            if (hasPrevious && !cleared) {
                // An article the earlier reading did not read has no known start.
                if (!Covers(earlier->range, plu))
                    continue;
                step.quantity -= previous[std::size_t(plu)].quantity;
                step.total -= previous[std::size_t(plu)].total;
            }
            ArticleFigures& total = sum[std::size_t(plu)];
            total.plu = plu;
            total.quantity += step.quantity;
            total.total += step.total;
            stepTurnover += step.total;
        }
        period.dailyTurnover[reading.time.toLocalTime().date()] += stepTurnover;
        previous = std::move(current);
        earlier = &reading;
    }
    for (const ArticleFigures& figures : sum) {
        if (figures.quantity != 0 || figures.total != 0)
            period.sales.push_back(figures);
    }
    return period;
}

namespace {

std::optional<std::size_t> IndexOfId(const std::vector<SalesReading>& readings, qint64 id)
{
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (readings[i].id == id)
            return i;
    }
    return std::nullopt;
}

} // namespace

PeriodChoice LoadPeriod(HistoryStore& store, const QString& wanted, const PeriodBounds& bounds)
{
    PeriodChoice choice;
    std::vector<SalesReading> all = store.Readings();
    if (!store.Error().isEmpty()) {
        choice.error = store.Error();
        return choice;
    }
    if (all.empty()) {
        choice.error = Tr("SalesPeriod", "NoReadings",
                          "The history holds no sales reading yet: upload the PLU table first.");
        return choice;
    }
    const QString device = wanted.isEmpty() ? all.front().device : wanted;
    std::erase_if(all, [&](const SalesReading& r) { return r.device != device; });
    std::reverse(all.begin(), all.end());
    if (all.empty()) {
        choice.error =
            Tr("SalesPeriod", "NoReadingsOf", "The history holds no sales reading of %1.")
                .arg(device);
        return choice;
    }

    std::size_t first = 0;
    std::size_t last = all.size() - 1;
    if (bounds.fromId > 0) {
        const auto index = IndexOfId(all, bounds.fromId);
        if (!index) {
            choice.error = Tr("SalesPeriod", "NoSuchReading", "There is no reading %1 of %2.")
                               .arg(bounds.fromId)
                               .arg(device);
            return choice;
        }
        first = *index;
    } else if (bounds.fromDate) {
        const auto found = std::find_if(all.begin(), all.end(), [&](const SalesReading& r) {
            return r.time.toLocalTime().date() >= *bounds.fromDate;
        });
        first = std::size_t(found - all.begin());
    }
    if (bounds.toId > 0) {
        const auto index = IndexOfId(all, bounds.toId);
        if (!index) {
            choice.error = Tr("SalesPeriod", "NoSuchReading", "There is no reading %1 of %2.")
                               .arg(bounds.toId)
                               .arg(device);
            return choice;
        }
        last = *index;
    } else if (bounds.toDate) {
        const auto found = std::find_if(all.rbegin(), all.rend(), [&](const SalesReading& r) {
            return r.time.toLocalTime().date() <= *bounds.toDate;
        });
        if (found == all.rend()) {
            choice.error = Tr("SalesPeriod", "NoneInPeriod", "No reading of %1 lies in the period.")
                               .arg(device);
            return choice;
        }
        last = std::size_t(all.rend() - found - 1);
    }
    if (first >= all.size() || first > last) {
        choice.error =
            Tr("SalesPeriod", "NoneInPeriod", "No reading of %1 lies in the period.").arg(device);
        return choice;
    }

    const qint64 loadFrom = first > 0 ? all[first - 1].id : all[first].id;
    auto loaded = store.ReadingsWithFigures(device, loadFrom, all[last].id);
    if (!loaded) {
        choice.error = store.Error();
        return choice;
    }
    std::vector<SalesReading>& readings = *loaded;
    std::optional<SalesReading> before;
    if (first > 0 && !readings.empty() && readings.front().id == loadFrom) {
        before = std::move(readings.front());
        readings.erase(readings.begin());
    }
    if (readings.empty()) {
        choice.error =
            Tr("SalesPeriod", "NoneInPeriod", "No reading of %1 lies in the period.").arg(device);
        return choice;
    }
    choice.period = PeriodOf(before ? &*before : nullptr, readings);
    return choice;
}

bool ParsePeriodBound(const QString& text, qint64& id, std::optional<QDate>& date)
{
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber && number > 0) {
        id = number;
        return true;
    }
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (!day.isValid())
        return false;
    date = day;
    return true;
}
