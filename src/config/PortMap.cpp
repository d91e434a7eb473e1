#include "config/PortMap.h"

#include "config/AppPaths.h"
#include "config/SettingsFile.h"

#include <QDir>

#include <optional>
#include <stdexcept>

namespace {

const QString kPortsSection = QStringLiteral("Ports");

// n of "COMn", n >= 1; nothing for any other name.
std::optional<int> ComNumber(const QString& commName)
{
    if (!commName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView digits = QStringView(commName).mid(3);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 1)
        return std::nullopt;
    return number;
}

QString MapKey(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

} // namespace

QString PortDevicePath(const QString& commName)
{
    if (commName.contains(QLatin1Char('/')))
        return commName;
    const std::optional<int> number = ComNumber(commName);
    if (!number)
        return commName;
    const QString mapped =
        SettingsFile(AppPaths::SettingsPath()).ReadText(kPortsSection, MapKey(*number));
    if (mapped.isEmpty())
        return QStringLiteral("/dev/ttyS%1").arg(*number - 1);
    if (QDir::isRelativePath(mapped))
        return QDir::cleanPath(AppPaths::ProgramDir() + mapped);
    return mapped;
}

namespace {

QString CheckedMapKey(const QString& commName)
{
    const std::optional<int> number = ComNumber(commName);
    if (!number)
        throw std::invalid_argument("not a COMn port name: " + commName.toStdString());
    return MapKey(*number);
}

} // namespace

void SetPortDevicePath(const QString& commName, const QString& devicePath)
{
    SettingsFile(AppPaths::SettingsPath()).WriteText(kPortsSection, CheckedMapKey(commName), devicePath);
}

void ClearPortDevicePath(const QString& commName)
{
    SettingsFile(AppPaths::SettingsPath()).RemoveKey(kPortsSection, CheckedMapKey(commName));
}
