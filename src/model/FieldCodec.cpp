#include "model/FieldCodec.h"

#include "model/Decimal.h"
#include "model/Defs.h"

#include <algorithm>

namespace FieldCodec {
namespace {
constexpr int kBarcodeDigits = 13;
} // namespace

QChar DecimalSeparator()
{
    return ::DecimalSeparator();
}

qint64 IntegerOrZero(const QString& text)
{
    return ParseWhole(text).value_or(0);
}

quint32 ScaledLow32(const QString& text, int decimals)
{
    const std::optional<Decimal> value = Decimal::Parse(text, DecimalSeparator());
    return value ? value->RoundedLow32(decimals) : 0;
}

QString ScaledText(qint64 units, int scale, int minDecimals)
{
    return Decimal(units, scale).Text(minDecimals, DecimalSeparator());
}

QString TakeBytes(const quint8* field, std::size_t width)
{
    const quint8* end = std::find(field, field + width, quint8(0));
    return QString::fromLatin1(reinterpret_cast<const char*>(field), end - field);
}

QString TakeText(const quint8* field, std::size_t width)
{
    QString text = TakeBytes(field, width);
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

} // namespace FieldCodec
