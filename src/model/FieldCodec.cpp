#include "model/FieldCodec.h"

#include "model/Defs.h"
#include "model/ByteOrder.h"

#include <algorithm>
#include <cmath>

namespace FieldCodec {
namespace {
constexpr int kBarcodeDigits = 13;
// Doubles at or beyond 2^63 are whole numbers but do not fit a 64-bit integer.
constexpr double kInt64Limit = 9223372036854775808.0;
} // namespace

QChar DecimalSeparator()
{
    return ::DecimalSeparator();
}

qint64 IntegerOrZero(const QString& text)
{
    return ParseWhole(text).value_or(0);
}

double DecimalScale(quint8 decimals)
{
    return std::pow(10.0, int(decimals));
}

quint32 ScaledLow32(const QString& text, double scale)
{
    const double scaled = TextToFloatOr(text, 0.0) * scale;
    if (std::fabs(scaled) < kInt64Limit)
        return quint32(quint64(RoundHalfEven(scaled)));
    return ByteOrder::LowBits32(scaled);
}

QString TakeText(const quint8* field, std::size_t width)
{
    const quint8* end = std::find(field, field + width, quint8(0));
    QString text = QString::fromLatin1(reinterpret_cast<const char*>(field), end - field);
    for (QChar& ch : text) {
        if (ch.unicode() < u' ')
            ch = u' ';
    }
    return text;
}

void PutText(quint8* field, std::size_t width, const QString& text)
{
    const QByteArray bytes = text.left(int(width)).toLatin1();
    std::copy(bytes.cbegin(), bytes.cend(), field);
}

void PackBarcode(qint64 barcode, quint8* field)
{
    const TBcdBuffer packed = PackBcd(kBarcodeDigits, barcode);
    std::copy_n(packed.cbegin(), kBarcodeBytes, field);
}

qint64 UnpackBarcode(const quint8* field)
{
    TBcdBuffer packed{};
    std::copy_n(field, kBarcodeBytes, packed.begin());
    return UnpackBcd(packed, kBarcodeDigits);
}

QString FixedText(double value, int decimals)
{
    return FormatFixed(value, decimals);
}

} // namespace FieldCodec
