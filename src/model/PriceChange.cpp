#include "model/PriceChange.h"

#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <optional>

namespace {

using Operation = PriceChange::Operation;
using Rounding = PriceChange::Rounding;

// Beyond this many digits before the separator a text is no price at all;
// it keeps the cents far inside 64 bits.
constexpr int kMaxWholeDigits = 15;

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

// The cell's price in whole cents: an optional sign, digits, at most one
// separator. Digits beyond the second decimal are rounded half to even, as
// the price is sent to the register.
std::optional<qint64> CentsOfText(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype at = 0;
    const bool negative = at < t.size() && t[at] == u'-';
    if (at < t.size() && (t[at] == u'-' || t[at] == u'+'))
        ++at;
    qint64 cents = 0;
    int wholeDigits = 0;
    for (; at < t.size() && t[at].isDigit() && t[at].unicode() < 128; ++at, ++wholeDigits)
        cents = cents * 10 + (t[at].unicode() - u'0');
    if (wholeDigits > kMaxWholeDigits)
        return std::nullopt;
    int decimals = 0;
    int roundingDigit = 0;  // the third decimal
    bool beyond = false;    // a non-zero digit after the third decimal
    if (at < t.size() && t[at] == DecimalSeparator()) {
        for (++at; at < t.size() && t[at].isDigit() && t[at].unicode() < 128; ++at, ++decimals) {
            const int digit = t[at].unicode() - u'0';
            if (decimals < 2)
                cents = cents * 10 + digit;
            else if (decimals == 2)
                roundingDigit = digit;
            else
                beyond = beyond || digit != 0;
        }
    }
    if (at != t.size() || wholeDigits + decimals == 0)
        return std::nullopt;
    for (int i = decimals; i < 2; ++i)
        cents *= 10;
    if (roundingDigit > 5 || (roundingDigit == 5 && (beyond || cents % 2 != 0)))
        ++cents;
    return negative ? -cents : cents;
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

bool PassesCheck(const TextTable& plu, QString text)
{
    return CheckCellText(plu.Rule(PLUColumn::UnitPrice), plu.DefaultText(PLUColumn::UnitPrice), text);
}

// "(at most 999999.99)"
QString AllowedPrices(const TextTable& plu)
{
    return QStringLiteral("(%1)").arg(RefusalReason(plu.Rule(PLUColumn::UnitPrice)));
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
            entry.problem = QStringLiteral("the price is not a number");
        } else if (*cents < 0) {
            entry.problem = QStringLiteral("a negative price, as for a deposit return, is left out");
        } else if (!PassesCheck(plu, entry.before)) {
            entry.problem = QStringLiteral("the cell refuses the price %1").arg(AllowedPrices(plu));
        } else {
            const qint64 changed = ChangedPriceCents(*cents, change);
            if (changed == *cents)
                continue;
            entry.after = CentsText(changed);
            if (changed < 0)
                entry.problem = QStringLiteral("it would fall below zero");
            else if (!PassesCheck(plu, entry.after))
                entry.problem = QStringLiteral("the new price cannot be stored %1").arg(AllowedPrices(plu));
        }
        plan.push_back(entry);
    }
    return plan;
}
