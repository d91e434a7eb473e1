#pragma once

#include "serial/CommEndpoint.h"

#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <thread>

class TPosixPort;
class TStopSignal;

// How received bytes are cut into chunks; changed by the owner while the
// thread runs. A chunk ends after `intervalMs` without a new byte (0: as soon
// as nothing more is waiting), after the total limit counted from its first
// byte (multiplier x chunk size + constant; 0: none), or when full.
struct TReadRules
{
    std::atomic<quint32> intervalMs{100};
    std::atomic<quint32> totalMultiplierMs{0};
    std::atomic<quint32> totalConstantMs{0};
    std::atomic<bool> discardNul{false};
};

// The receive thread: waits for bytes beside the stop signal, gathers them
// into chunks and posts each chunk, in order, as DataReceived. A port that
// goes away ends the thread with RequestHangup.
class TReadThread
{
public:
    static constexpr std::size_t kChunkSize = 2048;

    // Starts at once; throws std::system_error when the thread cannot be
    // created. The port, signal and rules must outlive the object.
    TReadThread(const TPosixPort& port, const TStopSignal& stop, const TReadRules& rules,
                TCommNotifier notifier);
    // Joins; the owner signals the stop first.
    ~TReadThread();
    TReadThread(const TReadThread&) = delete;
    TReadThread& operator=(const TReadThread&) = delete;

private:
    enum class TChunkEnd
    {
        Complete,
        Stopped,
        PortGone
    };
    struct TChunk
    {
        std::size_t size;
        TChunkEnd end;
    };

    void Run();
    TChunk Gather(char* buffer) const;
    void Deliver(const char* bytes, std::size_t size) const;

    const TPosixPort& m_port;
    const TStopSignal& m_stop;
    const TReadRules& m_rules;
    const TCommNotifier m_notifier;
    std::thread m_thread;
};
