#include "model/PriceChange.h"

#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <cmath>

namespace {

constexpr int kCentDecimals = 2;

qint64 ToCents(double value)
{
    return std::llround(value * 100.0);
}

// The nearest value step * k + offset (k >= 0); ties go up.
qint64 NearestOf(qint64 cents, qint64 step, qint64 offset)
{
    const qint64 k = std::max<qint64>(0, std::llround(double(cents - offset) / double(step)));
    return k * step + offset;
}

qint64 Rounded(qint64 cents, PriceChange::Rounding rounding)
{
    // A free article stays free, and a negative result is reported as it is.
    if (cents <= 0)
        return cents;
    switch (rounding) {
    case PriceChange::Rounding::To005:
        return NearestOf(cents, 5, 0);
    case PriceChange::Rounding::To010:
        return NearestOf(cents, 10, 0);
    case PriceChange::Rounding::EndIn9:
        return NearestOf(cents, 10, 9);
    case PriceChange::Rounding::EndIn99:
        return NearestOf(cents, 100, 99);
    case PriceChange::Rounding::None:
        break;
    }
    return cents;
}

} // namespace

qint64 ChangedPriceCents(qint64 cents, const PriceChange& change)
{
    using Operation = PriceChange::Operation;
    qint64 result = cents;
    switch (change.operation) {
    case Operation::AddPercent:
        result = std::llround(double(cents) * (100.0 + change.value) / 100.0);
        break;
    case Operation::SubtractPercent:
        result = std::llround(double(cents) * (100.0 - change.value) / 100.0);
        break;
    case Operation::AddAmount:
        result = cents + ToCents(change.value);
        break;
    case Operation::SubtractAmount:
        result = cents - ToCents(change.value);
        break;
    case Operation::SetPrice:
        result = ToCents(change.value);
        break;
    }
    return Rounded(result, change.rounding);
}

std::vector<PriceChangeRow> PlanPriceChange(const TextTable& plu, const std::vector<int>& rows,
                                            const PriceChange& change)
{
    const int column = PLUColumn::UnitPrice;
    const ColumnRule rule = plu.Rule(column);
    std::vector<PriceChangeRow> plan;
    for (const int row : rows) {
        PriceChangeRow entry{row, plu.Cell(column, row), {}, {}};
        const CellJudgement price = JudgeCell(rule, plu.DefaultText(column), entry.before);
        const std::optional<Decimal> value =
            price.Taken() ? Decimal::Parse(price.text, DecimalSeparator()) : std::nullopt;
        if (!value) {
            entry.problem = QStringLiteral("the price is not a number");
            plan.push_back(entry);
            continue;
        }
        // Prices the cell check took are far inside 32 bits.
        const qint64 cents = ChangedPriceCents(qint32(value->RoundedLow32(kCentDecimals)), change);
        entry.after = Decimal(cents, kCentDecimals).Text(kCentDecimals, DecimalSeparator());
        if (cents < 0)
            entry.problem = QStringLiteral("would be negative");
        else if (!CheckCellText(rule, plu.DefaultText(column), entry.after))
            entry.problem = QStringLiteral("above 999999.99");
        if (entry.problem.isEmpty() && entry.after == entry.before)
            continue;
        plan.push_back(entry);
    }
    return plan;
}
