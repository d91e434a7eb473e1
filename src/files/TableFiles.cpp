#include "files/TableFiles.h"

#include "files/FileIo.h"
#include "model/Defs.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QIODevice>

#include <vector>

namespace {

constexpr QChar kFieldSeparator = u'\t';
constexpr char kLineEnd[] = "\r\n";

using LineReader = std::function<void(const std::function<bool(const QByteArray&)>&)>;

// The fields fieldAt(0) .. fieldAt(count - 1) as one line, TAB between them,
// each text byte for byte (cells hold single-byte text). No list of the
// fields is built: a table file has thousands of them.
template <typename FieldAt>
void AppendLine(QByteArray& bytes, int count, const FieldAt& fieldAt)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            bytes += kFieldSeparator.toLatin1();
        bytes += fieldAt(i).toLatin1();
    }
    bytes += kLineEnd;
}

QStringList Fields(const QByteArray& line)
{
    QStringList fields;
    return SplitText(QString::fromLatin1(line), kFieldSeparator, fields);
}

void FillTable(TextTable& table, const QString& name, const LineReader& readLines, ReadNotes* notes)
{
    // Read everything first, so a read error leaves the table as it was.
    const int maxLines = table.RowCount() - 1;
    std::vector<QStringList> lines;
    bool more = false;
    readLines([&](const QByteArray& line) {
        if (static_cast<int>(lines.size()) == maxLines) {
            more = true;
            return false;
        }
        lines.push_back(Fields(line));
        return true;
    });
    if (more && notes != nullptr)
        *notes << QStringLiteral("%1: the lines after line %2 were ignored (the table has %2 rows)")
                      .arg(name)
                      .arg(maxLines);

    const TextTable::Batch batch(table);
    for (int row = 1; row <= static_cast<int>(lines.size()); ++row) {
        const QStringList& fields = lines[row - 1];
        for (int j = 0; j < fields.size() && j + 1 < table.ColCount(); ++j)
            table.SetCell(j + 1, row, fields[j]);
    }
}

void FillRecy(RecyTable& table, const LineReader& readLines)
{
    RecyTable read = table;
    int record = 0;
    readLines([&](const QByteArray& line) {
        const QStringList fields = Fields(line);
        if (fields.size() < RecyTable::FieldCount)
            return true;
        ++record;
        for (int col = 0; col < RecyTable::FieldCount; ++col)
            read.SetCell(col, record, fields[col]);
        return record < RecyTable::RecordCount;
    });
    table = read;
}

} // namespace

int LastSavedRow(const TextTable& table)
{
    return table.LastUsedRow();
}

QByteArray TableFileBytes(const TextTable& table)
{
    // Loading is positional: a row of defaults before the last used one is
    // written too, so every row comes back at its number.
    QByteArray bytes;
    const int lastRow = LastSavedRow(table);
    for (int row = 1; row <= lastRow; ++row)
        AppendLine(bytes, table.ColCount() - 1, [&](int field) { return table.Cell(field + 1, row); });
    return bytes;
}

QByteArray RecyFileBytes(const RecyTable& table)
{
    QByteArray bytes;
    for (int row = 1; row <= RecyTable::RecordCount; ++row)
        AppendLine(bytes, RecyTable::FieldCount, [&](int col) { return table.Cell(col, row); });
    return bytes;
}

void WriteTableFile(const TextTable& table, const FilePath& path)
{
    WriteFileAtomically(path, TableFileBytes(table));
}

void WriteRecyFile(const RecyTable& table, const FilePath& path)
{
    WriteFileAtomically(path, RecyFileBytes(table));
}

void ReadTable(TextTable& table, QIODevice& device, const QString& name, ReadNotes* notes)
{
    FillTable(table, name, [&](const auto& take) { ReadLines(device, name, take, notes); }, notes);
}

void ReadRecy(RecyTable& table, QIODevice& device, const QString& name, ReadNotes* notes)
{
    FillRecy(table, [&](const auto& take) { ReadLines(device, name, take, notes); });
}

void ReadTableFile(TextTable& table, const FilePath& path, ReadNotes* notes)
{
    FillTable(table, path.Shown(), [&](const auto& take) { ReadFileLines(path, take, notes); }, notes);
}

void ReadRecyFile(RecyTable& table, const FilePath& path, ReadNotes* notes)
{
    FillRecy(table, [&](const auto& take) { ReadFileLines(path, take, notes); });
}
