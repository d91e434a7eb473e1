#pragma once

#include <QString>

// Whether the user may read and write a device, and when not, what stands in
// the way: the device's group, whether the user is in it according to the
// group database, and whether this login already has it.
struct DeviceAccess
{
    bool mayReadWrite = false;
    QString group;             // empty when unknown
    bool inGroup = false;      // a member in the group database
    bool groupActive = false;  // the running process carries the group
};

DeviceAccess CheckDeviceAccess(const QString& devicePath);

// The remedy for a device the user may not use, in words for the operator;
// empty when access is granted.
QString AccessRemedy(const DeviceAccess& access);
