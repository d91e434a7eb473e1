#include "model/Defs.h"

#include <algorithm>

bool IsDigitChar(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool IsNumericKey(const QString& text, QChar ch)
{
    const QChar separator = DecimalSeparator();
    if (!IsDigitChar(ch) && ch != u'-' && ch != separator)
        return false;
    if (ch == separator && text.contains(separator))
        return false;
    if (ch == u'-' && text.contains(u'-'))
        return false;
    return true;
}

QString StripLeading(const QString& text, QChar ch)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == ch)
        ++start;
    return text.mid(start);
}

qint32 PowerOfInt(qint32 base, qint32 exponent)
{
    // Squaring gives the same result modulo 2^32 as repeated multiplication.
    quint32 result = 1;
    quint32 factor = static_cast<quint32>(base);
    quint64 remaining = exponent < 0 ? -static_cast<qint64>(exponent) : exponent;
    while (remaining > 0) {
        if (remaining & 1)
            result *= factor;
        factor *= factor;
        remaining >>= 1;
    }
    const auto power = static_cast<qint32>(result);
    if (exponent >= 0)
        return power;
    return power == 0 ? 0 : 1 / power;
}

qint32 DivRoundUp(qint32 dividend, qint32 divisor)
{
    if (dividend <= 0 || divisor <= 0)
        return 0;
    return dividend / divisor + (dividend % divisor != 0 ? 1 : 0);
}

void CopyBytes(void* dst, const void* src, int count)
{
    auto* to = static_cast<unsigned char*>(dst);
    const auto* from = static_cast<const unsigned char*>(src);
    for (int i = 0; i < count; ++i)
        to[i] = from[i];
}

QStringList& SplitText(const QString& text, QChar separator, QStringList& list)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0) {
            list.append(text.mid(start));
            return list;
        }
        list.append(text.mid(start, at - start));
        start = at + 1;
    }
}

int BcdByteCount(int digits)
{
    // Truncating division, as the register's field definitions count.
    const int bytes = (digits - 1) / 2 + 1;
    return std::clamp(bytes, 0, kBcdBufferBytes);
}

TBcdBuffer PackBcd(int digits, qint64 value)
{
    TBcdBuffer buffer{};
    if (value < 0)
        return buffer;
    for (int i = BcdByteCount(digits) - 1; i >= 0; --i) {
        buffer[i] = static_cast<quint8>((value / 10 % 10) * 16 + value % 10);
        value /= 100;
    }
    return buffer;
}

qint64 UnpackBcd(const TBcdBuffer& buffer, int digits)
{
    quint64 value = 0;
    const int bytes = BcdByteCount(digits);
    for (int i = 0; i < bytes; ++i)
        value = value * 100 + (buffer[i] >> 4) * 10 + (buffer[i] & 0x0F);
    return static_cast<qint64>(value);
}

quint16 SwapBytes16(quint16 value)
{
    return static_cast<quint16>((value & 0xFF) << 8 | value >> 8);
}

quint32 SwapBytes32(quint32 value)
{
    return (value & 0xFF) << 24 | (value & 0xFF00) << 8 | (value >> 8 & 0xFF00) | value >> 24;
}
