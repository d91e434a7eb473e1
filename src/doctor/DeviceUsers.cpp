#include "doctor/DeviceUsers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kLockFileMaxBytes = 64;

QString CommandOf(const QString& procDir, qint64 pid)
{
    QFile comm(QDir(procDir).filePath(QString::number(pid) + QStringLiteral("/comm")));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.read(256)).trimmed();
}

bool IsRunning(const QString& procDir, qint64 pid)
{
    return pid > 0 && QFileInfo(QDir(procDir).filePath(QString::number(pid))).isDir();
}

bool IsText(const QByteArray& content)
{
    return std::all_of(content.cbegin(), content.cend(),
                       [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '\n'; });
}

std::optional<qint64> LockPid(const QByteArray& content)
{
    if (content.size() == 4 && !IsText(content)) {
        qint32 binary = 0;
        std::memcpy(&binary, content.constData(), sizeof binary);
        return binary > 0 ? std::optional<qint64>(binary) : std::nullopt;
    }
    bool ok = false;
    const qint64 pid = content.trimmed().toLongLong(&ok);
    return ok && pid > 0 ? std::optional<qint64>(pid) : std::nullopt;
}

QString CanonicalOrSame(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

std::optional<DeviceLock> FindDeviceLock(const QString& devicePath, const QString& lockDir,
                                         const QString& procDir)
{
    const QString name = QFileInfo(CanonicalOrSame(devicePath)).fileName();
    DeviceLock lock;
    lock.path = QDir(lockDir).filePath(QStringLiteral("LCK..") + name);
    QFile file(lock.path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (const std::optional<qint64> pid = LockPid(file.read(kLockFileMaxBytes))) {
        lock.stale = !IsRunning(procDir, *pid);
        lock.owner = DeviceUser{*pid, lock.stale ? QString() : CommandOf(procDir, *pid)};
    }
    return lock;
}

std::vector<DeviceUser> FindDeviceUsers(const QString& devicePath, const QString& procDir, qint64 ownPid)
{
    const QString device = CanonicalOrSame(devicePath);
    std::vector<DeviceUser> users;
    const QDir proc(procDir);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == ownPid)
            continue;
        // Descriptors of other users' processes cannot be read; they are
        // only seen when running as root.
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        const QFileInfoList links = fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
        bool holdsDevice = false;
        bool holdsMaster = false;
        for (const QFileInfo& link : links) {
            if (!link.isSymLink())
                continue;
            const QString target = link.symLinkTarget();
            holdsDevice = holdsDevice || CanonicalOrSame(target) == device;
            holdsMaster = holdsMaster || target.endsWith(QLatin1String("/ptmx"));
        }
        if (holdsDevice)
            users.push_back({pid, CommandOf(procDir, pid), holdsMaster});
    }
    return users;
}
