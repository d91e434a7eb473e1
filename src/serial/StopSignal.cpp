#include "serial/StopSignal.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

TStopSignal::TStopSignal() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_fd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TStopSignal::~TStopSignal()
{
    ::close(m_fd);
}

void TStopSignal::Signal() const
{
    // Never read back, so the counter stays non-zero: a manual-reset signal.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

bool TStopSignal::IsSet() const
{
    pollfd fd{m_fd, POLLIN, 0};
    return poll(&fd, 1, 0) > 0;
}
