#include "cli/PortSettings.h"

#include "cli/FileArguments.h"
#include "files/FilePath.h"
#include "link/RegisterLink.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"
#include "config/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString ResolveThrough(const QString& settingsPath, const QString& commName)
{
    static const QRegularExpression kComName(QStringLiteral("^COM([1-9][0-9]*)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kComName.match(commName);
    if (!match.hasMatch())
        return DefaultPortName(commName);
    const QString mapped = SettingsFile(settingsPath)
                               .ReadText(QStringLiteral("Ports"), QStringLiteral("COM") + match.captured(1));
    if (mapped.isEmpty())
        return DefaultPortName(commName);
    if (QDir::isRelativePath(mapped))
        return QDir::cleanPath(QFileInfo(settingsPath).absolutePath() + QLatin1Char('/') + mapped);
    return mapped;
}

} // namespace

QString UseSettingsFile(const std::optional<QString>& file)
{
    if (!file) {
        UsePortMapFromSettings();
        return AppPaths::SettingsPath();
    }
    const QString path = FileArguments::AbsolutePath(*file);
    AppPaths::SetProgramDir(FilePath(path).Folder().Text());
    SetPortResolver([path](const QString& commName) { return ResolveThrough(path, commName); });
    return path;
}

PortSettings ReadPortSettings(const QString& settingsPath)
{
    const SettingsFile settings(settingsPath);
    PortSettings port;
    port.number = settings.ReadInteger(QStringLiteral("Comm"), QStringLiteral("Port"), port.number);
    port.baudIndex = settings.ReadInteger(QStringLiteral("Comm"), QStringLiteral("BaudRate"), port.baudIndex);
    return port;
}
