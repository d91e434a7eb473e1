// Any bytes read as a .PLU or .DEP file must load without reading or writing
// out of bounds, and the table's saved form must read back into a table that
// saves to the same bytes.
#include "FuzzScratchFile.h"
#include "files/TableFiles.h"
#include "model/TextTable.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>

namespace {

const FuzzScratchFile scratch(QStringLiteral("fuzz_table_%1.PLU"));

// Tables live across runs: building 3000 rows for every input would swamp
// the fuzzer with allocations.
void Check(TextTable& table, TextTable& again, const QString& input)
{
    table.ResetGrid();
    ReadTableFile(table, input);
    QByteArray saved = TableFileBytes(table);
    QBuffer buffer(&saved);
    buffer.open(QIODevice::ReadOnly);
    again.ResetGrid();
    ReadTable(again, buffer, input);
    if (TableFileBytes(again) != saved)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!scratch.Write(data, size))
        return 0;
    const QString& input = scratch.Path();
    static TextTable plu(TableKind::PLU), pluAgain(TableKind::PLU);
    static TextTable dept(TableKind::Department), deptAgain(TableKind::Department);
    Check(plu, pluAgain, input);
    Check(dept, deptAgain, input);
    return 0;
}
