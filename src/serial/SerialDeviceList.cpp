#include "serial/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QHash>

#include <algorithm>
#include <array>

namespace {

// Text before the trailing digits and the trailing number, for natural order.
std::pair<QString, qulonglong> SplitTrailingNumber(const QString& name)
{
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && name.at(digitsFrom - 1).isDigit() && name.size() - digitsFrom < 18)
        --digitsFrom;
    return {name.left(digitsFrom), name.mid(digitsFrom).toULongLong()};
}

bool NaturalLess(const QString& a, const QString& b)
{
    const auto [prefixA, numberA] = SplitTrailingNumber(a);
    const auto [prefixB, numberB] = SplitTrailingNumber(b);
    if (prefixA != prefixB)
        return prefixA < prefixB;
    if (numberA != numberB)
        return numberA < numberB;
    return a < b;
}

// Entries of `folder` under `root` matching `pattern` that exist (a link
// whose device is gone is left out), as "/"-rooted paths.
QStringList ExistingEntries(const QString& root, const QString& folder, const QString& pattern)
{
    const QDir dir(QDir(root).filePath(folder));
    QStringList names = dir.entryList({pattern}, QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& name) { return !QFileInfo::exists(dir.filePath(name)); }),
                names.end());
    std::sort(names.begin(), names.end(), NaturalLess);
    QStringList paths;
    for (const QString& name : names)
        paths << QLatin1Char('/') + folder + QLatin1Char('/') + name;
    return paths;
}

} // namespace

QStringList ListSerialDevices(const QString& root)
{
    QStringList devices = ExistingEntries(root, QStringLiteral("dev/serial/by-id"), QStringLiteral("*"));
    for (const char* pattern : {"ttyUSB*", "ttyACM*", "ttyS*"})
        devices << ExistingEntries(root, QStringLiteral("dev"), QString::fromLatin1(pattern));
    return devices;
}

namespace {

QString UnderRoot(const QString& root, const QString& absolute)
{
    return QDir::cleanPath(QDir(root).absolutePath() + absolute);
}

// `path` under `root` back as a "/"-rooted path; empty when it lies outside.
QString FromRoot(const QString& root, const QString& path)
{
    const QString base = QDir::cleanPath(QDir(root).absolutePath());
    const QString clean = QDir::cleanPath(path);
    if (base == QLatin1String("/"))
        return clean;
    if (!clean.startsWith(base + QLatin1Char('/')))
        return {};
    return clean.mid(base.size());
}

QString ReadAttribute(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(256)).trimmed();
}

// by-id path of each device it points to ("/dev/ttyUSB0" -> "/dev/serial/by-id/...").
QHash<QString, QString> ByIdNames(const QString& root)
{
    QHash<QString, QString> names;
    for (const QString& byId : ExistingEntries(root, QStringLiteral("dev/serial/by-id"), QStringLiteral("*"))) {
        const QString target = QFileInfo(UnderRoot(root, byId)).canonicalFilePath();
        const QString device = FromRoot(root, target);
        if (!device.isEmpty() && !names.contains(device))
            names.insert(device, byId);
    }
    return names;
}

// The USB device folder above the tty's sysfs node holds the maker, the
// product and the ids.
void ReadUsbAttributes(const QString& root, const QString& name, SerialDeviceInfo& info)
{
    const QString sysRoot = QDir::cleanPath(UnderRoot(root, QStringLiteral("/sys")));
    QString folder = QFileInfo(UnderRoot(root, QStringLiteral("/sys/class/tty/") + name + QStringLiteral("/device")))
                         .canonicalFilePath();
    for (int depth = 0; depth < 8 && folder.startsWith(sysRoot + QLatin1Char('/')); ++depth) {
        const QDir dir(folder);
        if (dir.exists(QStringLiteral("idVendor"))) {
            info.vendor = ReadAttribute(dir.filePath(QStringLiteral("manufacturer")));
            info.product = ReadAttribute(dir.filePath(QStringLiteral("product")));
            info.usbId = ReadAttribute(dir.filePath(QStringLiteral("idVendor"))) + QLatin1Char(':')
                         + ReadAttribute(dir.filePath(QStringLiteral("idProduct")));
            return;
        }
        folder = QFileInfo(folder).path();
    }
}

// A built-in port node exists for every possible UART; sysfs type 0 means
// no chip answers behind it.
bool HasUart(const QString& root, const QString& name)
{
    const QString type = ReadAttribute(UnderRoot(root, QStringLiteral("/sys/class/tty/") + name + QStringLiteral("/type")));
    return !type.isEmpty() && type != QLatin1String("0");
}

} // namespace

std::vector<SerialDeviceInfo> DescribeSerialDevices(const QString& root)
{
    const QHash<QString, QString> byId = ByIdNames(root);
    std::vector<SerialDeviceInfo> devices;
    const std::array<std::pair<const char*, SerialDeviceInfo::Kind>, 3> groups{
        {{"ttyUSB*", SerialDeviceInfo::Kind::Usb},
         {"ttyACM*", SerialDeviceInfo::Kind::Acm},
         {"ttyS*", SerialDeviceInfo::Kind::BuiltIn}}};
    for (const auto& [pattern, kind] : groups) {
        for (const QString& device : ExistingEntries(root, QStringLiteral("dev"), QString::fromLatin1(pattern))) {
            const QString name = device.mid(5);
            if (kind == SerialDeviceInfo::Kind::BuiltIn && !HasUart(root, name))
                continue;
            SerialDeviceInfo info;
            info.device = device;
            info.byId = byId.value(device);
            info.kind = kind;
            if (kind != SerialDeviceInfo::Kind::BuiltIn)
                ReadUsbAttributes(root, name, info);
            devices.push_back(info);
        }
    }
    return devices;
}

QString SerialDeviceAlias(const QString& devicePath, const QString& root)
{
    const QString byIdFolder = QStringLiteral("/dev/serial/by-id/");
    if (devicePath.startsWith(byIdFolder))
        return QFileInfo(QFileInfo(UnderRoot(root, devicePath)).canonicalFilePath()).fileName();
    const QString byId = ByIdNames(root).value(devicePath);
    return byId.isEmpty() ? QString() : byId.mid(byIdFolder.size());
}
