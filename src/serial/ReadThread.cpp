#include "serial/ReadThread.h"

#include "serial/FdWait.h"
#include "serial/PosixPort.h"
#include "serial/StopSignal.h"

#include <QByteArray>

#include <array>
#include <cerrno>
#include <chrono>
#include <poll.h>

using namespace std::chrono;

TReadThread::TReadThread(const TPosixPort& port, const TStopSignal& stop, const TReadRules& rules,
                         TCommNotifier notifier)
    : m_port(port), m_stop(stop), m_rules(rules), m_notifier(notifier), m_thread([this] { Run(); })
{
}

TReadThread::~TReadThread()
{
    m_thread.join();
}

void TReadThread::Run()
{
    std::array<char, kChunkSize> buffer;
    for (;;) {
        const TWaitResult first = WaitForFd(m_port.Fd(), POLLIN, m_stop.Fd());
        if (first == TWaitResult::Stopped)
            break;
        if (first != TWaitResult::Ready) {
            m_notifier.RequestHangup();
            break;
        }
        const TChunk chunk = Gather(buffer.data());
        Deliver(buffer.data(), chunk.size);
        if (chunk.end == TChunkEnd::Stopped)
            break;
        if (chunk.end == TChunkEnd::PortGone) {
            m_notifier.RequestHangup();
            break;
        }
    }
    m_port.FlushInput();
}

TReadThread::TChunk TReadThread::Gather(char* buffer) const
{
    const quint32 interval = m_rules.intervalMs;
    const milliseconds total(quint64{m_rules.totalMultiplierMs} * kChunkSize +
                             m_rules.totalConstantMs);
    const auto deadline = steady_clock::now() + total;

    std::size_t size = 0;
    while (size < kChunkSize) {
        const ssize_t got = m_port.Read(buffer + size, kChunkSize - size);
        if (got > 0) {
            size += static_cast<std::size_t>(got);
            continue;
        }
        if (got == 0) // the other end of the line has gone
            return {size, TChunkEnd::PortGone};
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return {size, TChunkEnd::PortGone};
        if (interval == 0)
            break;

        nanoseconds wait = milliseconds(interval);
        if (total.count() > 0) {
            const nanoseconds left = deadline - steady_clock::now();
            if (left <= nanoseconds::zero())
                break;
            wait = std::min(wait, left);
        }
        switch (WaitForFd(m_port.Fd(), POLLIN, m_stop.Fd(), wait)) {
        case TWaitResult::Ready:
            continue;
        case TWaitResult::TimedOut:
            return {size, TChunkEnd::Complete};
        case TWaitResult::Stopped:
            return {size, TChunkEnd::Stopped};
        case TWaitResult::Gone:
        case TWaitResult::Failed:
            return {size, TChunkEnd::PortGone};
        }
    }
    return {size, TChunkEnd::Complete};
}

void TReadThread::Deliver(const char* bytes, std::size_t size) const
{
    QByteArray chunk(bytes, static_cast<qsizetype>(size));
    if (m_rules.discardNul)
        chunk.removeIf([](char byte) { return byte == '\0'; });
    if (!chunk.isEmpty())
        m_notifier.DataReceived(std::move(chunk));
}
