#include "transfer/Records.h"

#include "model/ByteOrder.h"
#include "model/FieldCodec.h"

#include <algorithm>

namespace {

// Stocks and quantities travel in thousandths.
constexpr int kStockDecimals = 3;
constexpr int kPriceMinDecimals = 2;

// "1" travels as 0; an empty or malformed cell as 255.
quint8 NumberMinusOne(const QString& text)
{
    return quint8(quint64(FieldCodec::IntegerOrZero(text)) - 1u);
}

QString NumberPlusOne(quint8 byte)
{
    return QString::number(int(byte) + 1);
}

} // namespace

PLURecord EncodePLURecord(const PLUCells& cells, quint8 priceDecimals)
{
    using namespace PLURecordLayout;
    PLURecord record{};
    FieldCodec::PackBarcode(FieldCodec::IntegerOrZero(cells.barcode), record.data() + kBarcode);
    FieldCodec::PutText(record.data() + kName, kNameBytes, cells.name);
    ByteOrder::WriteBig32(record.data() + kPrice,
                          FieldCodec::ScaledLow32(cells.price, priceDecimals));
    record[kDepartment] = NumberMinusOne(cells.department);
    ByteOrder::WriteBig32(record.data() + kStocks, FieldCodec::ScaledLow32(cells.stocks, kStockDecimals));
    record[kFlag] = 0;
    return record;
}

PLUEntry EncodePLUEntry(int pluNumber, const PLUCells& cells, quint8 priceDecimals)
{
    PLUEntry entry{};
    ByteOrder::WriteLittle32(entry.data() + PLUEntryLayout::kIndex, quint32(pluNumber - 1));
    const PLURecord record = EncodePLURecord(cells, priceDecimals);
    std::copy(record.cbegin(), record.cend(), entry.begin() + PLUEntryLayout::kRecord);
    return entry;
}

DeptmentRecord EncodeDeptmentRecord(const DeptmentCells& cells, quint8 priceDecimals)
{
    using namespace DeptmentRecordLayout;
    DeptmentRecord record{};
    FieldCodec::PutText(record.data() + kName, kNameBytes, cells.name);
    record[kTax] = NumberMinusOne(cells.tax);
    ByteOrder::WriteBig32(record.data() + kPrice,
                          FieldCodec::ScaledLow32(cells.price, priceDecimals));
    return record;
}

PLUCells DecodePLURecord(const quint8* record, quint8 priceDecimals)
{
    using namespace PLURecordLayout;
    PLUCells cells;
    cells.barcode = QString::number(FieldCodec::UnpackBarcode(record + kBarcode));
    cells.name = FieldCodec::TakeText(record + kName, kNameBytes);
    cells.price = FieldCodec::ScaledText(ByteOrder::ReadBigSigned32(record + kPrice), priceDecimals,
                                         kPriceMinDecimals);
    cells.department = NumberPlusOne(record[kDepartment]);
    cells.stocks = FieldCodec::ScaledText(ByteOrder::ReadBigSigned32(record + kStocks), kStockDecimals,
                                          kStockDecimals);
    cells.flag = QString::number(record[kFlag]);
    return cells;
}

DeptmentCells DecodeDeptmentRecord(const quint8* record, quint8 priceDecimals)
{
    using namespace DeptmentRecordLayout;
    DeptmentCells cells;
    cells.name = FieldCodec::TakeText(record + kName, kNameBytes);
    cells.tax = NumberPlusOne(record[kTax]);
    cells.price = FieldCodec::ScaledText(ByteOrder::ReadBigSigned32(record + kPrice), priceDecimals,
                                         kPriceMinDecimals);
    return cells;
}

PLUTotals DecodePLUTotalsRecord(const quint8* record, quint8 priceDecimals)
{
    using namespace PLUTotalsRecordLayout;
    PLUTotals totals;
    totals.barcode = FieldCodec::UnpackBarcode(record + kBarcode);
    totals.quantity = FieldCodec::ScaledText(ByteOrder::ReadBigSigned32(record + kQuantity), kStockDecimals,
                                             kStockDecimals);
    totals.total = FieldCodec::ScaledText(qint64(ByteOrder::ReadBig48(record + kTotal)), priceDecimals,
                                          kPriceMinDecimals);
    return totals;
}
