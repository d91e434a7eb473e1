#pragma once

#include <QByteArray>

#include <deque>
#include <mutex>
#include <optional>

// The transmit thread's queue of blocks. Its wake descriptor is readable
// while blocks are waiting, so the thread can wait for it beside the stop
// signal. The line counts as busy from the moment the thread takes a block
// until it finds the queue empty again, i.e. while a block is being written
// and drained.
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
    // The oldest block; when there is none the wake descriptor is reset and
    // the line is idle again.
    std::optional<QByteArray> TryPop();
    // Marks the line busy when nothing is waiting or being written, so the
    // caller may write to it at once; it must then Push what is left (maybe
    // nothing), and the thread finishes that block as usual.
    bool ClaimIdleLine();
    // Refuses further blocks and drops the waiting ones.
    void Close();
    int WakeFd() const { return m_wakeFd; }

private:
    std::mutex m_mutex;
    std::deque<QByteArray> m_blocks;
    bool m_closed = false;
    bool m_lineBusy = false;
    int m_wakeFd;
};
