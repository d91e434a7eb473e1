#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <cstddef>

// The register's record layouts. Numbers inside records are big-endian; the
// PLU index in front of a downloaded record is little-endian.
namespace SimRecords {

// One article, 64 bytes.
namespace Plu {
constexpr std::size_t kBytes = 64;
constexpr std::size_t kBarcode = 0;       // 7 bytes packed decimal, 14 digits
constexpr std::size_t kBarcodeBytes = 7;
constexpr std::size_t kName = 7;          // 18 single-byte characters, zero padded
constexpr std::size_t kNameBytes = 18;
constexpr std::size_t kPrice = 25;        // signed 32-bit, price in 10^-decimals units
constexpr std::size_t kDepartment = 44;   // department number minus 1
constexpr std::size_t kStocks = 45;       // signed 32-bit, stock x 1000
constexpr std::size_t kFlag = 49;
} // namespace Plu

// One department, 32 bytes.
namespace Department {
constexpr std::size_t kBytes = 32;
constexpr std::size_t kName = 0;
constexpr std::size_t kNameBytes = 18;
constexpr std::size_t kTax = 18;          // tax number minus 1
constexpr std::size_t kPrice = 20;        // signed 32-bit
} // namespace Department

// One article's sales figures, 17 bytes, packed without gaps in the list.
namespace Totals {
constexpr std::size_t kBytes = 17;
constexpr std::size_t kBarcode = 0;
constexpr std::size_t kQuantity = 7;      // signed 32-bit, quantity x 1000
constexpr std::size_t kTotal = 11;        // unsigned 48-bit
constexpr quint64 kMaxTotal = (quint64(1) << 48) - 1;
} // namespace Totals

// A PLU download package: a count byte and up to three entries of
// a little-endian 32-bit index followed by the 64-byte record.
namespace PluPackage {
constexpr std::size_t kCount = 0;
constexpr std::size_t kFirstEntry = 1;
constexpr std::size_t kEntryBytes = 68;
constexpr std::size_t kEntryRecord = 4;
constexpr int kMaxEntries = 3;
} // namespace PluPackage

// The 512-byte parameter block, sent as two halves of 256 bytes.
namespace Parameters {
constexpr std::size_t kBytes = 512;
constexpr std::size_t kDiscountRate = 37;    // percent x 100, 16-bit
constexpr std::size_t kSurchargeRate = 39;
constexpr std::size_t kOptionBits = 41;      // 4 bytes
constexpr std::size_t kHeaderLines = 45;     // 5 lines of 24 characters
constexpr std::size_t kTailLines = 165;      // 2 lines of 24 characters
constexpr std::size_t kLineBytes = 24;
constexpr std::size_t kBarcodeTypes = 213;   // 10 bytes
constexpr std::size_t kPrintSpeed = 223;
constexpr std::size_t kClerkPasswords = 348; // 4 x 16-bit
constexpr std::size_t kClerkNames = 356;     // 4 x 10 characters
constexpr std::size_t kClerkNameBytes = 10;
constexpr std::size_t kVatRates = 397;       // 9 x 16-bit; 10001 = not in use
constexpr quint16 kVatNotInUse = 10001;
} // namespace Parameters

using PluBytes = std::array<quint8, Plu::kBytes>;
using DepartmentBytes = std::array<quint8, Department::kBytes>;

struct PluFields {
    quint64 barcode = 0;
    QByteArray name;          // single-byte characters, at most 18
    qint32 price = 0;
    quint8 department = 0;    // as stored: department number minus 1
    qint32 stocksMilli = 0;
    quint8 flag = 0;
};

struct DepartmentFields {
    QByteArray name;
    quint8 tax = 0;           // as stored: tax number minus 1
    qint32 price = 0;
};

struct TotalsFields {
    quint64 barcode = 0;
    qint32 quantityMilli = 0;
    quint64 total = 0;        // 48 bits
};

PluFields DecodePlu(const PluBytes& bytes);
PluBytes EncodePlu(const PluFields& fields);
DepartmentFields DecodeDepartment(const DepartmentBytes& bytes);
DepartmentBytes EncodeDepartment(const DepartmentFields& fields);
TotalsFields DecodeTotals(const quint8* bytes);
void EncodeTotals(const TotalsFields& fields, quint8* bytes);

// A zero-padded text field read up to its first zero byte.
QByteArray ReadText(const quint8* p, std::size_t width);
void WriteText(quint8* p, std::size_t width, const QByteArray& text);

} // namespace SimRecords
