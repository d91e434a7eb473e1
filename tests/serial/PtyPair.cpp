#include "PtyPair.h"

#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // Raw before anyone opens the path, or the line discipline echoes.
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    m_slavePath = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    CloseMaster();
    ::close(m_slave);
}

termios PtyPair::SlaveSettings() const
{
    termios t{};
    tcgetattr(m_slave, &t);
    return t;
}

void PtyPair::SetSlaveSettings(const termios& settings) const
{
    tcsetattr(m_slave, TCSANOW, &settings);
}

void PtyPair::WriteMaster(const QByteArray& bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw std::runtime_error("write to the pseudo-terminal failed");
        done += put;
    }
}

QByteArray PtyPair::ReadMaster(int count, std::chrono::milliseconds limit) const
{
    QByteArray got;
    char buffer[4096];
    while (got.size() < count) {
        pollfd fd{m_master, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(limit.count())) <= 0)
            break;
        const ssize_t n =
            ::read(m_master, buffer,
                   std::min<size_t>(sizeof buffer, static_cast<size_t>(count - got.size())));
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

QByteArray PtyPair::ReadMasterAvailable() const
{
    QByteArray got;
    char buffer[4096];
    for (;;) {
        pollfd fd{m_master, POLLIN, 0};
        if (poll(&fd, 1, 0) <= 0)
            return got;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return got;
        got.append(buffer, n);
    }
}

void PtyPair::CloseMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
