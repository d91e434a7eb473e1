#pragma once

#include "transfer/Records.h"
#include "transfer/RegisterStatus.h"
#include "transfer/TransferRequest.h"

#include <functional>
#include <vector>

class IProgress;
class ITransferLink;
class TextTable;

// The table procedures the drivers run while the register is logged in. Each
// returns true when every package of its table was exchanged and false at the
// first package that was not (or once the operator cancelled). A request's data
// area goes out as the previous exchange left it, and bytes a download package
// does not fill keep what was there: the register reads only what the package
// announces.

// The record a download sends for a PLU or department number.
using PLURecordOf = std::function<PLURecord(int number)>;
using DeptmentRecordOf = std::function<DeptmentRecord(int number)>;

// The packers every download of PLUs and departments goes through, full or
// changes only. SendPLUEntries sends the given PLUs in order, three entries
// (the PLU index, then its record) to a package, as command 13 with the
// packages counted from 0. SendDepartmentPackages sends the given department
// packages (0: departments 1..8, 1: department 9) as command 12 with the
// package number. Each adds the packages acknowledged to `packages`.
bool SendPLUEntries(ITransferLink& link, IProgress& progress, const std::vector<int>& numbers,
                    const PLURecordOf& recordOf, int& packages);
bool SendDepartmentPackages(ITransferLink& link, IProgress& progress, const std::vector<int>& chosen,
                            const DeptmentRecordOf& recordOf, int& packages);
// range.begin..range.end (none for a range that is not valid), and every
// department package.
std::vector<int> PLUNumbers(PluRange range);
std::vector<int> AllDepartmentPackages();

// PLU numbers range.begin..range.end, three to a package (command 13).
// lastPlu, when given, receives the highest PLU number acknowledged (0: none).
bool DownloadPLUTable(ITransferLink& link, IProgress& progress, const TextTable& plu,
                      PluRange range, quint8 priceDecimals, int* lastPlu = nullptr);

// All nine departments, always two packages (command 12).
bool DownloadDeptmentTable(ITransferLink& link, IProgress& progress, const TextTable& departments,
                           quint8 priceDecimals);

// The records of the range, four PLUs to a request (command 11), then the
// register's totals list (command 8), whose quantity and total go to the first
// row of the range carrying the same barcode. lastPlu, when given, receives
// the highest PLU number whose record was read (0: none); the totals come after.
bool UploadPLUTable(ITransferLink& link, IProgress& progress, TextTable& plu, PluRange range,
                    const RegisterStatus& status, int* lastPlu = nullptr);

// Departments 1..9 from two requests (command 10); leaves the counters alone.
bool UploadDeptmentTable(ITransferLink& link, IProgress& progress, TextTable& departments,
                         quint8 priceDecimals);

// How many totals packages the register's count asks for, and how many records
// they are read for. The package parameter is 16 bits wide, so no more than
// 65536 packages can be addressed: a larger (or absurd) count from the register
// is capped there rather than overflowing or asking for hours.
struct TotalsPlan
{
    static constexpr qint64 kMaxPackages = 65536;
    qint64 packages = 0;
    qint64 records = 0;
};
TotalsPlan PlanTotals(qint32 reportedCount);
