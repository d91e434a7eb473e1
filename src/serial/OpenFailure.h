#pragma once

#include <QByteArray>

#include <string>

// Why a serial device could not be opened, in words for the operator, from
// the errno of the failed step. Empty when the errno says nothing useful.
//
// Permission is the usual trouble with USB-serial adapters: their device
// belongs to a group (mostly "dialout") that a new user is not yet in, so
// the text names the device's group and the remedy.
std::string DescribeOpenFailure(const QByteArray& path, int error);

// The name of the group that owns the device, or an empty text when it cannot
// be told.
std::string DeviceGroupName(const QByteArray& path);
