#pragma once

#include "sim/SimEngine.h"
#include "sim/SimPort.h"
#include "sim/SimWireClock.h"

#include <QString>

#include <deque>
#include <functional>

// The simulator's I/O loop: reads what the PC sends, hands it to the engine
// and carries out the engine's actions. It waits in ppoll() on the port and
// a stop descriptor (a signalfd in the program), with time-outs only where
// a pause or the wire time is due, so it never spins.
class TSimServer {
public:
    struct Options {
        bool wireTime = false;   // pace reading and writing like a real line
    };
    using LogSink = std::function<void(const QString& line)>;

    TSimServer(TSimPort& port, TSimEngine& engine, Options options, LogSink log);

    // Serves until stopFd becomes readable (true) or the line fails (false,
    // with the reason in error).
    bool Run(int stopFd, QString* error);

private:
    struct Incoming {
        QByteArray bytes;
        int rate = 0;
        qint64 releaseAt = 0;
    };
    struct Outgoing {
        TSimAction action;
        qint64 dueAt = -1;       // set when the action reaches the head of the queue
        qsizetype written = 0;
    };
    enum class Progress { Idle, Waiting, Blocked, Failed };

    bool ReadAvailable(qint64 now, QString* error);
    void LogPendingFrames();
    void DeliverDue(qint64 now);
    // Carries out queued actions until one has to wait for time (Waiting) or
    // for the line to take more bytes (Blocked).
    Progress RunActions(qint64 now, QString* error);
    qint64 NextDeadline(Progress progress) const;
    int CurrentRate() const;
    static qint64 NowMicros();

    TSimPort& m_port;
    TSimEngine& m_engine;
    Options m_options;
    LogSink m_log;
    std::deque<Incoming> m_incoming;
    std::deque<Outgoing> m_outgoing;
    TSimWireClock m_receiveClock;
    TSimWireClock m_sendClock;
    // With wire time: the line instant the register's current step began
    // (the last byte received, or a pause ended). Answers are timed from it,
    // not from when this process got round to them, so its own wake-up
    // delays do not slow the simulated line down.
    qint64 m_lineTime = 0;
};
