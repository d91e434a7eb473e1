#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The register's memories a dump can read, in the order of the memory range
// dialog's radio buttons.
enum class MemoryArea { Rom = 0, Ram = 1, Fiscal = 2 };

// The memory range dialog's result: a whole memory, or (no area chosen) a run
// of blockCount 256-byte blocks from baseBlock on.
struct MemoryRange
{
    std::optional<MemoryArea> area;
    int baseBlock = 0;
    int blockCount = 8;
};

// What a dump reads and where it keeps it.
struct DumpPlan
{
    quint8 areaCode = 0;   // 0 ROM, 1 RAM, 2 FISCAL, 255 a chosen run
    int firstBlock = 0;
    int blockCount = 0;
    QString fileName;      // in the program folder
};

namespace MemoryRanges {

constexpr int kBlockBytes = 256;
// Block numbers travel as 16-bit values.
constexpr int kLastBlock = 65535;
constexpr quint8 kChosenRunCode = 255;

// The dialog's texts: the base block in hexadecimal, the block count in
// decimal, and the selected radio button (0..2, anything else for none).
// Nothing when a text is not a number, or when a chosen run has fewer than
// one block or runs past block 65535; the caller then beeps and sends nothing.
std::optional<MemoryRange> Parse(int areaIndex, const QString& baseHex, const QString& countDecimal);

// True for a whole memory, and for a run of at least one block that ends at
// block 65535 or before.
bool IsValid(const MemoryRange& range);

// The blocks and the file of a valid range.
DumpPlan Plan(const MemoryRange& range);

} // namespace MemoryRanges
