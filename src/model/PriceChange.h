#pragma once

#include <QString>

#include <vector>

class TextTable;

// A change applied to the unit prices of many PLU rows at once.
struct PriceChange
{
    enum class Operation { AddPercent, SubtractPercent, AddAmount, SubtractAmount, SetPrice };
    // To the nearest multiple of 0.05 or 0.10, or to the nearest price
    // ending in x9 cents (1.29, 1.39) or in .99 (1.99, 2.99).
    enum class Rounding { None, To005, To010, EndIn9, EndIn99 };

    Operation operation = Operation::AddPercent;
    double value = 0; // the percentage, the amount or the new price
    Rounding rounding = Rounding::None;
};

// What the change does to one row: the unit price before and after (texts as
// the cell holds them), or why the new price cannot be stored.
struct PriceChangeRow
{
    int row = 0; // TextTable row, from 1
    QString before;
    QString after;
    QString problem; // empty when the new price passes the Unit price check
};

// The new unit prices of the given PLU rows; rows whose price stays the same
// are left out. A result that would be negative or that the Unit price check
// refuses (above 999999.99) carries a problem.
std::vector<PriceChangeRow> PlanPriceChange(const TextTable& plu, const std::vector<int>& rows,
                                            const PriceChange& change);

// The price in cents after the operation and rounding; prices are whole cents.
qint64 ChangedPriceCents(qint64 cents, const PriceChange& change);
