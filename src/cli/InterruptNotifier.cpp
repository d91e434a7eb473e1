#include "cli/InterruptNotifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Ctrl+C, kill's default and a closed terminal all end a command the same way.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The self-pipe: the signal handler may only write a byte and set a flag.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnSignal(int)
{
    g_interrupted = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

InterruptNotifier::InterruptNotifier(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InterruptNotifier::Drain);
    for (const int signal : kSignals) {
        // A program started with a signal ignored (in the background, under
        // nohup) keeps ignoring it.
        struct sigaction current = {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        action.sa_flags = SA_RESETHAND;   // a second one ends the program
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
        handled_.push_back(signal);
    }
}

InterruptNotifier::~InterruptNotifier()
{
    if (!notifier_)
        return;
    for (const int signal : handled_)
        std::signal(signal, SIG_DFL);
    notifier_.reset();
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool InterruptNotifier::Interrupted()
{
    return g_interrupted != 0;
}

void InterruptNotifier::Drain()
{
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (onInterrupt_)
        onInterrupt_();
}
