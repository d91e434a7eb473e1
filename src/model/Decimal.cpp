#include "model/Decimal.h"

#include <algorithm>
#include <array>
#include <limits>
#include <cstdlib>

namespace {

constexpr std::array<qint64, Decimal::kMaxDigits + 1> kPowers = [] {
    std::array<qint64, Decimal::kMaxDigits + 1> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

bool IsAsciiDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool IsBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t';
}

} // namespace

Decimal::Decimal(qint64 units, int scale) : m_units(units), m_scale(scale) {}

std::optional<Decimal> Decimal::Parse(const QString& text, QChar separator)
{
    qsizetype at = 0;
    qsizetype end = text.size();
    while (at < end && IsBlank(text[at]))
        ++at;
    while (end > at && IsBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (at < end && (text[at] == u'-' || text[at] == u'+'))
        negative = text[at++] == u'-';
    QString digits;
    int scale = 0;
    bool separatorSeen = false;
    for (; at < end; ++at) {
        const QChar ch = text[at];
        if (IsAsciiDigit(ch)) {
            digits += ch;
            scale += separatorSeen ? 1 : 0;
        } else if (ch == separator && !separatorSeen) {
            separatorSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits.isEmpty())
        return std::nullopt;
    // Zeros that carry no value do not count against the digit limit.
    while (scale > 0 && digits.endsWith(u'0') && (digits.size() > kMaxDigits || scale > kMaxDigits)) {
        digits.chop(1);
        --scale;
    }
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits[first] == u'0')
        ++first;
    digits = digits.mid(first);
    if (digits.size() > kMaxDigits || scale > kMaxDigits)
        return std::nullopt;
    const qint64 units = digits.toLongLong();
    return Decimal(negative ? -units : units, scale);
}

int Decimal::SignificantDecimals() const
{
    int decimals = m_scale;
    qint64 units = m_units;
    while (decimals > 0 && units % 10 == 0) {
        units /= 10;
        --decimals;
    }
    return decimals;
}

std::optional<qint64> Decimal::ExactUnits(int scale) const
{
    if (scale < 0 || scale > kMaxDigits)
        return std::nullopt;
    if (scale >= m_scale) {
        const __int128 units = __int128(m_units) * kPowers[std::size_t(scale - m_scale)];
        if (units > std::numeric_limits<qint64>::max() || units < std::numeric_limits<qint64>::min())
            return std::nullopt;
        return qint64(units);
    }
    if (m_scale - scale > kMaxDigits)
        return m_units == 0 ? std::optional<qint64>(0) : std::nullopt;
    const qint64 divisor = kPowers[std::size_t(m_scale - scale)];
    if (m_units % divisor != 0)
        return std::nullopt;
    return m_units / divisor;
}

quint32 Decimal::RoundedLow32(int scale) const
{
    if (scale >= m_scale) {
        // Wrapping multiplication keeps the low bits right however far it goes.
        quint64 units = quint64(m_units);
        for (int i = m_scale; i < scale; ++i)
            units *= 10u;
        return quint32(units);
    }
    // Units below 10^18 are less than half of 10^19: they round to 0.
    if (m_scale - scale > kMaxDigits)
        return 0;
    const qint64 divisor = kPowers[std::size_t(m_scale - scale)];
    qint64 quotient = m_units / divisor;
    const qint64 remainder = std::llabs(m_units % divisor);
    const qint64 twice = remainder * 2;  // below 2 * 10^18: fits
    if (twice > divisor || (twice == divisor && quotient % 2 != 0))
        quotient += m_units < 0 ? -1 : 1;
    return quint32(quint64(quotient));
}

Decimal Decimal::Trimmed() const
{
    Decimal trimmed = *this;
    while (trimmed.m_scale > 0 && trimmed.m_units % 10 == 0) {
        trimmed.m_units /= 10;
        --trimmed.m_scale;
    }
    return trimmed;
}

QString Decimal::Text(int minDecimals, QChar separator) const
{
    const int decimals = std::max(minDecimals, m_scale);
    const qint64 magnitude = std::llabs(m_units);
    QString digits = QString::number(magnitude);
    if (decimals > m_scale)
        digits += QString(decimals - m_scale, u'0');
    else
        digits.chop(m_scale - decimals);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals - digits.size() + 1, u'0'));
    if (decimals > 0)
        digits.insert(digits.size() - decimals, separator);
    return m_units < 0 ? u'-' + digits : digits;
}

int Decimal::Compare(const Decimal& other) const
{
    const Decimal left = Trimmed();
    const Decimal right = other.Trimmed();
    if (std::abs(left.m_scale - right.m_scale) > kMaxDigits) {
        // Only a register claiming absurd decimals gets here: keep it defined.
        if (left.m_units == right.m_units && left.m_scale == right.m_scale)
            return 0;
        return left.m_units < right.m_units ? -1 : 1;
    }
    return left.CompareNear(right);
}

int Decimal::CompareNear(const Decimal& other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    const __int128 left = __int128(m_units) * kPowers[std::size_t(scale - m_scale)];
    const __int128 right = __int128(other.m_units) * kPowers[std::size_t(scale - other.m_scale)];
    return left < right ? -1 : (left > right ? 1 : 0);
}
