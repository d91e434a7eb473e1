// Any bytes read as a .PLU or .DEP file must load without reading or writing
// out of bounds, and the table's saved form must read back into a table that
// saves to the same bytes.
#include "files/TableFiles.h"
#include "model/TextTable.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cstdint>

namespace {

// A table that lives across runs: building 3000 rows for every input would
// swamp the fuzzer with allocations. The rows a read could have filled go
// back to their defaults before the run ends, so that a run frees what it
// allocated: a run that keeps memory makes the fuzzer scan the heap for leaks.
class ReusedTable
{
public:
    explicit ReusedTable(TableKind kind) : m_table(kind) {}

    const TextTable& Read(QByteArray bytes, ReadNotes* notes = nullptr)
    {
        // A line ends at LF, or at CR in a file without LF.
        const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
        m_filledRows = int(std::min<qsizetype>(lines, m_table.RowCount() - 1));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        ReadTable(m_table, buffer, QStringLiteral("SHOP.PLU"), notes);
        return m_table;
    }

    void Reset()
    {
        m_table.ResetRows(1, m_filledRows);
        m_filledRows = 0;
    }

private:
    TextTable m_table;
    int m_filledRows = 0;
};

void Check(ReusedTable& table, ReusedTable& again, const QByteArray& input)
{
    {
        ReadNotes notes;
        const QByteArray saved = TableFileBytes(table.Read(input, &notes));
        if (TableFileBytes(again.Read(saved)) != saved)
            __builtin_trap();
    }
    table.Reset();
    again.Reset();
}

} // namespace

// The first byte chooses the table the rest is read as: each run reads one
// file, as the program does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    static ReusedTable plu(TableKind::PLU), pluAgain(TableKind::PLU);
    static ReusedTable dept(TableKind::Department), deptAgain(TableKind::Department);
    if (data[0] % 2 == 0)
        Check(plu, pluAgain, input);
    else
        Check(dept, deptAgain, input);
    return 0;
}
