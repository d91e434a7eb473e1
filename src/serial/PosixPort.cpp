#include "serial/PosixPort.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

using namespace SerialLine;

namespace {

// A terminal that is no serial line: the process's own terminal (/dev/tty),
// the system console and the virtual consoles. Setting a line speed there
// would only disturb the screen the operator is typing on.
bool IsConsole(int fd)
{
    constexpr unsigned kTtyMajor = 4;        // tty0..tty63 are virtual consoles
    constexpr unsigned kLastConsoleMinor = 63;
    constexpr unsigned kAuxTtyMajor = 5;     // /dev/tty, /dev/console, /dev/ptmx
    constexpr unsigned kLastAuxMinor = 2;
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned major = ::major(info.st_rdev);
    const unsigned minor = ::minor(info.st_rdev);
    return (major == kTtyMajor && minor <= kLastConsoleMinor) || (major == kAuxTtyMajor && minor <= kLastAuxMinor);
}

// USB-serial adapters hold received bytes back, by default for up to 16 ms,
// to fill their packets; every acknowledgement of a download would wait that
// long. Where the driver knows the request this shortens the wait to about a
// millisecond; other lines (plain UARTs, pseudo-terminals) are used as they
// are.
void RequestLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

struct TBaud
{
    quint32 rate;
    speed_t speed;
};

constexpr TBaud kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

std::optional<speed_t> SpeedFor(quint32 rate)
{
    for (const TBaud& baud : kBaudRates)
        if (baud.rate == rate)
            return baud.speed;
    return std::nullopt;
}

tcflag_t CharSizeFlag(TByteSize size)
{
    switch (size) {
    case TByteSize::_5:
        return CS5;
    case TByteSize::_6:
        return CS6;
    case TByteSize::_7:
        return CS7;
    case TByteSize::_8:
        break;
    }
    return CS8;
}

tcflag_t ParityFlags(TParity parity)
{
    switch (parity) {
    case TParity::None:
        break;
    case TParity::Odd:
        return PARENB | PARODD;
    case TParity::Even:
        return PARENB;
    case TParity::Mark:
        return PARENB | CMSPAR | PARODD;
    case TParity::Space:
        return PARENB | CMSPAR;
    }
    return 0;
}

// Pseudo-terminals and some adapters have no modem lines; that is no failure.
bool SetModemLine(int fd, int line, bool on)
{
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

} // namespace

TPosixPort::~TPosixPort()
{
    Close();
}

TPosixPort::TPosixPort(TPosixPort&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

TPosixPort& TPosixPort::operator=(TPosixPort&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

TPosixPort::TOpenResult TPosixPort::Open(const QByteArray& path, int* error)
{
    Close();
    const auto fail = [error](int code, TOpenResult result) {
        if (error != nullptr)
            *error = code;
        return result;
    };
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno, TOpenResult::CannotOpen);
    if (!isatty(fd) || IsConsole(fd)) {
        ::close(fd);
        return fail(ENOTTY, TOpenResult::NotATerminal);
    }
    // TIOCEXCL refuses further opens but lets privileged users through; the
    // lock also keeps those out among programs that take it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code, TOpenResult::CannotOpen);
    }
    RequestLowLatency(fd);
    m_fd = fd;
    return fail(0, TOpenResult::Opened);
}

void TPosixPort::Close()
{
    if (m_fd < 0)
        return;
    // Unsent bytes would make close() wait for the line; exclusivity must not
    // outlive us while another descriptor keeps the device open.
    tcflush(m_fd, TCIOFLUSH);
    ioctl(m_fd, TIOCNXCL);
    ::close(std::exchange(m_fd, -1));
}

int TPosixPort::ApplyLineSettings(const TLineSettings& settings) const
{
    termios t{};
    if (tcgetattr(m_fd, &t) != 0)
        return errno;
    if (!FillTermios(settings, t))
        return EINVAL;
    if (tcsetattr(m_fd, TCSANOW, &t) != 0)
        return errno;

    // tcsetattr succeeds when any part was taken: make sure the rate was.
    termios applied{};
    if (tcgetattr(m_fd, &applied) != 0)
        return errno;
    if (cfgetospeed(&applied) != cfgetospeed(&t))
        return EINVAL;

    if (!SetModemLine(m_fd, TIOCM_DTR, settings.dtrControl != TDtrControl::DtrDisable))
        return errno;
    if (!SetModemLine(m_fd, TIOCM_RTS, settings.rtsControl != TRtsControl::RtsDisable))
        return errno;
    return 0;
}

bool TPosixPort::FillTermios(const TLineSettings& settings, termios& t)
{
    const std::optional<speed_t> speed = SpeedFor(settings.baudRate);
    if (!speed)
        return false;

    cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    if (settings.parityCheck)
        t.c_iflag |= INPCK;
    if (settings.outxXonXoffFlow)
        t.c_iflag |= IXON;
    if (settings.inxXonXoffFlow)
        t.c_iflag |= IXOFF;

    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | CharSizeFlag(settings.byteSize) | ParityFlags(settings.parity);
    if (settings.stopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB; // with 5 data bits the UART sends 1.5
    if (settings.outxCtsFlow || settings.rtsControl == TRtsControl::RtsHandshake)
        t.c_cflag |= CRTSCTS;

    t.c_cc[VSTART] = static_cast<cc_t>(settings.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(settings.xoffChar);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    return true;
}

bool TPosixPort::IsBaudRateSupported(quint32 rate)
{
    return SpeedFor(rate).has_value();
}

void TPosixPort::FlushInput() const
{
    tcflush(m_fd, TCIFLUSH);
}

void TPosixPort::FlushOutput() const
{
    tcflush(m_fd, TCOFLUSH);
}

bool TPosixPort::Drain() const
{
    while (tcdrain(m_fd) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

ssize_t TPosixPort::Read(char* buffer, size_t size) const
{
    return ::read(m_fd, buffer, size);
}

ssize_t TPosixPort::Write(const char* data, size_t size) const
{
    return ::write(m_fd, data, size);
}
