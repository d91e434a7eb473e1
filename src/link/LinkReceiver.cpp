#include "link/LinkReceiver.h"

namespace {

constexpr quint8 kBodyTopBit = 0x80;
constexpr std::size_t kFirstHeaderByte = 1;
constexpr std::size_t kLastHeaderByte = 3;

} // namespace

void LinkReceiver::Reset()
{
    m_ackByte = 0;
    m_state = State::Idle;
    m_position = 0;
}

bool LinkReceiver::Feed(std::span<const quint8> chunk)
{
    if (m_state == State::Complete)
        return false;
    m_state = State::Receiving;
    return m_mode == Mode::Ack ? FeedAck(chunk) : FeedFrame(chunk);
}

std::span<const quint8> LinkReceiver::CompletedBlock() const
{
    if (m_state != State::Complete)
        return {};
    if (m_mode == Mode::Ack)
        return {&m_ackByte, 1};
    return {m_frame.data(), m_frame.size()};
}

bool LinkReceiver::FeedAck(std::span<const quint8> chunk)
{
    for (const quint8 byte : chunk) {
        if (byte == Frame::kAccepted || byte == Frame::kRejected) {
            m_ackByte = byte;
            m_state = State::Complete;
            return true;
        }
    }
    return false;
}

bool LinkReceiver::FeedFrame(std::span<const quint8> chunk)
{
    for (const quint8 byte : chunk) {
        if (Accepts(m_position, byte)) {
            m_frame[m_position] = byte;
            if (m_position == Frame::kEndOffset) {
                m_state = State::Complete;
                m_position = 0;
                return true;
            }
            ++m_position;
        } else {
            // A start byte where it does not belong opens a new frame at once;
            // anything else sends the search back to the start byte.
            m_position = 0;
            if (byte == Frame::kStartByte) {
                m_frame[0] = byte;
                m_position = 1;
            }
        }
    }
    return false;
}

bool LinkReceiver::Accepts(std::size_t position, quint8 byte) const
{
    if (position == 0)
        return byte == Frame::kStartByte;
    if (position <= kLastHeaderByte)
        return byte == m_header[position - kFirstHeaderByte];
    if (position < Frame::kEndOffset)
        return byte >= kBodyTopBit;
    return byte == Frame::kEndByte;
}
