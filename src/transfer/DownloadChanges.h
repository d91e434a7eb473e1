#pragma once

#include "transfer/TableSnapshot.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

#include <vector>

class IProgress;
class ITransferLink;

// What a changes-only download sent.
struct ChangesReport
{
    // Tables sent in full because what the register holds was not known for
    // them (nothing known, part of the range unknown, other price decimals),
    // or because the register did not hold what was known.
    unsigned fullTables = 0;
    // The first record read back that was not as known ("PLU 57",
    // "department 3"); empty when the sample agreed or none was read.
    QString differingRecord;
    std::vector<int> sentPLUs;         // numbers of the changed PLUs sent
    int pluPackages = 0;
    std::vector<int> sentDepartments;  // numbers of the changed departments
    int departmentPackages = 0;
};

// Whether a changes-only download of these tables can rely on `known`, the
// contents the register was last seen with; the parameter set is always sent.
unsigned TablesWithoutKnownState(const TableSnapshot& known, const TransferRequest& request);

// "Nothing is known yet of the PLU table on the register at COM1: it is sent
// in full." for the tables without a known state; empty when there are none.
QString UnknownStateNotice(unsigned tables, const QString& port);
// What a changes-only download told the operator before it starts.
QString KeyboardChangesNotice();
// "The register at COM1 does not hold what was last seen there (PLU 57
// differs): the PLU table was sent in full." when the read-back found that;
// empty otherwise.
QString StaleStateNotice(const ChangesReport& report, const TransferRequest& request);
// The stale-state notice, if any, then "Download changes: 2 PLUs in 1
// package." for the tables sent as changes.
QString ChangesSummary(const ChangesReport& report, const TransferRequest& request);

// Download data, sending only what differs from `known`: the changed PLUs of
// the range, three entries to a package (each entry carries its own PLU
// index), and only the department packages holding a changed department. A
// table whose state is not known goes out in full.
//
// Before the first table is sent, a sample of the register is read back: up
// to eight PLU groups spread over the range (command 11) when the PLU state is
// known, and both department packages (command 10) when the department state
// is known. When any record read differs from `known` (another register on the
// port, a history restored from a backup), every chosen table is sent in full
// and report.differingRecord says which record differed. Failures and Cancel
// end as for DownloadTables.
TransferResult DownloadChanges(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                               const TransferTables& tables, const TableSnapshot& known, ChangesReport& report);
