#include "model/Numbers.h"

#include <QLocale>

#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsUsableSeparator(QChar ch)
{
    return ch.unicode() > 0x20 && ch.unicode() <= 0xFF && ch != QChar(0x7F) && !ch.isDigit()
        && ch != u'-' && ch != u'+';
}

char16_t SystemSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && IsUsableSeparator(point.at(0)))
        return point.at(0).unicode();
    return u'.';
}

std::atomic<char16_t>& Separator()
{
    static std::atomic<char16_t> separator{SystemSeparator()};
    return separator;
}

bool IsAsciiDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// Copies an optional sign into out ('+' is dropped) and returns the position
// after it.
qsizetype TakeSign(const QString& text, qsizetype at, std::string& out)
{
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
        if (text[at] == u'-')
            out += '-';
        return at + 1;
    }
    return at;
}

qsizetype TakeDigits(const QString& text, qsizetype at, std::string& out)
{
    while (at < text.size() && IsAsciiDigit(text[at]))
        out += static_cast<char>(text[at++].unicode());
    return at;
}

} // namespace

QChar DecimalSeparator()
{
    return QChar(Separator().load());
}

void SetDecimalSeparator(QChar separator)
{
    if (IsUsableSeparator(separator))
        Separator().store(separator.unicode());
}

void ResetDecimalSeparator()
{
    Separator().store(SystemSeparator());
}

QString FormatFixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    text.replace(u'.', DecimalSeparator());
    return text;
}

std::optional<qint64> ParseWhole(const QString& text)
{
    const QString t = text.trimmed();
    std::string ascii;
    const qsizetype digitsAt = TakeSign(t, 0, ascii);
    const qsizetype end = TakeDigits(t, digitsAt, ascii);
    if (end == digitsAt || end != t.size())
        return std::nullopt;
    qint64 value = 0;
    const auto [ptr, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || ptr != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

int HexDigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

std::optional<quint32> ParseHexDigits(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const QChar c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<quint64>(digit);
        if (value > std::numeric_limits<quint32>::max())
            return std::nullopt;
    }
    return static_cast<quint32>(value);
}

std::optional<double> ParseDecimal(const QString& text)
{
    const QString t = text.trimmed();
    std::string ascii;
    qsizetype at = TakeSign(t, 0, ascii);
    const qsizetype integerAt = at;
    at = TakeDigits(t, at, ascii);
    qsizetype mantissaDigits = at - integerAt;
    if (at < t.size() && t[at] == DecimalSeparator()) {
        ascii += '.';
        const qsizetype fractionAt = ++at;
        at = TakeDigits(t, at, ascii);
        mantissaDigits += at - fractionAt;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at < t.size() && (t[at] == u'e' || t[at] == u'E')) {
        ascii += 'e';
        const qsizetype exponentAt = TakeSign(t, at + 1, ascii);
        at = TakeDigits(t, exponentAt, ascii);
        if (at == exponentAt)
            return std::nullopt;
    }
    if (at != t.size())
        return std::nullopt;
    double value = 0;
    const auto [ptr, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

qint64 RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact in a double; everything at or beyond it is out of range.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit)
        return std::numeric_limits<qint64>::max();
    if (value < -kLimit)
        return std::numeric_limits<qint64>::min();
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for every double
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded >= kLimit)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(rounded);
}
