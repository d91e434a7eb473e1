#include "serial/WriteThread.h"

#include "serial/FdWait.h"
#include "serial/PosixPort.h"
#include "serial/StopSignal.h"

#include <cerrno>
#include <poll.h>

TWriteThread::TWriteThread(const TPosixPort& port, const TStopSignal& stop, TCommNotifier notifier)
    : m_port(port), m_stop(stop), m_notifier(notifier), m_thread([this] { Run(); })
{
}

TWriteThread::~TWriteThread()
{
    m_thread.join();
}

bool TWriteThread::Queue(QByteArray block)
{
    if (!m_stop.IsSet() && m_queue.ClaimIdleLine())
        block.remove(0, WriteWithoutWaiting(block));
    // Pushed even when empty: the thread drains the line and reports the
    // block sent, as for any other.
    return m_queue.Push(std::move(block));
}

qsizetype TWriteThread::WriteWithoutWaiting(const QByteArray& block) const
{
    qsizetype written = 0;
    while (written < block.size()) {
        const ssize_t put = m_port.Write(block.constData() + written, std::size_t(block.size() - written));
        if (put > 0)
            written += put;
        else if (put < 0 && errno == EINTR)
            continue;
        else
            break; // full, or failing: the thread waits for room or reports the loss
    }
    return written;
}

void TWriteThread::Run()
{
    bool notifyPending = true;
    for (;;) {
        const std::optional<QByteArray> block = m_queue.TryPop();
        if (!block) {
            if (notifyPending)
                m_notifier.SendDataEmpty();
            notifyPending = false;
            const TWaitResult woken = WaitForFd(m_queue.WakeFd(), POLLIN, m_stop.Fd());
            if (woken == TWaitResult::Stopped)
                break;
            if (woken != TWaitResult::Ready) {
                m_notifier.RequestHangup();
                break;
            }
            continue;
        }
        if (m_stop.IsSet() || !WriteBlock(*block))
            break;
        notifyPending = true;
    }
    m_queue.Close();
    m_port.FlushOutput();
}

bool TWriteThread::WriteBlock(const QByteArray& block)
{
    const char* next = block.constData();
    auto left = static_cast<std::size_t>(block.size());
    while (left > 0) {
        const ssize_t put = m_port.Write(next, left);
        if (put > 0) {
            next += put;
            left -= static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const TWaitResult room = WaitForFd(m_port.Fd(), POLLOUT, m_stop.Fd());
            if (room == TWaitResult::Ready)
                continue;
            if (room != TWaitResult::Stopped)
                m_notifier.RequestHangup();
            return false;
        }
        m_notifier.RequestHangup();
        return false;
    }
    // Closing signals the stop before it flushes the output, so once the stop
    // is seen clear here, the drain below cannot outlast that flush.
    if (m_stop.IsSet())
        return false;
    if (!m_port.Drain()) {
        m_notifier.RequestHangup();
        return false;
    }
    return true;
}
