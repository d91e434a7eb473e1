#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TransferRequest.h"

class IProgress;
class ITransferLink;
class TextTable;

// The table procedures the drivers run while the register is logged in. Each
// returns true when every package of its table was exchanged and false at the
// first package that was not (or once the operator cancelled). A request's data
// area goes out as the previous exchange left it, and bytes a download package
// does not fill keep what was there: the register reads only what the package
// announces.

// PLU numbers range.begin..range.end, three to a package (command 13).
bool DownloadPLUTable(ITransferLink& link, IProgress& progress, const TextTable& plu,
                      PluRange range, quint8 priceDecimals);

// All nine departments, always two packages (command 12).
bool DownloadDeptmentTable(ITransferLink& link, IProgress& progress, const TextTable& departments,
                           quint8 priceDecimals);

// The records of the range, four PLUs to a request (command 11), then the
// register's totals list (command 8), whose quantity and total go to the first
// row of the range carrying the same barcode.
bool UploadPLUTable(ITransferLink& link, IProgress& progress, TextTable& plu, PluRange range,
                    const RegisterStatus& status);

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
