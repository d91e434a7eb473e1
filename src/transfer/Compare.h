#pragma once

#include "transfer/TableSnapshot.h"
#include "transfer/TransferRequest.h"

#include <QString>

#include <vector>

class IProgress;
class ITransferLink;
class TextTable;

// One field that differs between the document (or an older state) and the
// register, with both values as the register would show them.
struct FieldDifference
{
    TransferTable table = TransferTable::PLU;
    int number = 0;        // PLU or department number
    QString field;         // the column title ("Unit price")
    QString documentValue;
    QString registerValue;
};
using Differences = std::vector<FieldDifference>;

// Field by field, for the fields a download sends (PLU: Barcode, Name, Unit
// price, Department, Stocks; department: Name, Tax, Unit price), over the PLUs
// and departments both sides hold. Prices are compared at each side's price
// decimals, so "1.5" and "1.50" are equal.
Differences CompareSnapshots(const TableSnapshot& document, const TableSnapshot& held);

// "PLU 12 Unit price: document 1.50, register 1.20" (or the given side names).
QString DifferenceLine(const FieldDifference& difference, const QString& leftName = QStringLiteral("document"),
                       const QString& rightName = QStringLiteral("register"));
// "PLU: 2 differences, department: 0 differences" for the tables compared.
QString DifferenceCounts(const Differences& differences, unsigned tables);

// The error of a verify that found differences.
QString VerifyFailureText(std::size_t differences);

struct CompareOutcome
{
    TransferResult result;
    TableSnapshot held;      // what the register holds (as far as it was read)
    Differences differences;

    bool Agrees() const { return result.Succeeded() && differences.empty(); }
    // The history's outcome word: "differs" after a compare that found
    // differences, else empty (the transfer's own outcome).
    QString HistoryOutcome() const
    {
        return result.Succeeded() && !differences.empty() ? QStringLiteral("differs") : QString();
    }
};

// Reads the PLU and department tables of the request (the parameter set is not
// compared) from the register with the upload procedures into scratch tables,
// and compares them with what a download of the document would send. A price
// the register's decimals cannot hold (1.19 where it keeps none) differs,
// with the document's own value. The document is not touched.
CompareOutcome CompareWithRegister(ITransferLink& link, IProgress& progress, TransferRequest request,
                                   const TextTable& plu, const TextTable& departments);
