#include "serial/OpenFailure.h"

#include "model/Language.h"

#include <cerrno>
#include <cstring>

#include <grp.h>
#include <sys/stat.h>

std::string DeviceGroupName(const QByteArray& path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return {};
    group entry{};
    group* found = nullptr;
    char buffer[4096];
    if (getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return {};
    return found->gr_name;
}

namespace {

std::string Worded(const char* key, const char* english, const QString& device, const QString& detail = {})
{
    QString text = Tr("OpenFailure", key, english).arg(device);
    if (!detail.isNull())
        text = text.arg(detail);
    return text.toStdString();
}

std::string PermissionText(const QByteArray& path)
{
    const QString device = QString::fromLocal8Bit(path);
    const std::string group = DeviceGroupName(path);
    if (group.empty())
        return Worded("PermissionDenied", "Permission denied on %1. Ask for access to the device, then log in again.",
                      device);
    // The group appears twice: the reader copies the command.
    return Worded("PermissionDeniedGroup",
                  "Permission denied on %1. Add the user to the group \"%2\" that owns it (for example: "
                  "sudo usermod -aG %2 $USER), then log in again.",
                  device, QString::fromStdString(group));
}

} // namespace

std::string DescribeOpenFailure(const QByteArray& path, int error)
{
    const QString device = QString::fromLocal8Bit(path);
    switch (error) {
    case 0:
        return {};
    case EACCES:
    case EPERM:
        return PermissionText(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Worded("Missing", "%1 does not exist.", device);
    case EBUSY:
    case EWOULDBLOCK:
        return Worded("InUse", "%1 is in use by another program.", device);
    default:
        return Worded("Other", "%1: %2.", device, QString::fromLocal8Bit(std::strerror(error)));
    }
}
