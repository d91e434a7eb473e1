#include "transfer/DialogInput.h"

#include "model/Language.h"
#include "model/Numbers.h"

#include <limits>

namespace {

bool IsDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// An optional sign and at least one decimal digit, blanks around allowed.
// Values beyond the int range saturate.
std::optional<int> ParseSaturatedWhole(const QString& text)
{
    QStringView digits = QStringView(text).trimmed();
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    qint64 magnitude = 0;
    constexpr qint64 kCeiling = qint64(std::numeric_limits<int>::max()) + 1;
    for (const QChar c : digits) {
        if (!IsDecimalDigit(c))
            return std::nullopt;
        magnitude = qMin(kCeiling, magnitude * 10 + (c.unicode() - u'0'));
    }
    const qint64 value = negative ? -magnitude : magnitude;
    constexpr qint64 kLowest = std::numeric_limits<int>::min();
    constexpr qint64 kHighest = std::numeric_limits<int>::max();
    return static_cast<int>(qBound(kLowest, value, kHighest));
}

} // namespace

namespace PluRangeInput {

int FieldValue(const QString& text)
{
    return ParseSaturatedWhole(text).value_or(kFirst);
}

bool IsValid(int begin, int end)
{
    return kFirst <= begin && begin <= end && end <= kLast;
}

QString InvalidRangeText()
{
    return Tr("PluRangeInput", "InvalidRange", "Invalid PLU range");
}

} // namespace PluRangeInput

namespace MemoryRangeInput {

bool AcceptsBaseKey(QChar key)
{
    return key < u' ' || HexDigitValue(key) >= 0;
}

std::optional<MemoryRangeChoice> Parse(int area, const QString& baseHex, const QString& countText)
{
    const std::optional<quint32> base = ParseHexDigits(QStringView(baseHex).trimmed());
    const std::optional<int> count = ParseSaturatedWhole(countText);
    if (!base || !count || *count < 1)
        return std::nullopt;
    if (qint64(*base) + *count - 1 > kLastBlock)
        return std::nullopt;
    return MemoryRangeChoice{area, static_cast<int>(*base), *count};
}

} // namespace MemoryRangeInput
