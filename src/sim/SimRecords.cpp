#include "sim/SimRecords.h"

#include "model/Defs.h"
#include "sim/SimBytes.h"

#include <algorithm>

namespace SimRecords {
namespace {

// Barcodes are 14 packed decimal digits, the program's own packed-decimal
// layout; digits above the fourteenth do not fit and are dropped.
constexpr int kBarcodeDigits = 2 * Plu::kBarcodeBytes;
constexpr quint64 kBarcodeModulus = 100'000'000'000'000;

quint64 ReadBarcode(const quint8* p)
{
    TBcdBuffer buffer{};
    std::copy_n(p, Plu::kBarcodeBytes, buffer.begin());
    return static_cast<quint64>(UnpackBcd(buffer, kBarcodeDigits));
}

void WriteBarcode(quint8* p, quint64 barcode)
{
    const TBcdBuffer buffer = PackBcd(kBarcodeDigits, static_cast<qint64>(barcode % kBarcodeModulus));
    std::copy_n(buffer.begin(), Plu::kBarcodeBytes, p);
}

} // namespace

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
    f.barcode = ReadBarcode(bytes.data() + Plu::kBarcode);
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
    WriteBarcode(bytes.data() + Plu::kBarcode, f.barcode);
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
    f.barcode = ReadBarcode(bytes + Totals::kBarcode);
    f.quantityMilli = static_cast<qint32>(SimBytes::ReadBe32(bytes + Totals::kQuantity));
    f.total = SimBytes::ReadBe48(bytes + Totals::kTotal);
    return f;
}

void EncodeTotals(const TotalsFields& f, quint8* bytes)
{
    WriteBarcode(bytes + Totals::kBarcode, f.barcode);
    SimBytes::WriteBe32(bytes + Totals::kQuantity, static_cast<quint32>(f.quantityMilli));
    SimBytes::WriteBe48(bytes + Totals::kTotal, f.total & Totals::kMaxTotal);
}

} // namespace SimRecords
