#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>

// The register's binary records for the PLU and department tables, and the
// conversions between a record and the text cells of one table row. Numbers
// inside a record are big-endian; prices are integers × 10^PriceDecimals,
// stocks and quantities integers × 1000.

namespace PLURecordLayout {
constexpr std::size_t kSize = 64;
constexpr std::size_t kBarcode = 0;      // 7 bytes packed BCD
constexpr std::size_t kBarcodeBytes = 7;
constexpr std::size_t kName = 7;         // 18 bytes, zero padded
constexpr std::size_t kNameBytes = 18;
constexpr std::size_t kPrice = 25;       // signed 32-bit
constexpr std::size_t kDepartment = 44;  // department number - 1
constexpr std::size_t kStocks = 45;      // signed 32-bit, × 1000
constexpr std::size_t kFlag = 49;
} // namespace PLURecordLayout

// A PLU record as it travels in a download package: the PLU index (number - 1,
// little-endian) in front of the record.
namespace PLUEntryLayout {
constexpr std::size_t kSize = 68;
constexpr std::size_t kIndex = 0;
constexpr std::size_t kRecord = 4;
} // namespace PLUEntryLayout

// A PLU download package: the number of entries, then up to three entries.
namespace PLUPackageLayout {
constexpr std::size_t kEntryCount = 0;
constexpr std::size_t kFirstEntry = 1;
constexpr int kMaxEntries = 3;
} // namespace PLUPackageLayout

// The register's table commands: status, department and PLU upload and download.
namespace TableCommand {
constexpr quint8 kStatus = 0;
constexpr quint8 kReadDepartments = 10;
constexpr quint8 kReadPLUs = 11;
constexpr quint8 kSendDepartments = 12;
constexpr quint8 kSendPLUs = 13;
constexpr int kDepartmentsPerPackage = 8;
} // namespace TableCommand

namespace DeptmentRecordLayout {
constexpr std::size_t kSize = 32;
constexpr std::size_t kName = 0;         // 18 bytes, zero padded
constexpr std::size_t kNameBytes = 18;
constexpr std::size_t kTax = 18;         // tax number - 1
constexpr std::size_t kPrice = 20;       // signed 32-bit
} // namespace DeptmentRecordLayout

namespace PLUTotalsRecordLayout {
constexpr std::size_t kSize = 17;
constexpr std::size_t kBarcode = 0;      // 7 bytes packed BCD
constexpr std::size_t kQuantity = 7;     // signed 32-bit, × 1000
constexpr std::size_t kTotal = 11;       // unsigned 48-bit, × 10^PriceDecimals
} // namespace PLUTotalsRecordLayout

using PLURecord = std::array<quint8, PLURecordLayout::kSize>;
using PLUEntry = std::array<quint8, PLUEntryLayout::kSize>;
using DeptmentRecord = std::array<quint8, DeptmentRecordLayout::kSize>;

// The cells of one PLU row that travel in a PLURecord.
struct PLUCells
{
    QString barcode;
    QString name;
    QString price;
    QString department;
    QString stocks;
    QString flag;   // only read back; a download always sends 0
};

// The cells of one department row.
struct DeptmentCells
{
    QString name;
    QString tax;
    QString price;
};

// One article's figures from the register's totals list.
struct PLUTotals
{
    qint64 barcode = 0;
    QString quantity;
    QString total;
};

// The cells go in as the cell check writes them (JudgeCell); texts that do
// not parse go out as 0 (numbers) or 255 (department). Received prices and
// totals are written with the register's decimals, at least two, so they
// download again as they were.
PLURecord EncodePLURecord(const PLUCells& cells, quint8 priceDecimals);
PLUEntry EncodePLUEntry(int pluNumber, const PLUCells& cells, quint8 priceDecimals);
DeptmentRecord EncodeDeptmentRecord(const DeptmentCells& cells, quint8 priceDecimals);

// Each decoder reads exactly its record's size from `record`.
PLUCells DecodePLURecord(const quint8* record, quint8 priceDecimals);
DeptmentCells DecodeDeptmentRecord(const quint8* record, quint8 priceDecimals);
PLUTotals DecodePLUTotalsRecord(const quint8* record, quint8 priceDecimals);
