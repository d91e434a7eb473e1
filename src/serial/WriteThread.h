#pragma once

#include "serial/CommEndpoint.h"
#include "serial/WriteQueue.h"

#include <QByteArray>

#include <thread>

class TPosixPort;
class TStopSignal;

// The transmit thread: writes queued blocks whole and in order (the start of
// a block for an idle line already written by the caller), waits until they
// have left the driver, and posts SendDataEmpty each time the queue runs
// dry after writing (and once when it starts). A failing port ends the thread
// with RequestHangup.
class TWriteThread
{
public:
    // Starts at once; throws std::system_error when the thread or its queue
    // cannot be created. The port and signal must outlive the object.
    TWriteThread(const TPosixPort& port, const TStopSignal& stop, TCommNotifier notifier);
    // Joins; the owner signals the stop first.
    ~TWriteThread();
    TWriteThread(const TWriteThread&) = delete;
    TWriteThread& operator=(const TWriteThread&) = delete;

    // Hands a block to the thread; false once the thread has ended. When the
    // line is idle the caller writes what the driver takes at once: waking
    // the thread first would delay the block by a scheduler round trip,
    // which on an idle machine costs more than the write itself. Blocks must
    // be queued from one thread.
    bool Queue(QByteArray block);

private:
    void Run();
    bool WriteBlock(const QByteArray& block);
    // Writes as much as the driver takes without waiting; the count written.
    qsizetype WriteWithoutWaiting(const QByteArray& block) const;

    const TPosixPort& m_port;
    const TStopSignal& m_stop;
    const TCommNotifier m_notifier;
    TWriteQueue m_queue;
    std::thread m_thread;
};
