#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

// Turns the first Ctrl+C (SIGINT), SIGTERM or SIGHUP into a call on the event
// loop, which the link's waits keep running, and notes it for commands that
// run without one (Interrupted()); a second signal ends the program the usual
// way. One at a time: a second notifier while one lives does nothing.
class InterruptNotifier : public QObject
{
    Q_OBJECT

public:
    explicit InterruptNotifier(std::function<void()> onInterrupt, QObject* parent = nullptr);
    ~InterruptNotifier() override;

    // A signal came since the program started.
    static bool Interrupted();

private:
    void Drain();

    std::function<void()> onInterrupt_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<int> handled_;
};
