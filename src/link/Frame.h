#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>

// The register's frame: a 259-byte payload and its 16-bit checksum spread over
// 7-bit characters between a start byte 0x03 and an end byte 0x04. Every byte
// in between has its top bit set, so 0x02, 0x03, 0x04 and 0x55 never occur
// inside a frame body. On the wire a frame is followed by one byte 0xFF.
namespace Frame {

constexpr std::size_t kPayloadBytes = 259;    // P[0..258]
constexpr std::size_t kChecksumLow = 259;     // P[259]
constexpr std::size_t kChecksumHigh = 260;    // P[260]
constexpr std::size_t kPayloadBlock = 261;    // payload and checksum
constexpr std::size_t kFrameBytes = 301;      // F[0..300]
constexpr std::size_t kWireBytes = 302;       // frame and the trailing 0xFF
constexpr std::size_t kGroups = 37;           // 37 groups of 7 payload bytes
constexpr std::size_t kDataOffset = 3;        // P[3..258]: the 256 data bytes
constexpr std::size_t kDataBytes = 256;

constexpr quint8 kStartByte = 0x03;
constexpr quint8 kEndByte = 0x04;
constexpr quint8 kTrailerByte = 0xFF;
constexpr quint8 kAccepted = 0x02;
constexpr quint8 kRejected = 0x55;

constexpr std::size_t kChecksumByteLow = 297;   // F[297]
constexpr std::size_t kChecksumByteHigh = 298;  // F[298]
constexpr std::size_t kChecksumTopBits = 299;   // F[299]
constexpr std::size_t kEndOffset = 300;         // F[300]

using Payload = std::array<quint8, kPayloadBlock>;
using Bytes = std::array<quint8, kFrameBytes>;

// Sum of P[0..258] modulo 65536.
quint16 Checksum(const Payload& payload);

// Fills P[259] and P[260] from the payload bytes.
void SetChecksum(Payload& payload);

// Packs the payload block (checksum already in place) into a frame.
Bytes EncodeFrame(const Payload& payload);

// Unpacks a received frame. Returns the payload block; checksumError is set
// when the recomputed checksum differs from the one carried. F[0], F[300] and
// the top bits of the body are not looked at: the receiver checked them.
Payload DecodeFrame(const Bytes& frame, bool& checksumError);

} // namespace Frame
