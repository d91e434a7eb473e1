#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The serial devices present on this machine, as paths to offer for a port
// mapping: the stable names under /dev/serial/by-id first, then /dev/ttyUSB*,
// /dev/ttyACM* and /dev/ttyS*, each group in natural order (ttyUSB2 before
// ttyUSB10).
//
// `root` is the folder standing for "/" (tests give a temporary folder); the
// paths returned always begin with "/dev/".
QStringList ListSerialDevices(const QString& root = QStringLiteral("/"));

// A serial device present on this machine, as the connection check and the
// port detection describe it.
struct SerialDeviceInfo
{
    enum class Kind { BuiltIn, Usb, Acm };
    QString device;  // "/dev/ttyUSB0"
    QString byId;    // "/dev/serial/by-id/usb-...", or empty
    Kind kind = Kind::BuiltIn;
    QString vendor;  // the adapter's maker and product from sysfs (USB, ACM)
    QString product;
    QString usbId;   // "0403:6001"
};

// The USB and ACM devices, then the built-in ports that have a UART behind
// them (sysfs type not 0), each group in natural order. `root` stands for "/"
// (dev/, dev/serial/by-id/, sys/class/tty/ below it).
std::vector<SerialDeviceInfo> DescribeSerialDevices(const QString& root = QStringLiteral("/"));

// The other name of a device: the by-id name for /dev/ttyUSB0 and the kernel
// name for a by-id path ("usb-Maker_X-if00-port0", "ttyUSB0"); empty when it
// has none.
QString SerialDeviceAlias(const QString& devicePath, const QString& root = QStringLiteral("/"));
