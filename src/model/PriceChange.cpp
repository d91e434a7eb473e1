#include "model/PriceChange.h"

#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

#include <cmath>

namespace {

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
        const std::optional<double> price = ParseDecimal(entry.before);
        if (!price) {
            entry.problem = QStringLiteral("the price is not a number");
            plan.push_back(entry);
            continue;
        }
        const qint64 cents = ChangedPriceCents(ToCents(*price), change);
        entry.after = FormatFixed(double(cents) / 100.0, 2);
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
