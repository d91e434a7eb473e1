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
    // them (nothing known, part of the range unknown, other price decimals).
    unsigned fullTables = 0;
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
// "Download changes: 2 PLUs in 1 package." for the tables sent as changes.
QString ChangesSummary(const ChangesReport& report, const TransferRequest& request);

// Download data, sending only what differs from `known`: the changed PLUs of
// the range, three entries to a package (each entry carries its own PLU
// index), and only the department packages holding a changed department. A
// table whose state is not known goes out in full. Failures and Cancel end as
// for DownloadTables.
TransferResult DownloadChanges(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                               const TransferTables& tables, const TableSnapshot& known, ChangesReport& report);

// The packages of a changes-only download on their own (command 13 with the
// given PLUs, command 12 with the packages holding the given departments).
bool DownloadPLUEntries(ITransferLink& link, IProgress& progress, const TableSnapshot& document,
                        const std::vector<int>& numbers, int& packages);
bool DownloadDepartmentPackages(ITransferLink& link, IProgress& progress, const TableSnapshot& document,
                                const std::vector<int>& numbers, int& packages);
