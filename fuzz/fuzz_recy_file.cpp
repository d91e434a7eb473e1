// Any bytes read as a .RCY file must load without reading or writing out of
// bounds, and the table's saved form must read back into the same table.
#include "files/TableFiles.h"
#include "model/RecyTable.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>

namespace {

QString InputPath()
{
    return QDir::temp().filePath(
        QStringLiteral("fuzz_recy_%1.RCY").arg(QCoreApplication::applicationPid()));
}

// Removes the scratch file when the fuzzer exits.
struct ScratchFile
{
    ~ScratchFile() { QFile::remove(InputPath()); }
} scratchFile;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = InputPath();
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
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
