#pragma once

// Building requests and reading the simulator's answers in tests.
#include "link/Frame.h"
#include "sim/SimBytes.h"
#include "sim/SimEngine.h"

#include <QByteArray>

#include <algorithm>
#include <optional>
#include <vector>

namespace SimTest {

inline Frame::Payload Request(quint8 command, quint16 parameter, const QByteArray& data = {})
{
    Frame::Payload p{};
    p[0] = command;
    SimBytes::WriteLe16(p.data() + 1, parameter);
    std::copy(data.cbegin(), data.cbegin() + std::min<qsizetype>(data.size(), Frame::kDataBytes),
              p.begin() + Frame::kDataOffset);
    Frame::SetChecksum(p);
    return p;
}

// The frame as the PC sends it: 301 bytes and the trailing 0xFF.
inline QByteArray Wire(const Frame::Payload& payload)
{
    const Frame::Bytes frame = Frame::EncodeFrame(payload);
    QByteArray wire(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
    wire.append(char(Frame::kTrailerByte));
    return wire;
}

// A log-in with access code 7350, a date and time, the rate index for the
// session and the mode byte (1 normal, 0 program load).
inline Frame::Payload LogIn(quint8 rateIndex, quint8 mode = 1)
{
    QByteArray data(256, '\0');
    const char fields[] = {0x50, 0x73, 0x00, 0x00, 0x26, 0x12, 0x31, 0x23, 0x59, 0x58};
    std::copy(std::begin(fields), std::end(fields), data.begin());
    data[10] = char(rateIndex);
    data[11] = char(mode);
    return Request(14, 1, data);
}

inline Frame::Payload LogOut()
{
    QByteArray data(256, '\0');
    data[0] = 0x50;
    data[1] = 0x73;
    return Request(14, 2, data);
}

inline QByteArray Written(const std::vector<TSimAction>& actions)
{
    QByteArray bytes;
    for (const TSimAction& a : actions) {
        if (a.kind == TSimAction::Kind::Write)
            bytes += a.bytes;
    }
    return bytes;
}

// The first complete frame in bytes, decoded; empty when there is none or
// its checksum is wrong.
inline std::optional<Frame::Payload> ReplyIn(const QByteArray& bytes, bool* checksumError = nullptr)
{
    const qsizetype start = bytes.indexOf(char(Frame::kStartByte));
    if (start < 0 || bytes.size() - start < qsizetype(Frame::kFrameBytes))
        return std::nullopt;
    Frame::Bytes frame;
    std::copy(bytes.cbegin() + start, bytes.cbegin() + start + qsizetype(Frame::kFrameBytes), frame.begin());
    if (frame[Frame::kEndOffset] != Frame::kEndByte)
        return std::nullopt;
    bool error = false;
    const Frame::Payload payload = Frame::DecodeFrame(frame, error);
    if (checksumError)
        *checksumError = error;
    if (error)
        return std::nullopt;
    return payload;
}

inline QByteArray DataOf(const Frame::Payload& payload)
{
    return QByteArray(reinterpret_cast<const char*>(payload.data() + Frame::kDataOffset), Frame::kDataBytes);
}

} // namespace SimTest
