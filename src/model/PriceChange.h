#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

class TextTable;

// A number with two decimals held as whole hundredths: Hundredths(1050) is
// 10.50 (a percentage or an amount of money).
struct Hundredths
{
    constexpr explicit Hundredths(qint64 value = 0) : count(value) {}
    qint64 count;
};

// A change applied to the unit prices of many PLU rows at once. Prices are
// whole cents and every step is worked out in whole numbers.
struct PriceChange
{
    enum class Operation { AddPercent, SubtractPercent, AddAmount, SubtractAmount, SetPrice };
    // To a multiple of 0.05 or 0.10, or to a price ending in x9 cents (1.29,
    // 1.39) or in .99 (1.99, 2.99): the next one up when the price rises, the
    // next one down when it falls, so the ending never turns a raise into a
    // cut or a cut into a raise.
    enum class Rounding { None, To005, To010, EndIn9, EndIn99 };

    Operation operation = Operation::AddPercent;
    Hundredths value{0}; // the percentage, the amount or the new price
    Rounding rounding = Rounding::None;
};

// What the change does to one row: the unit price before and after (texts as
// the cell holds them), or why the row is left as it is.
// Why a row's price is left as it is.
enum class PriceProblem { None, NotANumber, Negative, Refused, BelowZero, CannotStore };

struct PriceChangeRow
{
    int row = 0; // TextTable row, from 1
    QString before;
    QString after;   // empty when there is no new price to show
    QString problem; // empty when the new price is written
    PriceProblem kind = PriceProblem::None;
};

// The rows of the given PLU rows whose price changes or is left out; rows
// whose price stays the same are not listed. Negative prices (deposit
// returns) are left out of every change, and so is a row whose new price
// would fall below zero or that the Unit price check refuses: those rows
// carry a problem, and the other rows change all the same.
std::vector<PriceChangeRow> PlanPriceChange(const TextTable& plu, const std::vector<int>& rows,
                                            const PriceChange& change);

// The price in cents after the operation and rounding; prices are whole cents.
// A negative price or result is returned without rounding.
qint64 ChangedPriceCents(qint64 cents, const PriceChange& change);
