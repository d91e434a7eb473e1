#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <termios.h>

// A pseudo-terminal standing in for a serial line: the device under test
// opens the slave by its path, the test plays the far end on the master.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString SlavePath() const { return m_slavePath; }
    // The slave's settings, seen through the test's own descriptor.
    termios SlaveSettings() const;
    void SetSlaveSettings(const termios& settings) const;

    void WriteMaster(const QByteArray& bytes) const;
    // Reads until `count` bytes came or `limit` passed without one.
    QByteArray ReadMaster(int count,
                          std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    // Whatever has arrived so far, without waiting.
    QByteArray ReadMasterAvailable() const;
    // The far end goes away: the line hangs up.
    void CloseMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
