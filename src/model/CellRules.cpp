#include "model/CellRules.h"

#include "model/Columns.h"
#include "model/Defs.h"

#include <cmath>

namespace {

using Keys = ColumnRule::Keys;
using Check = ColumnRule::Check;
using Bound = ColumnRule::Bound;

constexpr double kHighestPrice = 999999.99;
constexpr double kHighestStock = 79999.999;

ColumnRule TextRule(int maxLength, Keys keys)
{
    ColumnRule rule;
    rule.maxLength = maxLength;
    rule.keys = keys;
    return rule;
}

ColumnRule WholeRule(int maxLength)
{
    ColumnRule rule = TextRule(maxLength, Keys::Digits);
    rule.check = Check::Whole;
    return rule;
}

ColumnRule WholeRule(int maxLength, qint64 lowest, qint64 highest)
{
    ColumnRule rule = WholeRule(maxLength);
    rule.lowest = lowest;
    rule.highest = highest;
    return rule;
}

ColumnRule DecimalRule(int maxLength, int decimals, Bound bound = Bound::None, double limit = 0)
{
    ColumnRule rule = TextRule(maxLength, Keys::Numeric);
    rule.check = Check::Decimal;
    rule.decimals = decimals;
    rule.bound = bound;
    rule.limit = limit;
    return rule;
}

bool WithinBound(const ColumnRule& rule, double value)
{
    switch (rule.bound) {
    case Bound::Value:
        return value <= rule.limit;
    case Bound::Magnitude:
        return std::fabs(value) <= rule.limit;
    case Bound::None:
        break;
    }
    return true;
}

bool KeyOfKind(Keys keys, const QString& text, QChar ch)
{
    switch (keys) {
    case Keys::Digits:
        return IsDigitChar(ch);
    case Keys::Numeric:
        return IsNumericKey(text, ch);
    case Keys::Any:
        break;
    }
    return true;
}

// Writing the decimals can make a text longer than the column allows
// ("-79999.9" becomes "-79999.900"). A text already in that written form is
// not refused for its length, so leaving a cell the check itself wrote never
// fails.
bool CheckDecimal(const ColumnRule& rule, const QString& defaultText, QString& text)
{
    if (text.isEmpty()) {
        text = defaultText;
        return true;
    }
    const auto value = ParseDecimal(text);
    if (!value || !WithinBound(rule, *value))
        return false;
    const QString written = FormatFixed(*value, rule.decimals);
    if (text.size() > rule.maxLength && text != written)
        return false;
    text = written;
    return true;
}

} // namespace

ColumnRule PLURule(int col)
{
    const int maxLength = col >= 0 && col < kPLUColCount ? PLUMaxLens[col] : 0;
    switch (col) {
    case PLUColumn::Barcode:
        // Packed into decimal digits: no sign.
        return WholeRule(maxLength, 0, std::numeric_limits<qint64>::max());
    case PLUColumn::Name:
        return TextRule(maxLength, Keys::Any);
    case PLUColumn::UnitPrice:
        return DecimalRule(maxLength, 2, Bound::Value, kHighestPrice);
    case PLUColumn::Department:
        return WholeRule(maxLength, 1, 9);
    case PLUColumn::Stocks:
        return DecimalRule(maxLength, 3, Bound::Magnitude, kHighestStock);
    case PLUColumn::Flag:
        return WholeRule(maxLength, 0, 1);
    case PLUColumn::Quantity:
    case PLUColumn::Total:
        return TextRule(maxLength, Keys::Numeric);
    default:
        return TextRule(maxLength, Keys::Digits);
    }
}

ColumnRule DeptmentRule(int col)
{
    const int maxLength = col >= 0 && col < kDeptmentColCount ? DeptmentMaxLens[col] : 0;
    switch (col) {
    case DeptmentColumn::Name:
        return TextRule(maxLength, Keys::Any);
    case DeptmentColumn::Tax:
        return WholeRule(maxLength, 1, 9);
    case DeptmentColumn::UnitPrice:
        return DecimalRule(maxLength, 2, Bound::Value, kHighestPrice);
    default:
        return TextRule(maxLength, Keys::Digits);
    }
}

ColumnRule RecyRule(int col)
{
    const int maxLength = col >= 0 && col < kRecyFieldCount ? RecyMaxLens[col] : 0;
    switch (col) {
    case RecyColumn::PluNumber:
        return WholeRule(maxLength, 1, kRecyRecordCount);
    case RecyColumn::PackagePrice:
        return DecimalRule(maxLength, 2);
    case RecyColumn::Barcode:
        return WholeRule(maxLength);
    default:
        return TextRule(maxLength, Keys::Digits);
    }
}

bool IsSingleByteText(const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() > 0xFF)
            return false;
    }
    return true;
}

bool CheckCellText(const ColumnRule& rule, const QString& defaultText, QString& text)
{
    if (rule.check == Check::Decimal)
        return CheckDecimal(rule, defaultText, text);
    if (text.size() > rule.maxLength)
        return false;
    if (text.isEmpty()) {
        text = defaultText;
        return true;
    }
    if (rule.check == Check::Whole) {
        const auto value = ParseWhole(text);
        if (!value || *value < rule.lowest || *value > rule.highest)
            return false;
        text = QString::number(*value);
    }
    return true;
}

bool AcceptCellKey(const ColumnRule& rule, const QString& text, QChar ch, bool editorHasSelection)
{
    if (ch.unicode() < 32)
        return true;
    if (ch.unicode() > 0xFF)
        return false;
    if (text.size() >= rule.maxLength && !editorHasSelection)
        return false;
    return KeyOfKind(rule.keys, text, ch);
}
