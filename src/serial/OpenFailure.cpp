#include "serial/OpenFailure.h"

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

std::string PermissionText(const QByteArray& path)
{
    const std::string device = path.toStdString();
    const std::string group = DeviceGroupName(path);
    if (group.empty())
        return "Permission denied on " + device
               + ". Ask for access to the device, then log in again.";
    return "Permission denied on " + device + ". Add the user to the group \"" + group
           + "\" that owns it (for example: sudo usermod -aG " + group
           + " $USER), then log in again.";
}

} // namespace

std::string DescribeOpenFailure(const QByteArray& path, int error)
{
    const std::string device = path.toStdString();
    switch (error) {
    case 0:
        return {};
    case EACCES:
    case EPERM:
        return PermissionText(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return device + " does not exist.";
    case EBUSY:
    case EWOULDBLOCK:
        return device + " is in use by another program.";
    default:
        return device + ": " + std::strerror(error) + ".";
    }
}
