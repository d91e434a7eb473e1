#pragma once

#include "transfer/TransferRequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class TextTable;

// One article's sales figures as the register keeps them since its last
// report clear: the quantity in thousandths, the total in units of
// 10^-priceDecimals.
struct ArticleFigures
{
    int plu = 0;
    qint64 quantity = 0;
    qint64 total = 0;

    friend bool operator==(const ArticleFigures&, const ArticleFigures&) = default;
};

// The figures one upload read from a register: kept in the history beside the
// upload's transfer entry, so sales can be told over days and weeks.
struct SalesReading
{
    qint64 id = 0;              // given by the store, counting up
    qint64 transferId = 0;      // the upload's history entry
    QDateTime time;             // when the upload ended (UTC)
    QString port;
    QString device;
    int priceDecimals = 0;
    PluRange range;             // the PLUs the upload read; those without figures sold nothing
    std::vector<ArticleFigures> figures;  // by PLU number, only PLUs with figures
    int articles = 0;           // how many PLUs have figures (also when figures are not loaded)

    // "7  2026-12-08 18:02:11  COM1  /dev/ttyUSB0  132 articles"
    QString ListLine() const;
};

// The reading an upload makes: only one that succeeded and read the PLU table
// (whose totals list then stands in its Quantity and Total cells) has one.
std::optional<SalesReading> UploadReading(const TransferRequest& request, const TransferResult& result,
                                          const TextTable& plu, quint8 priceDecimals);

// The figures of the PLU rows of `range`, read back from the cells exactly.
std::vector<ArticleFigures> FiguresOfRows(const TextTable& plu, PluRange range, quint8 priceDecimals);

// The figures as the database keeps them, and back; nothing when the bytes
// are not such a list (a damaged file).
namespace FiguresBlob {
QByteArray Encode(const std::vector<ArticleFigures>& figures);
std::optional<std::vector<ArticleFigures>> Decode(const QByteArray& bytes);
} // namespace FiguresBlob
