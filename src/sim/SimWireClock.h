#pragma once

#include <QtGlobal>

// Time on the wire, for pacing a pseudo-terminal like a real line: every byte
// takes 10 bit times (start bit, 8 data bits, stop bit), so a frame of 302
// bytes at 115200 bit/s takes about 26.2 ms. One clock per direction keeps
// consecutive transfers from overlapping. Times are microseconds on any
// steady clock; the clock itself never reads the time.
class TSimWireClock {
public:
    static qint64 WireMicros(qint64 bytes, int rate);

    // A transfer of bytes that may start at now; returns when its last byte
    // has crossed the line.
    qint64 Occupy(qint64 now, qint64 bytes, int rate);
    qint64 FreeAt() const { return m_freeAt; }

private:
    qint64 m_freeAt = 0;
};
