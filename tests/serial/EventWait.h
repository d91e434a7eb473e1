#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>

// Processes events until `done` holds or `limit` passes; sleeps in the event
// loop, woken by posted events or by a timer at the deadline.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const QDeadlineTimer deadline(limit);
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    // A timer may fire a little early: rearm it for what is left.
    QObject::connect(&wake, &QTimer::timeout, [&] {
        if (!deadline.hasExpired())
            wake.start(std::max<qint64>(1, deadline.remainingTime()));
    });
    wake.start(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Dispatches whatever is already posted.
inline void ProcessPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
