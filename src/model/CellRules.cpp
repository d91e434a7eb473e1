#include "model/CellRules.h"

#include "model/Columns.h"
#include "model/CountWords.h"
#include "model/Defs.h"
#include "model/Language.h"

namespace {

using Keys = ColumnRule::Keys;
using Check = ColumnRule::Check;
using Bound = ColumnRule::Bound;

const Decimal kHighestPrice(99999999, 2);
const Decimal kHighestStock(79999999, 3);
constexpr int kPriceDecimals = 2;
constexpr int kStockDecimals = 3;

ColumnRule TextRule(int maxLength, Keys keys)
{
    ColumnRule rule;
    rule.maxLength = maxLength;
    rule.keys = keys;
    return rule;
}

ColumnRule WholeRule(int maxLength, qint64 lowest = std::numeric_limits<qint64>::min(),
                     qint64 highest = std::numeric_limits<qint64>::max())
{
    ColumnRule rule = TextRule(maxLength, Keys::Digits);
    rule.check = Check::Whole;
    rule.lowest = lowest;
    rule.highest = highest;
    return rule;
}

ColumnRule DecimalRule(int maxLength, int decimals, Bound bound = Bound::None, Decimal limit = {})
{
    ColumnRule rule = TextRule(maxLength, Keys::Numeric);
    rule.check = Check::Decimal;
    rule.decimals = decimals;
    rule.maxDecimals = decimals;
    rule.bound = bound;
    rule.limit = limit;
    return rule;
}

ColumnRule PriceRule(int maxLength)
{
    ColumnRule rule = DecimalRule(maxLength, kPriceDecimals, Bound::Value, kHighestPrice);
    rule.registerDecimals = true;
    return rule;
}

CellJudgement Refused(const QString& text, const QString& reason)
{
    return CellJudgement{text, reason};
}

QString TooLong(const ColumnRule& rule)
{
    return CountWords("CellRules", "TooLong", rule.maxLength, "it is longer than 1 character",
                      "it is longer than %1 characters");
}

QString WholeRange(const ColumnRule& rule)
{
    if (rule.lowest == std::numeric_limits<qint64>::min())
        return CountWords("CellRules", "WholeDigits", rule.maxLength,
                          "a whole number of at most 1 digit",
                          "a whole number of at most %1 digits");
    return Tr("CellRules", "WholeRange", "a whole number from %1 to %2").arg(rule.lowest).arg(rule.highest);
}

QString DecimalRange(const ColumnRule& rule)
{
    const QString limit = rule.limit.Text(rule.decimals, DecimalSeparator());
    if (rule.bound == Bound::Magnitude)
        return Tr("CellRules", "DecimalMagnitude", "from -%1 to %1").arg(limit);
    return Tr("CellRules", "DecimalAtMost", "at most %1").arg(limit);
}

bool WithinBound(const ColumnRule& rule, const Decimal& value)
{
    switch (rule.bound) {
    case Bound::Value:
        return value.Compare(rule.limit) <= 0;
    case Bound::Magnitude:
        return value.Compare(rule.limit) <= 0 && Decimal(-rule.limit.Units(), rule.limit.Scale()).Compare(value) <= 0;
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

// A number with an exponent, as spreadsheets write large and small values.
bool IsScientific(const QString& text)
{
    const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e <= 0 || e == text.size() - 1)
        return false;
    const QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
        exponent.remove(0, 1);
    const auto allDigits = [](const QString& digits, int separators) {
        for (const QChar ch : digits) {
            if ((ch == u'.' || ch == u',') && separators-- > 0)
                continue;
            if (!IsDigitChar(ch))
                return false;
        }
        return !digits.isEmpty();
    };
    QString unsignedMantissa = mantissa;
    if (unsignedMantissa.startsWith(u'-') || unsignedMantissa.startsWith(u'+'))
        unsignedMantissa.remove(0, 1);
    return allDigits(unsignedMantissa, 1) && allDigits(exponent, 0);
}

QString KeysWanted(const ColumnRule& rule)
{
    if (rule.keys == Keys::Digits)
        return Tr("CellRules", "DigitsOnly", "it takes digits only");
    return Tr("CellRules", "NumberKeys", "it takes a number: digits, one \"-\" and one \"%1\"").arg(DecimalSeparator());
}

// The first character that typing would not let into the cell; the length is
// judged later, since a written form may be longer than typing allows.
QString CharacterRefusal(const ColumnRule& rule, const QString& text)
{
    if (rule.keys != Keys::Any && IsScientific(text)) {
        if (rule.keys == Keys::Digits)
            return Tr("CellRules", "Scientific",
                      "%1 is a number in scientific notation, so the spreadsheet has already "
                      "rounded it; format the column as text and enter the values again")
                .arg(text);
        return Tr("CellRules", "NotPlainNumber", "%1 is not a plain number: write it with digits and at most one \"%2\"")
            .arg(text)
            .arg(DecimalSeparator());
    }
    QString typed;
    for (const QChar ch : text) {
        if (ch.unicode() < 32)
            return Tr("CellRules", "ControlCharacter", "it holds a control character (code %1)").arg(ch.unicode());
        if (ch.unicode() > 0xFF)
            return Tr("CellRules", "NotRegisterCharacter", "\"%1\" is not a character the register can hold").arg(ch);
        if (!KeyOfKind(rule.keys, typed, CellKeyChar(rule, ch)))
            return Tr("CellRules", "CannotBeTyped", "\"%1\" cannot be typed there: %2").arg(QString(ch), KeysWanted(rule));
        typed.append(CellKeyChar(rule, ch));
    }
    return {};
}

// "1,50" where the separator is "." (or "1.50" where it is ","), typed or
// pasted, means 1.50; a text holding both kinds is left to be refused.
QString WithLocaleSeparator(const QString& text)
{
    const QChar separator = DecimalSeparator();
    const QChar other = separator == u'.' ? u',' : u'.';
    if (text.contains(separator) || text.count(other) != 1)
        return text;
    QString written = text;
    written.replace(other, separator);
    return written;
}

// Whether the register's 32-bit price field holds the price exactly.
QString StorageRefusal(const Decimal& value, int priceDecimals, const QString& written)
{
    if (value.SignificantDecimals() > priceDecimals && priceDecimals == 1)
        return Tr("CellRules", "RegisterDecimalsOne", "the register keeps 1 decimal: %1 cannot be stored").arg(written);
    if (value.SignificantDecimals() > priceDecimals)
        return Tr("CellRules", "RegisterDecimals", "the register keeps %1 decimals: %2 cannot be stored")
            .arg(priceDecimals)
            .arg(written);
    const std::optional<qint64> units = value.ExactUnits(priceDecimals);
    if (!units || *units > std::numeric_limits<qint32>::max() || *units < std::numeric_limits<qint32>::min())
        return Tr("CellRules", "BeyondRegister", "%1 is beyond what the register can store").arg(written);
    return {};
}

// Writing the decimals can make a text longer than the column allows
// ("-79999.9" becomes "-79999.900"). A text already in that written form is
// not refused for its length, so leaving a cell the check itself wrote never
// fails.
CellJudgement JudgeDecimal(const ColumnRule& rule, const QString& text, std::optional<int> priceDecimals)
{
    const std::optional<Decimal> value = Decimal::Parse(WithLocaleSeparator(text), DecimalSeparator());
    if (!value)
        return Refused(text, Tr("CellRules", "NotANumber", "it is not a number"));
    if (!WithinBound(rule, *value))
        return Refused(text, DecimalRange(rule));
    // A price keeps the decimals it was written with (an upload writes the
    // register's); other columns have a fixed number of them.
    const Decimal kept = rule.registerDecimals ? *value : value->Trimmed();
    const QString written = kept.Text(rule.decimals, DecimalSeparator());
    if (rule.registerDecimals && priceDecimals) {
        if (const QString refusal = StorageRefusal(*value, *priceDecimals, written); !refusal.isEmpty())
            return Refused(text, refusal);
    } else if (!rule.registerDecimals && value->SignificantDecimals() > rule.maxDecimals) {
        return Refused(text,
                       CountWords("CellRules", "TooManyDecimals", rule.maxDecimals,
                                  "it has more than 1 decimal", "it has more than %1 decimals"));
    }
    if (text.size() > rule.maxLength && text != written)
        return Refused(text, TooLong(rule));
    return CellJudgement{written, {}};
}

// The range says more than the length: "12" for a department is out of
// range; "01" is one digit too long.
CellJudgement JudgeWhole(const ColumnRule& rule, const QString& text)
{
    const auto value = ParseWhole(text);
    if (value && (*value < rule.lowest || *value > rule.highest))
        return Refused(text, WholeRange(rule));
    if (text.size() > rule.maxLength)
        return Refused(text, TooLong(rule));
    if (!value)
        return Refused(text, WholeRange(rule));
    return CellJudgement{QString::number(*value), {}};
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
        return PriceRule(maxLength);
    case PLUColumn::Department:
        return WholeRule(maxLength, 1, 9);
    case PLUColumn::Stocks:
        return DecimalRule(maxLength, kStockDecimals, Bound::Magnitude, kHighestStock);
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
        return PriceRule(maxLength);
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
        return DecimalRule(maxLength, kPriceDecimals);
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

CellJudgement JudgeCell(const ColumnRule& rule, const QString& defaultText, const QString& text,
                        std::optional<int> priceDecimals)
{
    // Blanks around a number are no part of it (a sheet or a file may have them).
    const QString judged = rule.keys == Keys::Any ? text : text.trimmed();
    if (judged.isEmpty())
        return CellJudgement{defaultText, {}};
    if (const QString refusal = CharacterRefusal(rule, judged); !refusal.isEmpty())
        return Refused(text, refusal);
    switch (rule.check) {
    case Check::Decimal:
        return JudgeDecimal(rule, judged, priceDecimals);
    case Check::Whole:
        return JudgeWhole(rule, judged);
    case Check::LengthOnly:
        break;
    }
    if (judged.size() > rule.maxLength)
        return Refused(text, TooLong(rule));
    return CellJudgement{judged, {}};
}

bool CheckCellText(const ColumnRule& rule, const QString& defaultText, QString& text)
{
    CellJudgement judgement = JudgeCell(rule, defaultText, text);
    if (!judgement.Taken())
        return false;
    text = std::move(judgement.text);
    return true;
}

QChar CellKeyChar(const ColumnRule& rule, QChar ch)
{
    if (rule.keys == Keys::Numeric && (ch == u'.' || ch == u','))
        return DecimalSeparator();
    return ch;
}

bool AcceptCellKey(const ColumnRule& rule, const QString& text, QChar ch, bool editorHasSelection)
{
    if (ch.unicode() < 32)
        return true;
    if (ch.unicode() > 0xFF)
        return false;
    ch = CellKeyChar(rule, ch);
    if (text.size() >= rule.maxLength && !editorHasSelection)
        return false;
    return KeyOfKind(rule.keys, text, ch);
}
