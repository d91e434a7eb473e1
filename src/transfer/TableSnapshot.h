#pragma once

#include "transfer/Records.h"
#include "transfer/TransferRequest.h"

#include <array>
#include <map>
#include <optional>

class TextTable;

// The PLU and department tables as the register's records: what a transfer
// sent or read, what the register is known to hold, or what the document
// would send. Prices inside the records are at priceDecimals.
struct TableSnapshot
{
    static constexpr int kDepartments = 9;
    using Departments = std::array<DeptmentRecord, kDepartments>;

    quint8 priceDecimals = 0;
    std::map<int, PLURecord> plus;          // by PLU number 1..3000
    std::optional<Departments> departments; // all nine, or none

    bool IsEmpty() const { return plus.empty() && !departments; }
    // True when every PLU of the range is held.
    bool HoldsRange(PluRange range) const;
    // The tables (TableBit) held.
    unsigned Tables() const;
};

// The cells of one row that travel in a record, and back into a row.
PLUCells PLURowCells(const TextTable& plu, int row);
DeptmentCells DeptmentRowCells(const TextTable& departments, int row);
void PutPLURowCells(TextTable& plu, int row, const PLUCells& cells);
void PutDeptmentRowCells(TextTable& departments, int row, const DeptmentCells& cells);

// The records a download of the selected tables sends from the document.
TableSnapshot SnapshotOfDocument(const TextTable& plu, const TextTable& departments, unsigned selection,
                                 PluRange range, quint8 priceDecimals);

// The snapshot's rows as cell texts; rows it does not hold are left alone.
void WriteSnapshot(const TableSnapshot& snapshot, TextTable& plu, TextTable& departments);

// newer's records replace base's; base takes newer's price decimals. A change
// of price decimals makes base's other records meaningless, so they are dropped.
void MergeSnapshot(TableSnapshot& base, const TableSnapshot& newer);

// A record reduced to the fields a download sends (flag and reserved bytes 0),
// so a record read back compares equal to the one sent.
PLURecord DownloadImage(const PLURecord& record);
DeptmentRecord DownloadImage(const DeptmentRecord& record);
