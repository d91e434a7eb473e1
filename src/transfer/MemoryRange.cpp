#include "transfer/MemoryRange.h"

#include <array>

namespace MemoryRanges {
namespace {

struct AreaEntry
{
    int blocks;
    const char* fileName;
};

// Every area starts at block 0.
constexpr std::array<AreaEntry, 3> kAreas{{
    {1024, "ROM_TEMP.BIN"},
    {512, "RAM_TEMP.BIN"},
    {2048, "FISCAL_TEMP.BIN"},
}};
constexpr const char* kChosenRunFile = "TEMP.BIN";

bool IsHexDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

std::optional<int> ParseHex(const QString& text)
{
    const QString digits = text.trimmed();
    if (!IsHexDigits(digits))
        return std::nullopt;
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> ParseDecimal(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<MemoryRange> Parse(int areaIndex, const QString& baseHex, const QString& countDecimal)
{
    const std::optional<int> base = ParseHex(baseHex);
    const std::optional<int> count = ParseDecimal(countDecimal);
    if (!base || !count)
        return std::nullopt;
    MemoryRange range;
    if (areaIndex >= 0 && std::size_t(areaIndex) < kAreas.size())
        range.area = static_cast<MemoryArea>(areaIndex);
    range.baseBlock = *base;
    range.blockCount = *count;
    if (!IsValid(range))
        return std::nullopt;
    return range;
}

bool IsValid(const MemoryRange& range)
{
    if (range.area)
        return true;
    return range.baseBlock >= 0 && range.baseBlock <= kLastBlock && range.blockCount >= 1
           && range.blockCount <= kLastBlock + 1 - range.baseBlock;
}

DumpPlan Plan(const MemoryRange& range)
{
    if (range.area) {
        const auto index = static_cast<std::size_t>(*range.area);
        return {static_cast<quint8>(index), 0, kAreas[index].blocks, QString::fromLatin1(kAreas[index].fileName)};
    }
    return {kChosenRunCode, range.baseBlock, range.blockCount, QString::fromLatin1(kChosenRunFile)};
}

} // namespace MemoryRanges
