#pragma once

#include "serial/LineSettings.h"

#include <QByteArray>

#include <sys/types.h>
#include <termios.h>

// A serial port opened as a POSIX terminal device. Owns the descriptor; the
// reads and writes are non-blocking and may be called from worker threads
// while the owner keeps the port open.
//
// Line settings without a termios counterpart are not applied: DSR output
// flow control, DSR sensitivity, DTR handshake (DTR is simply raised),
// continue-transmit-on-XOFF, the XON/XOFF limits and the replacement
// character (a byte with a parity error is read as 0x00).
class TPosixPort
{
public:
    enum class TOpenResult
    {
        Opened,
        CannotOpen,
        NotATerminal
    };

    TPosixPort() = default;
    ~TPosixPort();
    TPosixPort(TPosixPort&& other) noexcept;
    TPosixPort& operator=(TPosixPort&& other) noexcept;
    TPosixPort(const TPosixPort&) = delete;
    TPosixPort& operator=(const TPosixPort&) = delete;

    // Opens read/write, non-blocking, without becoming the controlling
    // terminal, and exclusively: nobody else may open the device meanwhile.
    // `error`, when given, receives the errno of the failed step (0 on success).
    TOpenResult Open(const QByteArray& path, int* error = nullptr);
    // Discards what is still buffered either way and releases the device.
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

    // Raw mode plus the given settings; 0 or an errno value. EINVAL for a
    // baud rate the host does not offer.
    int ApplyLineSettings(const SerialLine::TLineSettings& settings) const;
    static bool IsBaudRateSupported(quint32 rate);
    // Rewrites `t` (as read from the device) into raw mode with the given
    // settings. False, leaving it untouched, for an unsupported baud rate.
    static bool FillTermios(const SerialLine::TLineSettings& settings, termios& t);

    void FlushInput() const;
    void FlushOutput() const;
    // Waits until the written bytes have left the driver. False on failure.
    bool Drain() const;

    ssize_t Read(char* buffer, size_t size) const;
    ssize_t Write(const char* data, size_t size) const;

private:
    int m_fd = -1;
};
