#include "exchange/SheetCell.h"

#include "model/CellRules.h"
#include "model/Numbers.h"

#include <QRegularExpression>

#include <cmath>

namespace {

using Keys = ColumnRule::Keys;
using Check = ColumnRule::Check;

SheetCellText Refused(const QString& reason)
{
    return SheetCellText{QString(), reason};
}

bool IsScientific(const QString& text)
{
    static const QRegularExpression kScientific(QStringLiteral("^[-+]?[0-9]+([.,][0-9]*)?[eE][-+]?[0-9]+$"));
    return kScientific.match(text).hasMatch();
}

QString KeysWanted(const ColumnRule& rule)
{
    if (rule.keys == Keys::Digits)
        return QStringLiteral("it takes digits only");
    return QStringLiteral("it takes a number: digits, one \"-\" and one \"%1\"").arg(DecimalSeparator());
}

// The first character that typing would not let into the cell.
QString CharacterRefusal(const ColumnRule& rule, const QString& text)
{
    QString typed;
    for (const QChar ch : text) {
        if (ch.unicode() < 32)
            return QStringLiteral("it holds a control character (code %1)").arg(ch.unicode());
        if (ch.unicode() > 0xFF)
            return QStringLiteral("\"%1\" is not a character the register can hold").arg(ch);
        // The length is judged by the cell check, which allows the form it writes.
        if (!AcceptCellKey(rule, typed, ch, true))
            return QStringLiteral("\"%1\" cannot be typed there: %2").arg(ch).arg(KeysWanted(rule));
        typed.append(ch);
    }
    return {};
}

QString BoundText(const ColumnRule& rule)
{
    const QString limit = FormatFixed(rule.limit, rule.decimals);
    if (rule.bound == ColumnRule::Bound::Magnitude)
        return QStringLiteral("it must lie between -%1 and %1").arg(limit);
    return QStringLiteral("it must not be above %1").arg(limit);
}

bool WithinBound(const ColumnRule& rule, double value)
{
    if (rule.bound == ColumnRule::Bound::Value)
        return value <= rule.limit;
    if (rule.bound == ColumnRule::Bound::Magnitude)
        return std::fabs(value) <= rule.limit;
    return true;
}

QString CheckRefusal(const ColumnRule& rule, const QString& text)
{
    if (rule.check == Check::Decimal) {
        const auto value = ParseDecimal(text);
        if (!value)
            return QStringLiteral("it is not a number");
        if (!WithinBound(rule, *value))
            return BoundText(rule);
    }
    if (text.size() > rule.maxLength)
        return QStringLiteral("it is longer than %1 characters").arg(rule.maxLength);
    if (rule.lowest == std::numeric_limits<qint64>::min())
        return QStringLiteral("it is not a whole number");
    return QStringLiteral("it must be a whole number from %1 to %2").arg(rule.lowest).arg(rule.highest);
}

} // namespace

SheetCellText ImportSheetCell(const TextTable& table, int column, const QString& sheetText)
{
    const ColumnRule rule = table.Rule(column);
    QString text = sheetText;
    if (rule.keys != Keys::Any)
        text = text.trimmed();
    if (rule.keys == Keys::Digits && IsScientific(text)) {
        return Refused(QStringLiteral("%1 is a number in scientific notation, so the spreadsheet has already "
                                      "rounded it; format the column as text and enter the values again")
                           .arg(text));
    }
    if (rule.keys == Keys::Numeric)
        text.replace(u'.', DecimalSeparator());
    if (const QString refusal = CharacterRefusal(rule, text); !refusal.isEmpty())
        return Refused(refusal);
    if (!CheckCellText(rule, table.DefaultText(column), text))
        return Refused(CheckRefusal(rule, text));
    return SheetCellText{text, QString()};
}
