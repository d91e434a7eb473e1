// Any bytes read as a .RCY file must load without reading or writing out of
// bounds, and the table's saved form must read back into the same table.
#include "FuzzScratchFile.h"
#include "files/TableFiles.h"
#include "model/RecyTable.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>

namespace {

const FuzzScratchFile scratch(QStringLiteral("fuzz_recy_%1.RCY"));

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!scratch.Write(data, size))
        return 0;
    const QString& input = scratch.Path();
    RecyTable table;
    ReadRecyFile(table, input);

    QByteArray saved = RecyFileBytes(table);
    QBuffer buffer(&saved);
    buffer.open(QIODevice::ReadOnly);
    RecyTable again;
    ReadRecy(again, buffer, input);
    if (!(again == table))
        __builtin_trap();
    return 0;
}
