#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <span>

// The hexadecimal listing a memory dump ends with. One line per 16 bytes:
// the address of the first byte as eight lowercase hexadecimal digits and two
// spaces, the 16 bytes as two digits and a space each, then the same bytes as
// characters (a byte below 32 as '.', every other byte as itself, so 0x7F and
// up stay their own single-byte character). 74 characters, then CR LF.
namespace MemoryListing {

constexpr int kBytesPerLine = 16;
constexpr int kLineLength = 74;
constexpr int kBlockBytes = 256;

// One line without its CR LF; bytes holds 16 bytes.
QByteArray Line(quint32 address, std::span<const quint8, kBytesPerLine> bytes);

// The 16 lines of block blockNumber (addresses 256 * blockNumber on), each
// ended by CR LF.
QByteArray Block(quint32 blockNumber, std::span<const quint8, kBlockBytes> block);

} // namespace MemoryListing
