#include "sim/SimWireClock.h"

#include <algorithm>

namespace {
constexpr qint64 kBitsPerByte = 10;
constexpr qint64 kMicrosPerSecond = 1000000;
} // namespace

qint64 TSimWireClock::WireMicros(qint64 bytes, int rate)
{
    if (rate <= 0 || bytes <= 0)
        return 0;
    const qint64 bits = bytes * kBitsPerByte;
    return (bits * kMicrosPerSecond + rate - 1) / rate;
}

qint64 TSimWireClock::Occupy(qint64 now, qint64 bytes, int rate)
{
    m_freeAt = std::max(now, m_freeAt) + WireMicros(bytes, rate);
    return m_freeAt;
}
