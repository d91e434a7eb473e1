// Any bytes read as a .RCY file must load without reading or writing out of
// bounds, and the table's saved form must read back into the same table.
#include "files/TableFiles.h"
#include "model/RecyTable.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>

namespace {

RecyTable Read(QByteArray bytes, ReadNotes* notes = nullptr)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    RecyTable table;
    ReadRecy(table, buffer, QStringLiteral("SHOP.RCY"), notes);
    return table;
}

// The last record that is not blank; 0 when there is none.
int LastFilledRecord(const RecyTable& table)
{
    static const RecyTable blank;
    for (int record = RecyTable::RecordCount; record >= 1; --record) {
        for (int col = 0; col < RecyTable::FieldCount; ++col) {
            if (table.Cell(col, record) != blank.Cell(col, record))
                return record;
        }
    }
    return 0;
}

// The first count lines (ended by LF) of bytes.
QByteArray FirstLines(const QByteArray& bytes, int count)
{
    qsizetype end = 0;
    for (int line = 0; line < count; ++line) {
        const qsizetype next = bytes.indexOf('\n', end);
        if (next < 0)
            return bytes;
        end = next + 1;
    }
    return bytes.left(end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every record after the last filled one is blank and saves to the same
    // line for any input; reading the blank table's saved form back is
    // checked once, and each run reads back only the lines up to its last
    // filled record, which is most of the work otherwise.
    static const bool blankReadsBack = Read(RecyFileBytes(RecyTable())) == RecyTable();
    if (!blankReadsBack)
        __builtin_trap();

    ReadNotes notes;
    const RecyTable table =
        Read(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &notes);
    const QByteArray saved = RecyFileBytes(table);
    if (!(Read(FirstLines(saved, LastFilledRecord(table))) == table))
        __builtin_trap();
    return 0;
}
