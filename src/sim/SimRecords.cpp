#include "sim/SimRecords.h"

#include "sim/SimBytes.h"

#include <algorithm>

namespace SimRecords {

QByteArray ReadText(const quint8* p, std::size_t width)
{
    std::size_t length = 0;
    while (length < width && p[length] != 0)
        ++length;
    return QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(length));
}

void WriteText(quint8* p, std::size_t width, const QByteArray& text)
{
    std::fill(p, p + width, quint8(0));
    const std::size_t length = std::min(width, static_cast<std::size_t>(text.size()));
    std::copy(text.constData(), text.constData() + length, p);
}

PluFields DecodePlu(const PluBytes& bytes)
{
    PluFields f;
    f.barcode = SimBytes::SimUnpackBcd(bytes.data() + Plu::kBarcode, Plu::kBarcodeBytes);
    f.name = ReadText(bytes.data() + Plu::kName, Plu::kNameBytes);
    f.price = static_cast<qint32>(SimBytes::ReadBe32(bytes.data() + Plu::kPrice));
    f.department = bytes[Plu::kDepartment];
    f.stocksMilli = static_cast<qint32>(SimBytes::ReadBe32(bytes.data() + Plu::kStocks));
    f.flag = bytes[Plu::kFlag];
    return f;
}

PluBytes EncodePlu(const PluFields& f)
{
    PluBytes bytes{};
    SimBytes::SimPackBcd(bytes.data() + Plu::kBarcode, Plu::kBarcodeBytes, f.barcode);
    WriteText(bytes.data() + Plu::kName, Plu::kNameBytes, f.name);
    SimBytes::WriteBe32(bytes.data() + Plu::kPrice, static_cast<quint32>(f.price));
    bytes[Plu::kDepartment] = f.department;
    SimBytes::WriteBe32(bytes.data() + Plu::kStocks, static_cast<quint32>(f.stocksMilli));
    bytes[Plu::kFlag] = f.flag;
    return bytes;
}

DepartmentFields DecodeDepartment(const DepartmentBytes& bytes)
{
    DepartmentFields f;
    f.name = ReadText(bytes.data() + Department::kName, Department::kNameBytes);
    f.tax = bytes[Department::kTax];
    f.price = static_cast<qint32>(SimBytes::ReadBe32(bytes.data() + Department::kPrice));
    return f;
}

DepartmentBytes EncodeDepartment(const DepartmentFields& f)
{
    DepartmentBytes bytes{};
    WriteText(bytes.data() + Department::kName, Department::kNameBytes, f.name);
    bytes[Department::kTax] = f.tax;
    SimBytes::WriteBe32(bytes.data() + Department::kPrice, static_cast<quint32>(f.price));
    return bytes;
}

TotalsFields DecodeTotals(const quint8* bytes)
{
    TotalsFields f;
    f.barcode = SimBytes::SimUnpackBcd(bytes + Totals::kBarcode, Plu::kBarcodeBytes);
    f.quantityMilli = static_cast<qint32>(SimBytes::ReadBe32(bytes + Totals::kQuantity));
    f.total = SimBytes::ReadBe48(bytes + Totals::kTotal);
    return f;
}

void EncodeTotals(const TotalsFields& f, quint8* bytes)
{
    SimBytes::SimPackBcd(bytes + Totals::kBarcode, Plu::kBarcodeBytes, f.barcode);
    SimBytes::WriteBe32(bytes + Totals::kQuantity, static_cast<quint32>(f.quantityMilli));
    SimBytes::WriteBe48(bytes + Totals::kTotal, f.total & Totals::kMaxTotal);
}

} // namespace SimRecords
