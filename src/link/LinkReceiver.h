#pragma once

#include "link/Frame.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <span>

// Collects what the register sends back after a transmission: either a single
// acknowledgement byte (0x02 accepted, 0x55 rejected) or one reply frame whose
// bytes 1 to 3 repeat the request's. Chunks may split a frame anywhere, so the
// collection position survives between chunks until Reset().
//
// The position is always within 0..300 and every byte is stored inside the
// 301-byte frame buffer, whatever the line delivers.
class LinkReceiver
{
public:
    enum class Mode { Ack, Frame };
    enum class State { Idle = -1, Receiving = 0, Complete = 1 };
    using Header = std::array<quint8, 3>;

    // Back to Idle: no acknowledgement byte, collection from position 0.
    // Mode and expected header are kept.
    void Reset();

    void SetMode(Mode mode) { m_mode = mode; }
    Mode GetMode() const { return m_mode; }
    // The bytes a reply frame must carry at positions 1 to 3.
    void SetExpectedHeader(const Header& header) { m_header = header; }

    // Handles one received chunk. Returns true when this chunk completed an
    // acknowledgement or a frame; the rest of that chunk is dropped, and so
    // is every later chunk until Reset().
    bool Feed(std::span<const quint8> chunk);

    State GetState() const { return m_state; }
    bool IsComplete() const { return m_state == State::Complete; }
    // 0, or the 0x02 / 0x55 taken in Ack mode.
    quint8 AckByte() const { return m_ackByte; }
    // The collected frame; whole only once complete in Frame mode.
    const Frame::Bytes& FrameBytes() const { return m_frame; }
    // The completed block as it arrived: one byte in Ack mode, 301 in Frame
    // mode; empty while nothing is complete.
    std::span<const quint8> CompletedBlock() const;
    std::size_t Position() const { return m_position; }

private:
    bool FeedAck(std::span<const quint8> chunk);
    bool FeedFrame(std::span<const quint8> chunk);
    bool Accepts(std::size_t position, quint8 byte) const;

    Mode m_mode = Mode::Ack;
    State m_state = State::Idle;
    Header m_header{};
    quint8 m_ackByte = 0;
    std::size_t m_position = 0;
    Frame::Bytes m_frame{};
};
