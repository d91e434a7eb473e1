#include "config/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace AppPaths {
namespace {

std::optional<Layout>& OverrideLayout()
{
    static std::optional<Layout> layout;
    return layout;
}

QString WithTrailingSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

Layout PortableLayout(const QString& dir)
{
    const QString folder = WithTrailingSlash(QDir(dir).absolutePath());
    return {false, folder, folder};
}

Layout RunningLayout()
{
    const Layout layout = LayoutFor(QCoreApplication::applicationDirPath(),
                                    qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    PrepareFilesDir(layout);
    return layout;
}

} // namespace

Layout LayoutFor(const QString& executableDir, const QString& configHome, const QString& homeDir)
{
    const QDir bin(executableDir);
    const QString shared = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/") + PackageName()));
    if (bin.dirName() != QLatin1String("bin") || !QFileInfo(shared).isDir())
        return PortableLayout(executableDir);
    // A relative XDG_CONFIG_HOME is ignored, as every desktop program does.
    const QString config = !configHome.isEmpty() && QDir::isAbsolutePath(configHome)
                               ? configHome
                               : QDir(homeDir).filePath(QStringLiteral(".config"));
    return {true, WithTrailingSlash(QDir::cleanPath(QDir(config).filePath(PackageName()))),
            WithTrailingSlash(shared)};
}

bool PrepareFilesDir(const Layout& layout)
{
    if (!layout.installed)
        return true;
    if (!QDir().mkpath(layout.filesDir))
        return false;
    const QString settings = layout.filesDir + QStringLiteral("SYSTEM.CFG");
    const QString defaults = layout.dataDir + QStringLiteral("SYSTEM.CFG");
    if (!QFileInfo::exists(settings) && QFileInfo::exists(defaults)
        && QFile::copy(defaults, settings)) {
        // The shared copy is read-only; the operator's copy must be writable.
        QFile::setPermissions(settings, QFile::permissions(settings) | QFileDevice::WriteOwner);
    }
    return true;
}

const Layout& CurrentLayout()
{
    if (OverrideLayout())
        return *OverrideLayout();
    static const Layout running = RunningLayout();
    return running;
}

QString ProgramDir()
{
    return CurrentLayout().filesDir;
}

void SetProgramDir(const QString& dir)
{
    if (dir.isEmpty())
        OverrideLayout().reset();
    else
        OverrideLayout() = PortableLayout(dir);
}

void UseLayout(const Layout& layout)
{
    OverrideLayout() = layout;
}

QString ProgramFile(const QString& name)
{
    return ProgramDir() + name;
}

QString FindReadOnlyFile(const QString& name)
{
    const QString own = ProgramFile(name);
    if (QFileInfo::exists(own))
        return own;
    return CurrentLayout().dataDir + name;
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
