// Arbitrary chunk sequences fed to the link's receiver in both modes. The
// receiver must never leave its 301-byte frame, must only ever complete with a
// well-formed acknowledgement or frame, and a completed frame that decodes
// without a checksum error must encode back to the bytes received.
//
// Input: byte 0 picks the mode, bytes 1..3 the expected header (top bit forced,
// as a request's frame carries it). Then chunks: a length byte and that many
// bytes; the length 0xFF instead starts a new wait in the other mode, and the
// length 0xFE sends a well-formed reply frame (split size, then up to 256 data
// bytes from the input) so that completions are reached as well.
#include "link/Frame.h"
#include "link/LinkReceiver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace {

void CheckFrame(const LinkReceiver& receiver, const LinkReceiver::Header& header)
{
    const Frame::Bytes& frame = receiver.FrameBytes();
    if (frame[0] != Frame::kStartByte || frame[Frame::kEndOffset] != Frame::kEndByte)
        __builtin_trap();
    for (std::size_t i = 1; i <= 3; ++i)
        if (frame[i] != header[i - 1])
            __builtin_trap();
    for (std::size_t i = 4; i < Frame::kEndOffset; ++i)
        if (frame[i] < 0x80)
            __builtin_trap();

    bool checksumError = false;
    const Frame::Payload payload = Frame::DecodeFrame(frame, checksumError);
    if (checksumError)
        return;
    const Frame::Bytes again = Frame::EncodeFrame(payload);
    for (std::size_t i = 0; i < Frame::kFrameBytes; ++i) {
        // Only bits 0, 1 and 7 of the checksum's top-bit byte carry anything.
        const quint8 mask = i == Frame::kChecksumTopBits ? 0x83 : 0xFF;
        if ((again[i] & mask) != (frame[i] & mask))
            __builtin_trap();
    }
}

void CheckCompleted(const LinkReceiver& receiver, const LinkReceiver::Header& header)
{
    if (receiver.GetMode() == LinkReceiver::Mode::Ack) {
        const std::span<const quint8> block = receiver.CompletedBlock();
        if (block.size() != 1 || (block[0] != Frame::kAccepted && block[0] != Frame::kRejected))
            __builtin_trap();
        return;
    }
    if (receiver.CompletedBlock().size() != Frame::kFrameBytes)
        __builtin_trap();
    CheckFrame(receiver, header);
}

// Feeds one chunk and checks what the receiver made of it.
void FeedChecked(LinkReceiver& receiver, const LinkReceiver::Header& header, std::span<const quint8> chunk)
{
    const bool wasComplete = receiver.IsComplete();
    const bool completed = receiver.Feed(chunk);
    if (receiver.Position() > Frame::kEndOffset)
        __builtin_trap();
    if (completed != (!wasComplete && receiver.IsComplete()))
        __builtin_trap();
    if (completed)
        CheckCompleted(receiver, header);
}

// A reply the register could send: the expected header, data from the input.
std::size_t FeedWellFormedFrame(LinkReceiver& receiver, const LinkReceiver::Header& header,
                                const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t split = data[0] == 0 ? Frame::kFrameBytes : data[0];
    const std::size_t take = std::min(size - 1, Frame::kDataBytes);
    Frame::Payload payload{};
    for (std::size_t i = 0; i < 3; ++i)
        payload[i] = header[i] & 0x7F;
    std::copy_n(data + 1, take, payload.begin() + Frame::kDataOffset);
    Frame::SetChecksum(payload);
    const Frame::Bytes frame = Frame::EncodeFrame(payload);
    // Whatever came before, a whole reply frame is always recognised: its
    // start byte restarts any collection in progress.
    const bool mustComplete = receiver.GetMode() == LinkReceiver::Mode::Frame && !receiver.IsComplete();
    for (std::size_t at = 0; at < frame.size(); at += split)
        FeedChecked(receiver, header,
                    std::span<const quint8>(frame.data() + at, std::min(split, frame.size() - at)));
    if (mustComplete && (!receiver.IsComplete() || receiver.FrameBytes() != frame))
        __builtin_trap();
    return 1 + take;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    LinkReceiver receiver;
    const LinkReceiver::Header header{static_cast<quint8>(data[1] | 0x80), static_cast<quint8>(data[2] | 0x80),
                                      static_cast<quint8>(data[3] | 0x80)};
    receiver.SetExpectedHeader(header);
    receiver.SetMode((data[0] & 1) ? LinkReceiver::Mode::Frame : LinkReceiver::Mode::Ack);
    receiver.Reset();

    std::size_t at = 4;
    while (at < size) {
        const std::size_t length = data[at++];
        if (length == 0xFF) {
            receiver.SetMode(receiver.GetMode() == LinkReceiver::Mode::Ack ? LinkReceiver::Mode::Frame
                                                                           : LinkReceiver::Mode::Ack);
            receiver.Reset();
            continue;
        }
        if (length == 0xFE) {
            at += FeedWellFormedFrame(receiver, header, data + at, size - at);
            continue;
        }
        const std::size_t take = length < size - at ? length : size - at;
        FeedChecked(receiver, header, std::span<const quint8>(data + at, take));
        at += take;
    }
    return 0;
}
