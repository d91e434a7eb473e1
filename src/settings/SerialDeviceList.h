#pragma once

#include <QString>
#include <QStringList>

// The serial devices present on this machine, as paths to offer for a port
// mapping: the stable names under /dev/serial/by-id first, then /dev/ttyUSB*,
// /dev/ttyACM* and /dev/ttyS*, each group in natural order (ttyUSB2 before
// ttyUSB10).
//
// `root` is the folder standing for "/" (tests give a temporary folder); the
// paths returned always begin with "/dev/".
QStringList ListSerialDevices(const QString& root = QStringLiteral("/"));
