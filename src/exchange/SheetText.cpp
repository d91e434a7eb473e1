#include "exchange/SheetText.h"
#include "model/Language.h"

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
constexpr char kUtf16LittleEndianMark[] = "\xFF\xFE";
constexpr char kUtf16BigEndianMark[] = "\xFE\xFF";

bool IsUtf32(const QByteArray& bytes)
{
    return bytes.startsWith(QByteArray("\xFF\xFE\0\0", 4)) || bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4));
}

// The decoder lets a lone surrogate through, and UTF-8 would turn it into "?".
bool HasLoneSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

CsvInput FromUtf16(const QByteArray& bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes.mid(2));
    if (bytes.size() % 2 != 0 || HasLoneSurrogate(text))
        return {
            {},
            Tr("SheetText", "BadUtf16", "The file starts as UTF-16 text but is not valid UTF-16.")};
    return {text.toUtf8(), {}};
}

} // namespace

QString TooManyRowsError()
{
    return Tr("SheetText", "TooManyRows", "The sheet has more than %1 rows of data.")
        .arg(SheetLimits::kMaxDataRows);
}

SheetEncoding DetectSheetEncoding(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? SheetEncoding::Windows1252 : SheetEncoding::Utf8;
}

CsvInput CsvParserInput(const QByteArray& file)
{
    const QString saveAs = Tr("SheetText", "SaveAsUtf8", "save the sheet as CSV in UTF-8");
    if (IsUtf32(file))
        return {{}, Tr("SheetText", "Utf32", "The file is UTF-32 text; %1.").arg(saveAs)};
    if (file.startsWith(kUtf16LittleEndianMark))
        return FromUtf16(file, QStringConverter::Utf16LE);
    if (file.startsWith(kUtf16BigEndianMark))
        return FromUtf16(file, QStringConverter::Utf16BE);
    if (file.contains('\0')) {
        return {{},
                Tr("SheetText", "ZeroBytes",
                   "The file holds zero bytes: it is not CSV text, or it is UTF-16 text without "
                   "a byte-order mark; %1.")
                    .arg(saveAs)};
    }
    return {file, {}};
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
