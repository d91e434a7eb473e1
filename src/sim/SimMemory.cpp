#include "sim/SimMemory.h"

#include <QByteArray>

#include <algorithm>

namespace SimMemory {
namespace {

struct AreaInfo {
    quint8 selector;
    int blocks;
    const char* label;
};

constexpr AreaInfo kAreas[] = {
    {kRomSelector, 1024, "ROM"},
    {kRamSelector, 512, "RAM"},
    {kFiscalSelector, 2048, "FISCAL"},
};

constexpr int kLabelBytes = 16;

const AreaInfo* FindArea(quint8 selector)
{
    for (const AreaInfo& area : kAreas) {
        if (area.selector == selector)
            return &area;
    }
    return nullptr;
}

// A small xorshift generator seeded by area and block, so every block has
// its own stable pattern.
quint32 NextPattern(quint32& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

} // namespace

int BlockCount(quint8 selector)
{
    const AreaInfo* area = FindArea(selector);
    return area ? area->blocks : 0;
}

Block ReadBlock(quint8 selector, quint16 block)
{
    Block bytes{};
    const AreaInfo* area = FindArea(selector);
    if (!area || block >= area->blocks)
        return bytes;

    const QByteArray label = QByteArray(area->label).leftJustified(6, ' ')
                             + QByteArray::number(block, 16).toUpper().rightJustified(4, '0');
    std::copy(label.cbegin(), label.cend(), bytes.begin());

    quint32 state = 0x9E3779B9u ^ (quint32(selector) << 24) ^ (quint32(block) * 2654435761u);
    if (state == 0)
        state = 1;
    for (int i = kLabelBytes; i < kBlockBytes; ++i)
        bytes[i] = static_cast<quint8>(NextPattern(state) >> 24);
    return bytes;
}

} // namespace SimMemory
