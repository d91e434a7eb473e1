#include "transfer/Records.h"

#include "model/ByteOrder.h"
#include "model/FieldCodec.h"

#include <algorithm>

namespace {

constexpr double kStockScale = 1000.0;

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
                          FieldCodec::ScaledLow32(cells.price, FieldCodec::DecimalScale(priceDecimals)));
    record[kDepartment] = NumberMinusOne(cells.department);
    ByteOrder::WriteBig32(record.data() + kStocks, FieldCodec::ScaledLow32(cells.stocks, kStockScale));
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
                          FieldCodec::ScaledLow32(cells.price, FieldCodec::DecimalScale(priceDecimals)));
    return record;
}

PLUCells DecodePLURecord(const quint8* record, quint8 priceDecimals)
{
    using namespace PLURecordLayout;
    PLUCells cells;
    cells.barcode = QString::number(FieldCodec::UnpackBarcode(record + kBarcode));
    cells.name = FieldCodec::TakeText(record + kName, kNameBytes);
    cells.price = FieldCodec::FixedText(ByteOrder::ReadBigSigned32(record + kPrice)
                                            / FieldCodec::DecimalScale(priceDecimals), 2);
    cells.department = NumberPlusOne(record[kDepartment]);
    cells.stocks = FieldCodec::FixedText(ByteOrder::ReadBigSigned32(record + kStocks) / kStockScale, 3);
    cells.flag = QString::number(record[kFlag]);
    return cells;
}

DeptmentCells DecodeDeptmentRecord(const quint8* record, quint8 priceDecimals)
{
    using namespace DeptmentRecordLayout;
    DeptmentCells cells;
    cells.name = FieldCodec::TakeText(record + kName, kNameBytes);
    cells.tax = NumberPlusOne(record[kTax]);
    cells.price = FieldCodec::FixedText(ByteOrder::ReadBigSigned32(record + kPrice)
                                            / FieldCodec::DecimalScale(priceDecimals), 2);
    return cells;
}

PLUTotals DecodePLUTotalsRecord(const quint8* record, quint8 priceDecimals)
{
    using namespace PLUTotalsRecordLayout;
    PLUTotals totals;
    totals.barcode = FieldCodec::UnpackBarcode(record + kBarcode);
    totals.quantity = FieldCodec::FixedText(ByteOrder::ReadBigSigned32(record + kQuantity) / kStockScale, 3);
    // 48 bits are exact in a double.
    totals.total = FieldCodec::FixedText(double(ByteOrder::ReadBig48(record + kTotal))
                                             / FieldCodec::DecimalScale(priceDecimals), 2);
    return totals;
}
