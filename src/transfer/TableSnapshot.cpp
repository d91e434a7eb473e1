#include "transfer/TableSnapshot.h"

#include "model/Columns.h"
#include "model/TextTable.h"

#include <algorithm>

namespace {

template <std::size_t N>
void CopyField(const std::array<quint8, N>& from, std::array<quint8, N>& to, std::size_t offset,
               std::size_t bytes)
{
    std::copy_n(from.cbegin() + offset, bytes, to.begin() + offset);
}

} // namespace

bool TableSnapshot::HoldsRange(PluRange range) const
{
    for (int n = range.begin; n <= range.end; ++n) {
        if (!plus.contains(n))
            return false;
    }
    return range.IsValid();
}

unsigned TableSnapshot::Tables() const
{
    return (plus.empty() ? 0u : TableBit(TransferTable::PLU))
           | (departments ? TableBit(TransferTable::Department) : 0u);
}

TableSnapshot SnapshotOfDocument(const TextTable& plu, const TextTable& departments, unsigned selection,
                                 PluRange range, quint8 priceDecimals)
{
    TableSnapshot snapshot;
    snapshot.priceDecimals = priceDecimals;
    if ((selection & TableBit(TransferTable::PLU)) != 0 && range.IsValid()) {
        for (int n = range.begin; n <= range.end; ++n) {
            PLUCells cells;
            cells.barcode = plu.Cell(PLUColumn::Barcode, n);
            cells.name = plu.Cell(PLUColumn::Name, n);
            cells.price = plu.Cell(PLUColumn::UnitPrice, n);
            cells.department = plu.Cell(PLUColumn::Department, n);
            cells.stocks = plu.Cell(PLUColumn::Stocks, n);
            snapshot.plus.emplace(n, EncodePLURecord(cells, priceDecimals));
        }
    }
    if ((selection & TableBit(TransferTable::Department)) != 0) {
        TableSnapshot::Departments records{};
        for (int d = 1; d <= TableSnapshot::kDepartments; ++d) {
            DeptmentCells cells;
            cells.name = departments.Cell(DeptmentColumn::Name, d);
            cells.tax = departments.Cell(DeptmentColumn::Tax, d);
            cells.price = departments.Cell(DeptmentColumn::UnitPrice, d);
            records[std::size_t(d - 1)] = EncodeDeptmentRecord(cells, priceDecimals);
        }
        snapshot.departments = records;
    }
    return snapshot;
}

void WriteSnapshot(const TableSnapshot& snapshot, TextTable& plu, TextTable& departments)
{
    {
        TextTable::Batch batch(plu);
        for (const auto& [number, record] : snapshot.plus) {
            const PLUCells cells = DecodePLURecord(record.data(), snapshot.priceDecimals);
            plu.SetCell(PLUColumn::Barcode, number, cells.barcode);
            plu.SetCell(PLUColumn::Name, number, cells.name);
            plu.SetCell(PLUColumn::UnitPrice, number, cells.price);
            plu.SetCell(PLUColumn::Department, number, cells.department);
            plu.SetCell(PLUColumn::Stocks, number, cells.stocks);
            plu.SetCell(PLUColumn::Flag, number, cells.flag);
        }
    }
    if (!snapshot.departments)
        return;
    TextTable::Batch batch(departments);
    for (int d = 1; d <= TableSnapshot::kDepartments; ++d) {
        const DeptmentCells cells =
            DecodeDeptmentRecord((*snapshot.departments)[std::size_t(d - 1)].data(), snapshot.priceDecimals);
        departments.SetCell(DeptmentColumn::Name, d, cells.name);
        departments.SetCell(DeptmentColumn::Tax, d, cells.tax);
        departments.SetCell(DeptmentColumn::UnitPrice, d, cells.price);
    }
}

void MergeSnapshot(TableSnapshot& base, const TableSnapshot& newer)
{
    if (base.priceDecimals != newer.priceDecimals) {
        base = newer;
        return;
    }
    for (const auto& [number, record] : newer.plus)
        base.plus.insert_or_assign(number, record);
    if (newer.departments)
        base.departments = newer.departments;
}

PLURecord DownloadImage(const PLURecord& record)
{
    using namespace PLURecordLayout;
    PLURecord image{};
    CopyField(record, image, kBarcode, kBarcodeBytes);
    CopyField(record, image, kName, kNameBytes);
    CopyField(record, image, kPrice, 4);
    CopyField(record, image, kDepartment, 1);
    CopyField(record, image, kStocks, 4);
    return image;
}

DeptmentRecord DownloadImage(const DeptmentRecord& record)
{
    using namespace DeptmentRecordLayout;
    DeptmentRecord image{};
    CopyField(record, image, kName, kNameBytes);
    CopyField(record, image, kTax, 1);
    CopyField(record, image, kPrice, 4);
    return image;
}
