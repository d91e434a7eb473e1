#pragma once

#include "transfer/DialogInput.h"

#include <QString>
#include <QtGlobal>

// What a dump reads and where it keeps it.
struct DumpPlan
{
    quint8 areaCode = 0;   // 0 ROM, 1 RAM, 2 FISCAL, 255 a chosen run
    int firstBlock = 0;
    int blockCount = 0;
    QString fileName;      // in the program folder
};

// The memory range dialog's choice (MemoryRangeInput::Parse reads its texts)
// turned into the blocks a dump reads. An area 0..2 is a whole memory; any
// other area index stands for the run of blockCount blocks from baseBlock on.
namespace MemoryRanges {

constexpr int kBlockBytes = 256;
constexpr quint8 kChosenRunCode = 255;

bool IsWholeMemory(const MemoryRangeChoice& choice);

// True for a whole memory, and for a run of at least one block that ends at
// block 65535 or before.
bool IsValid(const MemoryRangeChoice& choice);

// The blocks and the file of a valid choice.
DumpPlan Plan(const MemoryRangeChoice& choice);

} // namespace MemoryRanges
