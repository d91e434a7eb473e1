#pragma once

#include <QByteArray>

#include <deque>
#include <mutex>
#include <optional>

// The transmit thread's queue of blocks. Its wake descriptor is readable
// while blocks are waiting, so the thread can wait for it beside the stop
// signal.
class TWriteQueue
{
public:
    // Throws std::system_error when the wake descriptor cannot be created.
    TWriteQueue();
    ~TWriteQueue();
    TWriteQueue(const TWriteQueue&) = delete;
    TWriteQueue& operator=(const TWriteQueue&) = delete;

    // False once the queue is closed.
    bool Push(QByteArray block);
    // The oldest block; when there is none the wake descriptor is reset.
    std::optional<QByteArray> TryPop();
    // Refuses further blocks and drops the waiting ones.
    void Close();
    int WakeFd() const { return m_wakeFd; }

private:
    std::mutex m_mutex;
    std::deque<QByteArray> m_blocks;
    bool m_closed = false;
    int m_wakeFd;
};
