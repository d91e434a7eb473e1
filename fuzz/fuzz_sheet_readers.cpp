// Any bytes read as a CSV sheet, an XLSX workbook or a workbook's XML parts must be read or refused without
// reading or writing out of bounds, and whatever is read must be judged cell
// by cell without harm; an accepted plan changes only data cells.
#include "exchange/CsvSheet.h"
#include "exchange/TableImport.h"
#include "exchange/XlsxReader.h"
#include "model/TextTable.h"

#include <QByteArray>

#include <cstdint>

namespace {

void Judge(const SheetRead& read, const TextTable& table)
{
    if (!read.Ok())
        return;
    const ImportPlan plan = PlanImport(table, read.sheet);
    for (const CellChange& change : plan.changes) {
        if (change.column < 1 || change.column >= table.ColCount() || change.row < 1 || change.row >= table.RowCount())
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Tables live across runs: building 3000 rows for every input would swamp
    // the fuzzer with allocations.
    static const TextTable plu(TableKind::PLU);
    static const TextTable dept(TableKind::Department);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SheetRead csv = ReadCsvSheet(bytes);
    Judge(csv, plu);
    Judge(csv, dept);
    Judge(ReadXlsxSheet(bytes), plu);
    // The workbook's XML without a zip around it, which random bytes rarely
    // make: shared strings before the first zero byte, the worksheet after it.
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        Judge(ReadXlsxParts(bytes.left(zero), bytes.mid(zero + 1)), plu);
    else
        Judge(ReadXlsxParts(QByteArray(), bytes), plu);
    return 0;
}
