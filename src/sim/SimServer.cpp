#include "sim/SimServer.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
constexpr std::size_t kReadChunk = 4096;
constexpr qint64 kNoDeadline = -1;
// A long sleep on an idle machine ends late by the time the processor takes
// to wake up (on a virtual machine often a few hundred microseconds), a
// short one just after activity far less. Long waits for the line therefore
// end this much early and sleep the rest; nothing is done before it is due.
constexpr qint64 kWakeLeadMicros = 500;
} // namespace

TSimServer::TSimServer(TSimPort& port, TSimEngine& engine, Options options, LogSink log)
    : m_port(port), m_engine(engine), m_options(options), m_log(std::move(log))
{
}

qint64 TSimServer::NowMicros()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int TSimServer::CurrentRate() const
{
    // A real device runs at the rate the register chose; on a pseudo-terminal
    // the bytes carry the rate the PC side set.
    return m_port.IsPty() ? m_port.LineRate() : m_engine.ListeningRate();
}

bool TSimServer::Run(int stopFd, QString* error)
{
    // The kernel may let a timed wait run up to 50 us late by default; a line
    // paced to the microsecond needs the wake-ups on time.
    if (m_options.wireTime)
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        const qint64 now = NowMicros();
        DeliverDue(now);
        const Progress progress = RunActions(now, error);
        if (progress == Progress::Failed)
            return false;

        const qint64 deadline = NextDeadline(progress);
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        if (deadline != kNoDeadline) {
            qint64 wait = std::max<qint64>(0, deadline - NowMicros());
            if (m_options.wireTime && wait > 2 * kWakeLeadMicros)
                wait -= kWakeLeadMicros;
            timeout.tv_sec = wait / 1000000;
            timeout.tv_nsec = (wait % 1000000) * 1000;
            timeoutPtr = &timeout;
        }
        pollfd fds[2] = {
            {m_port.Fd(), short(POLLIN | (progress == Progress::Blocked ? POLLOUT : 0)), 0},
            {stopFd, POLLIN, 0},
        };
        if (::ppoll(fds, 2, timeoutPtr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            *error = QStringLiteral("waiting for the line: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (fds[1].revents & POLLIN) {
            LogPendingFrames();
            return true;
        }
        if (fds[0].revents & POLLIN) {
            if (!ReadAvailable(NowMicros(), error))
                return false;
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            *error = QStringLiteral("the line %1 hung up").arg(m_port.Path());
            return false;
        }
    }
}

bool TSimServer::ReadAvailable(qint64 now, QString* error)
{
    char buffer[kReadChunk];
    const ssize_t n = ::read(m_port.Fd(), buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    if (n <= 0) {
        *error = QStringLiteral("reading %1: %2")
                     .arg(m_port.Path(), n == 0 ? QStringLiteral("end of input")
                                                : QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    Incoming in;
    in.bytes = QByteArray(buffer, n);
    in.rate = CurrentRate();
    in.releaseAt = m_options.wireTime ? m_receiveClock.Occupy(now, n, in.rate) : now;
    m_incoming.push_back(std::move(in));
    return true;
}

// Frames the program sent before the stop reach the log even when the
// simulator fell behind on a busy machine, so the log is complete once the
// simulator has ended. They are not answered any more.
void TSimServer::LogPendingFrames()
{
    QString ignored;
    pollfd fd{m_port.Fd(), POLLIN, 0};
    // Until the line holds nothing more, or a read takes nothing.
    for (;;) {
        const std::size_t before = m_incoming.size();
        if (::poll(&fd, 1, 0) <= 0 || !(fd.revents & POLLIN) || !ReadAvailable(NowMicros(), &ignored)
            || m_incoming.size() == before)
            break;
    }
    DeliverDue(std::numeric_limits<qint64>::max());
    for (const Outgoing& out : m_outgoing) {
        if (out.action.kind == TSimAction::Kind::Note && m_log)
            m_log(out.action.note);
    }
    m_outgoing.clear();
}

void TSimServer::DeliverDue(qint64 now)
{
    while (!m_incoming.empty() && m_incoming.front().releaseAt <= now) {
        const Incoming in = std::move(m_incoming.front());
        m_incoming.pop_front();
        m_lineTime = m_options.wireTime ? in.releaseAt : now;
        for (TSimAction& action : m_engine.Feed(in.bytes, in.rate))
            m_outgoing.push_back(Outgoing{std::move(action), -1, 0});
    }
}

TSimServer::Progress TSimServer::RunActions(qint64 now, QString* error)
{
    while (!m_outgoing.empty()) {
        Outgoing& head = m_outgoing.front();
        const TSimAction& action = head.action;
        switch (action.kind) {
        case TSimAction::Kind::Note:
            if (m_log)
                m_log(action.note);
            break;
        case TSimAction::Kind::SwitchRate:
            if (!m_port.SetRate(action.rate, error))
                return Progress::Failed;
            break;
        case TSimAction::Kind::Pause:
            if (head.dueAt < 0)
                head.dueAt = (m_options.wireTime ? m_lineTime : now) + action.pauseMicros;
            if (now < head.dueAt)
                return Progress::Waiting;
            m_lineTime = head.dueAt;
            break;
        case TSimAction::Kind::Write: {
            if (m_options.wireTime && head.dueAt < 0)
                head.dueAt = m_sendClock.Occupy(m_lineTime, action.bytes.size(), CurrentRate());
            if (now < head.dueAt)
                return Progress::Waiting;
            const qsizetype left = action.bytes.size() - head.written;
            const ssize_t n = ::write(m_port.Fd(), action.bytes.constData() + head.written, std::size_t(left));
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return Progress::Blocked;
            if (n < 0) {
                *error = QStringLiteral("writing %1: %2").arg(m_port.Path(), QString::fromLocal8Bit(std::strerror(errno)));
                return Progress::Failed;
            }
            head.written += n;
            if (head.written < action.bytes.size())
                return Progress::Blocked;
            break;
        }
        }
        m_outgoing.pop_front();
    }
    return Progress::Idle;
}

qint64 TSimServer::NextDeadline(Progress progress) const
{
    qint64 deadline = kNoDeadline;
    if (!m_incoming.empty())
        deadline = m_incoming.front().releaseAt;
    if (progress == Progress::Waiting) {
        const qint64 due = m_outgoing.front().dueAt;
        deadline = deadline == kNoDeadline ? due : std::min(deadline, due);
    }
    return deadline;
}
