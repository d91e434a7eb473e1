#pragma once

#include <QString>

#include <memory>

// An owned file descriptor, closed on destruction.
class TSimFd {
public:
    TSimFd() = default;
    explicit TSimFd(int fd) : m_fd(fd) {}
    ~TSimFd();
    TSimFd(TSimFd&& other) noexcept : m_fd(other.Release()) {}
    TSimFd& operator=(TSimFd&& other) noexcept;
    TSimFd(const TSimFd&) = delete;
    TSimFd& operator=(const TSimFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();

private:
    int m_fd = -1;
};

// The simulator's end of the serial line: either a pseudo-terminal whose
// other side the PC program opens through a symbolic link, or a real serial
// device.
class TSimPort {
public:
    // Creates a pseudo-terminal, makes its slave raw at once (before anyone
    // can open it) and points linkPath at it, replacing an earlier symbolic
    // link there but never another kind of file.
    static std::unique_ptr<TSimPort> CreatePty(const QString& linkPath, QString* error);
    // Opens a serial device raw at the given rate.
    static std::unique_ptr<TSimPort> OpenDevice(const QString& path, int rate, QString* error);

    // Removes the link when it still points at this port's slave.
    ~TSimPort();
    TSimPort(const TSimPort&) = delete;
    TSimPort& operator=(const TSimPort&) = delete;

    // The descriptor the simulator reads and writes (non-blocking).
    int Fd() const { return m_io.Get(); }
    // The path the PC program opens (the pseudo-terminal's slave or the device).
    QString Path() const { return m_path; }
    bool IsPty() const { return m_slave.Valid(); }

    // The line rate in bit/s: on a pseudo-terminal the one the PC side set
    // (the settings belong to the terminal, so the simulator's own slave
    // descriptor sees them); on a device the one the simulator set. 0 when
    // the rate is not one of the known ones.
    int LineRate() const;
    // Changes the rate of a real device once everything written has left;
    // a pseudo-terminal's rate is the PC side's to set, so nothing happens.
    bool SetRate(int rate, QString* error);

    static int SpeedToRate(unsigned speed);
    static bool RateToSpeed(int rate, unsigned* speed);

private:
    TSimPort() = default;

    TSimFd m_io;
    TSimFd m_slave;       // held open so the line stays up between the PC's openings
    QString m_path;
    QString m_linkPath;
    int m_deviceRate = 0;
};
