#pragma once

// The stop signal shared by a port's worker threads: once set it stays set,
// and its descriptor stays readable so that every wait beside it wakes.
class TStopSignal
{
public:
    // Throws std::system_error when the descriptor cannot be created.
    TStopSignal();
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    void Signal() const;
    bool IsSet() const;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};
