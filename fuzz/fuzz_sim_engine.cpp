// The simulator's engine must take any byte stream, and any well-formed frame
// with any content, without crashing and with answers bounded by what came in.
#include "link/Frame.h"
#include "sim/SimContents.h"
#include "sim/SimEngine.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kMaxAnswerBytes = 4 + Frame::kWireBytes;  // noise and one reply

QByteArray WireOf(const uint8_t* bytes, std::size_t size)
{
    Frame::Payload payload{};
    std::memcpy(payload.data(), bytes, std::min(size, Frame::kPayloadBytes));
    Frame::SetChecksum(payload);
    const Frame::Bytes frame = Frame::EncodeFrame(payload);
    QByteArray wire(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
    wire.append(char(Frame::kTrailerByte));
    return wire;
}

void Check(const std::vector<TSimAction>& actions, std::size_t inputBytes)
{
    std::size_t written = 0;
    for (const TSimAction& a : actions) {
        if (a.kind == TSimAction::Kind::Write)
            written += std::size_t(a.bytes.size());
    }
    if (written > (inputBytes / Frame::kFrameBytes + 1) * kMaxAnswerBytes)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    TSimEngine::Options options;
    options.noise = flags & 0x01;
    options.split = flags & 0x02;
    options.rejectProgram = flags & 0x04;
    options.corruptReplies = (flags >> 3) & 1;
    options.nakFrames = (flags >> 4) & 1;
    options.dropFrames = (flags >> 5) & 1;
    TSimContents contents;
    TSimEngine engine(contents, options);

    // Most interesting commands need a session: open one, normal or for a
    // program load.
    uint8_t logIn[15] = {14, 1, 0, 0x50, 0x73, 0, 0, 0x26, 0x01, 0x01, 0, 0, 0, 4, uint8_t((flags >> 6) & 1)};
    engine.Feed(WireOf(logIn, sizeof logIn), engine.ListeningRate());

    std::size_t at = 1;
    while (at < size) {
        const uint8_t op = data[at++];
        const std::size_t length = std::min<std::size_t>(size - at, (op & 0x3F) * 8 + 1);
        const int rate = (op & 0x40) ? 4800 : engine.ListeningRate();
        // op bit 7: a well-formed frame whose payload comes from the input;
        // otherwise the raw bytes.
        const QByteArray bytes = (op & 0x80) ? WireOf(data + at, length)
                                             : QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(length));
        Check(engine.Feed(bytes, rate), std::size_t(bytes.size()));
        at += length;
    }
    if (contents.FontPackages().size() > std::size_t(TSimContents::kMaxFontPackages)
        || contents.Program().blocks.size() > std::size_t(TSimContents::kProgramBlocks))
        __builtin_trap();
    return 0;
}
