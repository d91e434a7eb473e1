#pragma once

#include <QString>

// Port names as the program uses them ("COM1".."COM4") and the serial devices
// they stand for. Section [Ports] of SYSTEM.CFG maps a name to a device:
//
//   [Ports]
//   COM1=/dev/ttyUSB0
//   COM3=dev/pty-sim
//
// A relative device path is taken from the program folder. An unmapped COMn
// is /dev/ttyS(n-1).

// The device to open for a port name. "COMn" (any letter case, n >= 1) goes
// through the map; a name holding '/' is already a device path and is returned
// as is; any other name (COM0, None, ...) is returned unchanged, so opening it
// fails as a port that does not exist.
QString PortDevicePath(const QString& commName);

// Writes the device for "COMn" into SYSTEM.CFG. Throws std::invalid_argument
// for a name that is not COMn with n >= 1, and SettingsWriteError when the
// file cannot be written.
void SetPortDevicePath(const QString& commName, const QString& devicePath);

// Removes the mapping of "COMn" from SYSTEM.CFG, so it stands for its default
// device again. Same errors as SetPortDevicePath.
void ClearPortDevicePath(const QString& commName);
