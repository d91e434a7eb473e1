#pragma once

#include <chrono>
#include <optional>

enum class TWaitResult
{
    Ready, // the descriptor is ready for the events asked for
    TimedOut,
    Stopped, // the stop descriptor became readable; it wins over readiness
    Gone,    // hang-up or error on the descriptor without the events asked for
    Failed   // the wait itself failed
};

// Waits until `fd` is ready for `events` (poll flags) or `stopFd` becomes
// readable, at most `timeout` (none: without limit).
TWaitResult WaitForFd(int fd, short events, int stopFd,
                      std::optional<std::chrono::nanoseconds> timeout = std::nullopt);
