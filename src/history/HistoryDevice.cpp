#include "history/HistoryDevice.h"

#include "serial/PortResolver.h"
#include "config/AppPaths.h"

#include <QDir>
#include <QFileInfo>

QString HistoryDevice(const QString& portName, const QString& byIdFolder)
{
    const QString resolved = ResolvePortName(portName);
    const QString target = QFileInfo(resolved).canonicalFilePath();
    if (target.isEmpty())
        return resolved;
    const QDir byId(byIdFolder);
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return resolved;
}

QString HistoryDatabasePath()
{
    return QFileInfo(AppPaths::SettingsPath()).absolutePath() + QStringLiteral("/HISTORY.DB");
}
