#pragma once

#include <QString>

#include <optional>
#include <vector>

// Who else is using a serial device: the lock file that terminal programs
// leave in the lock folder, and every process that has the device open.
// The folders are given so that tests can use a fake tree.

struct DeviceUser
{
    qint64 pid = 0;
    QString command; // from /proc/PID/comm; empty when it cannot be read
    // It also holds a pseudo-terminal master: for a device under /dev/pts it
    // is most likely the other end of the line (a simulator), not a rival.
    bool holdsPtyMaster = false;
};

struct DeviceLock
{
    QString path;                 // "/var/lock/LCK..ttyUSB0"
    std::optional<DeviceUser> owner;
    bool stale = false;           // the pid it names does not run any more
};

// The lock file of the device (LCK.. followed by the device's file name), or
// nothing when there is none. The pid is read as text (ten characters) or,
// from old programs, as a 4-byte binary number.
std::optional<DeviceLock> FindDeviceLock(const QString& devicePath, const QString& lockDir,
                                         const QString& procDir);

// Every process other than `ownPid` with a descriptor on the device (the
// device's canonical path compared with each /proc/PID/fd link).
std::vector<DeviceUser> FindDeviceUsers(const QString& devicePath, const QString& procDir, qint64 ownPid);
