#include "history/SalesReading.h"

#include "model/ByteOrder.h"
#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/Numbers.h"
#include "model/TextTable.h"

namespace {

constexpr int kQuantityDecimals = 3;

// Empty or unreadable cells count as no figures.
qint64 UnitsOf(const QString& text, int scale)
{
    const auto number = Decimal::Parse(text, DecimalSeparator());
    if (!number)
        return 0;
    return number->ExactUnits(scale).value_or(0);
}

} // namespace

QString SalesReading::ListLine() const
{
    return QStringLiteral("%1  %2  %3  %4  %5 articles")
        .arg(id)
        .arg(time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), port, device)
        .arg(articles);
}

std::vector<ArticleFigures> FiguresOfRows(const TextTable& plu, PluRange range, quint8 priceDecimals)
{
    std::vector<ArticleFigures> figures;
    if (!range.IsValid() || range.end >= plu.RowCount())
        return figures;
    for (int row = range.begin; row <= range.end; ++row) {
        const ArticleFigures article{row, UnitsOf(plu.Cell(PLUColumn::Quantity, row), kQuantityDecimals),
                                     UnitsOf(plu.Cell(PLUColumn::Total, row), priceDecimals)};
        if (article.quantity != 0 || article.total != 0)
            figures.push_back(article);
    }
    return figures;
}

std::optional<SalesReading> UploadReading(const TransferRequest& request, const TransferResult& result,
                                          const TextTable& plu, quint8 priceDecimals)
{
    if (!result.Succeeded() || !request.Includes(TransferTable::PLU) || !request.range.IsValid())
        return std::nullopt;
    SalesReading reading;
    reading.time = QDateTime::currentDateTimeUtc();
    reading.port = request.port;
    reading.priceDecimals = priceDecimals;
    reading.range = request.range;
    reading.figures = FiguresOfRows(plu, request.range, priceDecimals);
    reading.articles = int(reading.figures.size());
    return reading;
}

namespace FiguresBlob {
namespace {

constexpr quint8 kVersion = 1;
constexpr qsizetype kEntryBytes = 2 + 8 + 8;

void WriteBig64(quint8* at, qint64 value)
{
    ByteOrder::WriteBig32(at, quint32(quint64(value) >> 32));
    ByteOrder::WriteBig32(at + 4, quint32(quint64(value)));
}

qint64 ReadBig64(const quint8* at)
{
    return qint64((quint64(ByteOrder::ReadBig32(at)) << 32) | ByteOrder::ReadBig32(at + 4));
}

} // namespace

QByteArray Encode(const std::vector<ArticleFigures>& figures)
{
    QByteArray bytes(1 + qsizetype(figures.size()) * kEntryBytes, '\0');
    auto* at = reinterpret_cast<quint8*>(bytes.data());
    *at++ = kVersion;
    for (const ArticleFigures& article : figures) {
        ByteOrder::WriteBig16(at, quint16(article.plu));
        WriteBig64(at + 2, article.quantity);
        WriteBig64(at + 10, article.total);
        at += kEntryBytes;
    }
    return bytes;
}

std::optional<std::vector<ArticleFigures>> Decode(const QByteArray& bytes)
{
    if (bytes.isEmpty() || quint8(bytes[0]) != kVersion || (bytes.size() - 1) % kEntryBytes != 0)
        return std::nullopt;
    std::vector<ArticleFigures> figures;
    figures.reserve(std::size_t((bytes.size() - 1) / kEntryBytes));
    const auto* at = reinterpret_cast<const quint8*>(bytes.constData()) + 1;
    const auto* end = reinterpret_cast<const quint8*>(bytes.constData()) + bytes.size();
    int previous = 0;
    for (; at < end; at += kEntryBytes) {
        const int plu = ByteOrder::ReadBig16(at);
        // Numbers count up within the register's table, or the list is not ours.
        if (plu <= previous || plu > PluRange::kLast)
            return std::nullopt;
        previous = plu;
        figures.push_back({plu, ReadBig64(at + 2), ReadBig64(at + 10)});
    }
    return figures;
}

} // namespace FiguresBlob
