#include "settings/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace AppPaths {
namespace {

QString& OverrideDir()
{
    static QString dir;
    return dir;
}

QString WithTrailingSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

QString ProgramDir()
{
    if (!OverrideDir().isEmpty())
        return OverrideDir();
    return WithTrailingSlash(QCoreApplication::applicationDirPath());
}

void SetProgramDir(const QString& dir)
{
    OverrideDir() = dir.isEmpty() ? QString() : WithTrailingSlash(QDir(dir).absolutePath());
}

QString ProgramFile(const QString& name)
{
    return ProgramDir() + name;
}

QString SettingsPath()
{
    return ProgramFile(QStringLiteral("SYSTEM.CFG"));
}

QString TracePath()
{
    return ProgramFile(QStringLiteral("DEBUG.LOG"));
}

} // namespace AppPaths
