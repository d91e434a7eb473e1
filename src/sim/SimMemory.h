#pragma once

#include <QtGlobal>

#include <array>

// The register's three memories as the memory read sees them: ROM (1024
// blocks), RAM (512) and FISCAL (2048) of 256 bytes each. Their content is
// generated, the same on every run: each block starts with a readable label
// ("RAM   0001") so a dump listing shows where it is, followed by a fixed
// pseudo-random pattern.
namespace SimMemory {

constexpr int kBlockBytes = 256;
using Block = std::array<quint8, kBlockBytes>;

// The area selector travels in data byte 2 as the area code times 16.
constexpr quint8 kRomSelector = 0x00;
constexpr quint8 kRamSelector = 0x10;
constexpr quint8 kFiscalSelector = 0x20;

// Number of blocks of the area behind a selector, 0 for an unknown one.
int BlockCount(quint8 selector);

// The block's content; all zero for an unknown area or a block beyond it.
Block ReadBlock(quint8 selector, quint16 block);

} // namespace SimMemory
