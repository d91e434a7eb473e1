#include "cli/InterruptNotifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The self-pipe: the signal handler may only write a byte.
int g_pipe[2] = {-1, -1};

extern "C" void OnSigint(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

InterruptNotifier::InterruptNotifier(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
    // A program started in the background with Ctrl+C ignored keeps ignoring it.
    struct sigaction current = {};
    if (::sigaction(SIGINT, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
        return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InterruptNotifier::Drain);
    struct sigaction action = {};
    action.sa_handler = OnSigint;
    action.sa_flags = SA_RESETHAND;   // the second Ctrl+C ends the program
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

InterruptNotifier::~InterruptNotifier()
{
    if (!notifier_)
        return;
    std::signal(SIGINT, SIG_DFL);
    notifier_.reset();
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void InterruptNotifier::Drain()
{
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (onInterrupt_)
        onInterrupt_();
}
