#pragma once

#include "history/SalesReading.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

class HistoryStore;

// What sold in a period, from the readings of one register. Each reading
// accounts for the sales since the reading before it: the differences when no
// article's figures went down, or, when any went down, the figures since the
// register's report clear (what sold between the earlier reading and the
// clear was never read, and a note says so). A period adds up the steps of
// its readings, so uploads before each clear give exact figures over weeks.
struct SalesPeriod
{
    QString device;
    int priceDecimals = 0;          // of every total below
    qint64 firstReading = 0;        // the period's readings, ids
    qint64 lastReading = 0;
    QDateTime since;                // the reading before the first; invalid when there is none
    QDateTime until;                // the last reading
    int readings = 0;
    std::vector<ArticleFigures> sales;       // by PLU, only those that sold (or were refunded)
    std::map<QDate, qint64> dailyTurnover;   // by the local day of each step's reading
    PluRange range;                 // the PLUs the last reading read
    QStringList notes;              // cleared registers, a first reading
};

// The period made of `readings` (oldest first, one register), whose steps
// start from `before` (the reading ahead of the first) when there is one.
SalesPeriod PeriodOf(const SalesReading* before, const std::vector<SalesReading>& readings);

// Which readings a period takes: from a reading (its id) or from the first
// reading on a day, to a reading or to the last one on a day; unbounded ends
// take the first and the last reading of the register.
struct PeriodBounds
{
    qint64 fromId = 0;
    std::optional<QDate> fromDate;
    qint64 toId = 0;
    std::optional<QDate> toDate;
};

// A period chosen, or why there is none.
struct PeriodChoice
{
    std::optional<SalesPeriod> period;
    QString error;
};

// The readings of `device` (the register of the newest reading when empty)
// within the bounds, read from the history.
PeriodChoice LoadPeriod(HistoryStore& store, const QString& device, const PeriodBounds& bounds);

// "--from" and "--to" arguments: a reading's id or a date (yyyy-mm-dd).
bool ParsePeriodBound(const QString& text, qint64& id, std::optional<QDate>& date);
