#include "transfer/MemoryListing.h"

namespace MemoryListing {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr int kAddressDigits = 8;
constexpr quint8 kFirstShownByte = 32;

void AppendHex(QByteArray& out, quint32 value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out.append(kHexDigits[(value >> shift) & 0xF]);
}

} // namespace

QByteArray Line(quint32 address, std::span<const quint8, kBytesPerLine> bytes)
{
    QByteArray line;
    line.reserve(kLineLength);
    AppendHex(line, address, kAddressDigits);
    line.append("  ");
    for (const quint8 byte : bytes) {
        AppendHex(line, byte, 2);
        line.append(' ');
    }
    for (const quint8 byte : bytes)
        line.append(byte < kFirstShownByte ? '.' : static_cast<char>(byte));
    return line;
}

QByteArray Block(quint32 blockNumber, std::span<const quint8, kBlockBytes> block)
{
    QByteArray lines;
    lines.reserve((kLineLength + 2) * (kBlockBytes / kBytesPerLine));
    for (int offset = 0; offset < kBlockBytes; offset += kBytesPerLine) {
        const quint32 address = blockNumber * kBlockBytes + quint32(offset);
        lines.append(Line(address, block.subspan(std::size_t(offset)).first<kBytesPerLine>()));
        lines.append("\r\n");
    }
    return lines;
}

} // namespace MemoryListing
