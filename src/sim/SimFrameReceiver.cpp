#include "sim/SimFrameReceiver.h"

bool TSimFrameReceiver::Push(quint8 byte, bool atListeningRate)
{
    const std::size_t p = m_position;
    const bool accepted = (p == 0 && byte == Frame::kStartByte)
                          || (p >= 1 && p < Frame::kEndOffset && byte >= 0x80)
                          || (p == Frame::kEndOffset && byte == Frame::kEndByte);
    if (!accepted) {
        m_position = 0;
        if (byte != Frame::kStartByte)
            return false;
    }
    if (m_position == 0)
        m_atListeningRate = true;
    m_atListeningRate = m_atListeningRate && atListeningRate;
    m_frame[m_position] = byte;
    if (m_position == Frame::kEndOffset) {
        m_position = 0;
        return true;
    }
    ++m_position;
    return false;
}

void TSimFrameReceiver::Reset()
{
    m_position = 0;
    m_atListeningRate = true;
}
