#include "link/Frame.h"

namespace Frame {
namespace {

constexpr quint8 kTopBit = 0x80;
constexpr quint8 kLowSeven = 0x7F;

std::size_t DataByteOffset(std::size_t index)
{
    return 1 + 8 * (index / 7) + index % 7;
}

std::size_t TopBitsOffset(std::size_t index)
{
    return 8 + 8 * (index / 7);
}

} // namespace

quint16 Checksum(const Payload& payload)
{
    quint32 sum = 0;
    for (std::size_t i = 0; i < kPayloadBytes; ++i)
        sum += payload[i];
    return static_cast<quint16>(sum & 0xFFFF);
}

void SetChecksum(Payload& payload)
{
    const quint16 sum = Checksum(payload);
    payload[kChecksumLow] = static_cast<quint8>(sum & 0xFF);
    payload[kChecksumHigh] = static_cast<quint8>(sum >> 8);
}

Bytes EncodeFrame(const Payload& payload)
{
    Bytes frame{};
    frame[0] = kStartByte;
    frame[kEndOffset] = kEndByte;
    for (std::size_t i = 0; i < kPayloadBytes; ++i) {
        frame[DataByteOffset(i)] = payload[i] & kLowSeven;
        if (payload[i] & kTopBit)
            frame[TopBitsOffset(i)] |= static_cast<quint8>(1u << (i % 7));
    }
    frame[kChecksumByteLow] = payload[kChecksumLow];
    frame[kChecksumByteHigh] = payload[kChecksumHigh];
    if (payload[kChecksumLow] & kTopBit)
        frame[kChecksumTopBits] |= 0x01;
    if (payload[kChecksumHigh] & kTopBit)
        frame[kChecksumTopBits] |= 0x02;
    for (std::size_t i = 1; i < kEndOffset; ++i)
        frame[i] |= kTopBit;
    return frame;
}

Payload DecodeFrame(const Bytes& frame, bool& checksumError)
{
    Payload payload{};
    for (std::size_t i = 0; i < kPayloadBytes; ++i) {
        quint8 value = frame[DataByteOffset(i)] & kLowSeven;
        if (frame[TopBitsOffset(i)] & (1u << (i % 7)))
            value |= kTopBit;
        payload[i] = value;
    }
    payload[kChecksumLow] = static_cast<quint8>((frame[kChecksumByteLow] & kLowSeven)
                                                | ((frame[kChecksumTopBits] & 0x01) ? kTopBit : 0));
    payload[kChecksumHigh] = static_cast<quint8>((frame[kChecksumByteHigh] & kLowSeven)
                                                 | ((frame[kChecksumTopBits] & 0x02) ? kTopBit : 0));
    const quint16 sum = Checksum(payload);
    if ((sum & 0xFF) != payload[kChecksumLow] || (sum >> 8) != payload[kChecksumHigh])
        checksumError = true;
    return payload;
}

} // namespace Frame
