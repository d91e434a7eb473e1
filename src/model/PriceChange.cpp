#include "model/PriceChange.h"

#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/Language.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <limits>
#include <optional>

namespace {

using Operation = PriceChange::Operation;
using Rounding = PriceChange::Rounding;

constexpr int kCentDecimals = 2;

// A value as the fraction numerator / denominator (denominator > 0), so a
// percentage of a price is rounded once, in the direction of the change.
struct Exact
{
    qint64 numerator = 0;
    qint64 denominator = 1;
};

qint64 FloorDiv(qint64 n, qint64 d)
{
    const qint64 q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

qint64 CeilDiv(qint64 n, qint64 d)
{
    return -FloorDiv(-n, d);
}

// Halves away from zero.
qint64 NearestDiv(qint64 n, qint64 d)
{
    return n < 0 ? -((-n + d / 2) / d) : (n + d / 2) / d;
}

Exact Apply(qint64 cents, const PriceChange& change)
{
    constexpr qint64 kWhole = 100 * 100; // percent in hundredths
    const qint64 value = change.value.count;
    switch (change.operation) {
    case Operation::AddPercent:
        return {cents * (kWhole + value), kWhole};
    case Operation::SubtractPercent:
        return {cents * (kWhole - value), kWhole};
    case Operation::AddAmount:
        return {cents + value, 1};
    case Operation::SubtractAmount:
        return {cents - value, 1};
    case Operation::SetPrice:
        break;
    }
    return {value, 1};
}

struct Ending
{
    qint64 step = 1;
    qint64 offset = 0;
};

Ending EndingOf(Rounding rounding)
{
    switch (rounding) {
    case Rounding::To005:
        return {5, 0};
    case Rounding::To010:
        return {10, 0};
    case Rounding::EndIn9:
        return {10, 9};
    case Rounding::EndIn99:
        return {100, 99};
    case Rounding::None:
        break;
    }
    return {1, 0};
}

// The lowest price with the ending at or above cents.
qint64 EndingAtOrAbove(qint64 cents, Ending ending)
{
    if (cents <= ending.offset)
        return ending.offset;
    return CeilDiv(cents - ending.offset, ending.step) * ending.step + ending.offset;
}

// The highest price with the ending at or below cents, if there is one.
std::optional<qint64> EndingAtOrBelow(qint64 cents, Ending ending)
{
    if (cents < ending.offset)
        return std::nullopt;
    return FloorDiv(cents - ending.offset, ending.step) * ending.step + ending.offset;
}

// A cut to below the first price with the ending (0.05 to end in .x9) takes
// that first price while it is still a cut; otherwise the cents as they are.
qint64 CutTo(qint64 cents, qint64 old, Ending ending)
{
    if (const auto below = EndingAtOrBelow(cents, ending))
        return *below;
    const qint64 above = EndingAtOrAbove(cents, ending);
    return above < old ? above : cents;
}

// The cell's price in whole cents. Digits beyond the second decimal are
// rounded half to even, as the price is sent to the register; a price beyond
// the register's 32-bit field is no price here (the cell check refuses it).
std::optional<qint64> CentsOfText(const QString& text)
{
    const std::optional<Decimal> value = Decimal::Parse(text, DecimalSeparator());
    if (!value)
        return std::nullopt;
    if (const std::optional<qint64> exact = value->ExactUnits(kCentDecimals))
        return exact;
    const qint64 largest = std::numeric_limits<qint32>::max();
    if (value->Compare(Decimal(largest, kCentDecimals)) > 0 || value->Compare(Decimal(-largest, kCentDecimals)) < 0)
        return std::nullopt;
    return qint64(qint32(value->RoundedLow32(kCentDecimals)));
}

QString CentsText(qint64 cents)
{
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2%3%4")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(DecimalSeparator())
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

// Why the cell refuses the price ("at most 999999.99"); empty when it takes it.
QString PriceRefusal(const TextTable& plu, const QString& text)
{
    return JudgeCell(plu.Rule(PLUColumn::UnitPrice), plu.DefaultText(PLUColumn::UnitPrice), text).refusal;
}

} // namespace

qint64 ChangedPriceCents(qint64 cents, const PriceChange& change)
{
    const Exact exact = Apply(cents, change);
    const qint64 nearest = NearestDiv(exact.numerator, exact.denominator);
    if (cents < 0 || exact.numerator <= 0 || change.rounding == Rounding::None)
        return nearest;
    const Ending ending = EndingOf(change.rounding);
    const qint64 old = cents * exact.denominator;
    if (exact.numerator > old)
        return EndingAtOrAbove(CeilDiv(exact.numerator, exact.denominator), ending);
    if (exact.numerator < old)
        return CutTo(FloorDiv(exact.numerator, exact.denominator), cents, ending);
    return cents;
}

std::vector<PriceChangeRow> PlanPriceChange(const TextTable& plu, const std::vector<int>& rows,
                                            const PriceChange& change)
{
    std::vector<PriceChangeRow> plan;
    for (const int row : rows) {
        PriceChangeRow entry{row, plu.Cell(PLUColumn::UnitPrice, row), {}, {}};
        const std::optional<qint64> cents = CentsOfText(entry.before);
        if (!cents) {
            entry.problem = Tr("PriceChange", "NotANumber", "the price is not a number");
            entry.kind = PriceProblem::NotANumber;
        } else if (*cents < 0) {
            entry.problem = Tr("PriceChange", "Negative",
                               "a negative price, as for a deposit return, is left out");
            entry.kind = PriceProblem::Negative;
        } else if (const QString refusal = PriceRefusal(plu, entry.before); !refusal.isEmpty()) {
            entry.problem =
                Tr("PriceChange", "Refused", "the cell refuses the price (%1)").arg(refusal);
            entry.kind = PriceProblem::Refused;
        } else {
            const qint64 changed = ChangedPriceCents(*cents, change);
            if (changed == *cents)
                continue;
            entry.after = CentsText(changed);
            if (changed < 0) {
                entry.problem = Tr("PriceChange", "BelowZero", "it would fall below zero");
                entry.kind = PriceProblem::BelowZero;
            } else if (const QString refusal = PriceRefusal(plu, entry.after); !refusal.isEmpty()) {
                entry.problem =
                    Tr("PriceChange", "CannotStore", "the new price cannot be stored (%1)")
                        .arg(refusal);
                entry.kind = PriceProblem::CannotStore;
            }
        }
        plan.push_back(entry);
    }
    return plan;
}
