#include "settings/SerialDeviceList.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
