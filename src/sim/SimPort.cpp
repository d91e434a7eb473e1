#include "sim/SimPort.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

TSimFd::~TSimFd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

TSimFd& TSimFd::operator=(TSimFd&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.Release();
    }
    return *this;
}

int TSimFd::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

namespace {

struct RateSpeed {
    int rate;
    speed_t speed;
};

constexpr RateSpeed kRateSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

QString SystemError(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

bool SetNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool MakeRaw(int fd, int rate, QString* error)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        *error = SystemError(QStringLiteral("reading the line settings"));
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    unsigned speed = 0;
    if (rate > 0 && TSimPort::RateToSpeed(rate, &speed)) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        *error = SystemError(QStringLiteral("setting the line raw"));
        return false;
    }
    return true;
}

// Points linkPath at target through a temporary link renamed over it, so the
// path never disappears while being replaced.
bool PlaceLink(const QString& linkPath, const QString& target, QString* error)
{
    const QFileInfo existing(linkPath);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(linkPath);
            return false;
        }
    }
    const QByteArray link = QFile::encodeName(linkPath);
    const QByteArray temporary = link + ".tmp" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0) {
        *error = SystemError(QStringLiteral("creating the link %1").arg(linkPath));
        return false;
    }
    if (::rename(temporary.constData(), link.constData()) != 0) {
        *error = SystemError(QStringLiteral("placing the link %1").arg(linkPath));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

} // namespace

int TSimPort::SpeedToRate(unsigned speed)
{
    for (const RateSpeed& rs : kRateSpeeds) {
        if (rs.speed == speed)
            return rs.rate;
    }
    return 0;
}

bool TSimPort::RateToSpeed(int rate, unsigned* speed)
{
    for (const RateSpeed& rs : kRateSpeeds) {
        if (rs.rate == rate) {
            *speed = rs.speed;
            return true;
        }
    }
    return false;
}

std::unique_ptr<TSimPort> TSimPort::CreatePty(const QString& linkPath, QString* error)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = SystemError(QStringLiteral("creating a pseudo-terminal"));
        return nullptr;
    }
    std::unique_ptr<TSimPort> port(new TSimPort);
    port->m_io = TSimFd(master);
    port->m_slave = TSimFd(slave);
    port->m_path = QString::fromLocal8Bit(name);
    // Raw before anyone opens it: otherwise the line discipline echoes.
    if (!MakeRaw(slave, 9600, error))
        return nullptr;
    if (!SetNonBlocking(master) || ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0
        || ::fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
        *error = SystemError(QStringLiteral("preparing the pseudo-terminal"));
        return nullptr;
    }
    if (!PlaceLink(linkPath, port->m_path, error))
        return nullptr;
    port->m_linkPath = linkPath;
    return port;
}

std::unique_ptr<TSimPort> TSimPort::OpenDevice(const QString& path, int rate, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = SystemError(QStringLiteral("opening %1").arg(path));
        return nullptr;
    }
    std::unique_ptr<TSimPort> port(new TSimPort);
    port->m_io = TSimFd(fd);
    port->m_path = path;
    if (!MakeRaw(fd, rate, error))
        return nullptr;
    port->m_deviceRate = rate;
    return port;
}

TSimPort::~TSimPort()
{
    if (m_linkPath.isEmpty())
        return;
    const QByteArray link = QFile::encodeName(m_linkPath);
    char target[4096] = {};
    const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
    if (length > 0 && QString::fromLocal8Bit(target, length) == m_path)
        ::unlink(link.constData());
}

int TSimPort::LineRate() const
{
    if (!IsPty())
        return m_deviceRate;
    termios tio{};
    if (::tcgetattr(m_slave.Get(), &tio) != 0)
        return 0;
    return SpeedToRate(::cfgetospeed(&tio));
}

bool TSimPort::SetRate(int rate, QString* error)
{
    if (IsPty() || rate == m_deviceRate)
        return true;
    ::tcdrain(m_io.Get());
    if (!MakeRaw(m_io.Get(), rate, error))
        return false;
    m_deviceRate = rate;
    return true;
}
