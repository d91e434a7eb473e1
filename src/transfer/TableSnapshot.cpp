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

// What is sent is what the cell check passed: its written form ("1,50" as
// 1.50). A refused cell never gets this far in a download; elsewhere it
// goes as it stands.
QString SentText(const TextTable& table, int col, int row)
{
    const CellJudgement judged = table.JudgeCell(col, row);
    return judged.Taken() ? judged.text : table.Cell(col, row);
}

} // namespace

PLUCells PLURowCells(const TextTable& plu, int row)
{
    PLUCells cells;
    cells.barcode = SentText(plu, PLUColumn::Barcode, row);
    cells.name = SentText(plu, PLUColumn::Name, row);
    cells.price = SentText(plu, PLUColumn::UnitPrice, row);
    cells.department = SentText(plu, PLUColumn::Department, row);
    cells.stocks = SentText(plu, PLUColumn::Stocks, row);
    return cells;
}

DeptmentCells DeptmentRowCells(const TextTable& departments, int row)
{
    DeptmentCells cells;
    cells.name = SentText(departments, DeptmentColumn::Name, row);
    cells.tax = SentText(departments, DeptmentColumn::Tax, row);
    cells.price = SentText(departments, DeptmentColumn::UnitPrice, row);
    return cells;
}

void PutPLURowCells(TextTable& plu, int row, const PLUCells& cells)
{
    plu.SetCell(PLUColumn::Barcode, row, cells.barcode);
    plu.SetCell(PLUColumn::Name, row, cells.name);
    plu.SetCell(PLUColumn::UnitPrice, row, cells.price);
    plu.SetCell(PLUColumn::Department, row, cells.department);
    plu.SetCell(PLUColumn::Stocks, row, cells.stocks);
    plu.SetCell(PLUColumn::Flag, row, cells.flag);
}

void PutDeptmentRowCells(TextTable& departments, int row, const DeptmentCells& cells)
{
    departments.SetCell(DeptmentColumn::Name, row, cells.name);
    departments.SetCell(DeptmentColumn::Tax, row, cells.tax);
    departments.SetCell(DeptmentColumn::UnitPrice, row, cells.price);
}

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
        for (int n = range.begin; n <= range.end; ++n)
            snapshot.plus.emplace(n, EncodePLURecord(PLURowCells(plu, n), priceDecimals));
    }
    if ((selection & TableBit(TransferTable::Department)) != 0) {
        TableSnapshot::Departments records{};
        for (int d = 1; d <= TableSnapshot::kDepartments; ++d)
            records[std::size_t(d - 1)] = EncodeDeptmentRecord(DeptmentRowCells(departments, d), priceDecimals);
        snapshot.departments = records;
    }
    return snapshot;
}

void WriteSnapshot(const TableSnapshot& snapshot, TextTable& plu, TextTable& departments)
{
    {
        TextTable::Batch batch(plu);
        for (const auto& [number, record] : snapshot.plus)
            PutPLURowCells(plu, number, DecodePLURecord(record.data(), snapshot.priceDecimals));
    }
    if (!snapshot.departments)
        return;
    TextTable::Batch batch(departments);
    for (int d = 1; d <= TableSnapshot::kDepartments; ++d)
        PutDeptmentRowCells(departments, d,
                            DecodeDeptmentRecord((*snapshot.departments)[std::size_t(d - 1)].data(),
                                                 snapshot.priceDecimals));
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
