#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// Turns the first Ctrl+C (SIGINT) into a call on the event loop, which the
// link's waits keep running; a second Ctrl+C ends the program the usual way.
class InterruptNotifier : public QObject
{
    Q_OBJECT

public:
    explicit InterruptNotifier(std::function<void()> onInterrupt, QObject* parent = nullptr);
    ~InterruptNotifier() override;

private:
    void Drain();

    std::function<void()> onInterrupt_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
