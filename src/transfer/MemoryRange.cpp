#include "transfer/MemoryRange.h"

#include <array>

namespace MemoryRanges {
namespace {

struct AreaEntry
{
    int blocks;
    const char* fileName;
};

// Indexed by MemoryRangeChoice::Area; every area starts at block 0.
constexpr std::array<AreaEntry, 3> kAreas{{
    {1024, "ROM_TEMP.BIN"},
    {512, "RAM_TEMP.BIN"},
    {2048, "FISCAL_TEMP.BIN"},
}};
constexpr const char* kChosenRunFile = "TEMP.BIN";

} // namespace

bool IsWholeMemory(const MemoryRangeChoice& choice)
{
    return choice.area >= 0 && std::size_t(choice.area) < kAreas.size();
}

bool IsValid(const MemoryRangeChoice& choice)
{
    if (IsWholeMemory(choice))
        return true;
    constexpr int kLastBlock = MemoryRangeInput::kLastBlock;
    return choice.baseBlock >= 0 && choice.baseBlock <= kLastBlock && choice.blockCount >= 1
           && choice.blockCount <= kLastBlock + 1 - choice.baseBlock;
}

DumpPlan Plan(const MemoryRangeChoice& choice)
{
    if (IsWholeMemory(choice)) {
        const auto index = std::size_t(choice.area);
        return {static_cast<quint8>(index), 0, kAreas[index].blocks, QString::fromLatin1(kAreas[index].fileName)};
    }
    return {kChosenRunCode, choice.baseBlock, choice.blockCount, QString::fromLatin1(kChosenRunFile)};
}

} // namespace MemoryRanges
