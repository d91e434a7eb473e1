// Decoding any 301 bytes must never read or write out of bounds, and a frame
// that decodes without a checksum error must encode back to the same body bits.
#include "link/Frame.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Frame::Bytes frame{};
    std::memcpy(frame.data(), data, size < frame.size() ? size : frame.size());
    bool error = false;
    const Frame::Payload payload = Frame::DecodeFrame(frame, error);
    if (!error) {
        bool again = false;
        const Frame::Payload round = Frame::DecodeFrame(Frame::EncodeFrame(payload), again);
        if (again || round != payload)
            __builtin_trap();
    }
    return 0;
}
