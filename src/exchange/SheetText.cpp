#include "exchange/SheetText.h"

#include "exchange/Sheet.h"

#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 0x80..0x9F.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

QString TooManyRowsError()
{
    return QStringLiteral("The sheet has more than %1 rows of data.").arg(SheetLimits::kMaxDataRows);
}

SheetEncoding DetectSheetEncoding(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? SheetEncoding::Windows1252 : SheetEncoding::Utf8;
}

QByteArray WithoutByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith(kByteOrderMark) ? bytes.mid(3) : bytes;
}

QString DecodeSheetField(const QByteArray& bytes, SheetEncoding encoding)
{
    if (encoding == SheetEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text.append(code >= 0x80 && code <= 0x9F ? QChar(kWindows1252High[code - 0x80]) : QChar(code));
    }
    return text;
}
