#pragma once

#include "link/Frame.h"

// Finds frames in the received byte stream the way the PC's receiver does:
// a frame starts with 0x03, has bytes of at least 0x80 in between and 0x04 at
// offset 300; any other byte restarts the search, and a stray 0x03 starts a
// new frame at once. It also remembers whether every byte of the frame came
// at the line rate the register listens on: a frame sent at another rate is
// only line noise to the register.
class TSimFrameReceiver {
public:
    // Takes one byte; true when it completed a frame (see LastFrame()).
    bool Push(quint8 byte, bool atListeningRate);
    void Reset();

    const Frame::Bytes& LastFrame() const { return m_frame; }
    bool LastFrameAtListeningRate() const { return m_atListeningRate; }

private:
    Frame::Bytes m_frame{};
    std::size_t m_position = 0;
    bool m_atListeningRate = true;
};
