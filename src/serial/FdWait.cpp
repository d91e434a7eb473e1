#include "serial/FdWait.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>

TWaitResult WaitForFd(int fd, short events, int stopFd,
                      std::optional<std::chrono::nanoseconds> timeout)
{
    pollfd fds[2] = {{stopFd, POLLIN, 0}, {fd, events, 0}};
    timespec limit{};
    if (timeout) {
        const auto ns = std::max(timeout->count(), std::chrono::nanoseconds::rep{0});
        limit.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        limit.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    }
    for (;;) {
        const int ready = ppoll(fds, 2, timeout ? &limit : nullptr, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return TWaitResult::Failed;
        }
        if (ready == 0)
            return TWaitResult::TimedOut;
        if (fds[0].revents != 0)
            return TWaitResult::Stopped;
        if (fds[1].revents & events)
            return TWaitResult::Ready;
        return TWaitResult::Gone;
    }
}
