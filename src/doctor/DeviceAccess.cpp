#include "doctor/DeviceAccess.h"

#include "model/Language.h"
#include "serial/OpenFailure.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

bool ProcessHasGroup(gid_t gid)
{
    if (getegid() == gid)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid)
            return true;
    }
    return false;
}

bool UserInGroupDatabase(gid_t gid)
{
    passwd entry{};
    passwd* user = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &user) != 0 || user == nullptr)
        return false;
    if (user->pw_gid == gid)
        return true;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid)
            return true;
    }
    return false;
}

} // namespace

DeviceAccess CheckDeviceAccess(const QString& devicePath)
{
    const QByteArray path = QFile::encodeName(devicePath);
    DeviceAccess access;
    access.mayReadWrite = ::access(path.constData(), R_OK | W_OK) == 0;
    access.group = QString::fromStdString(DeviceGroupName(path));
    struct stat info {};
    if (::stat(path.constData(), &info) == 0) {
        access.inGroup = UserInGroupDatabase(info.st_gid);
        access.groupActive = ProcessHasGroup(info.st_gid);
    }
    return access;
}

QString AccessRemedy(const DeviceAccess& access)
{
    if (access.mayReadWrite)
        return {};
    if (access.group.isEmpty())
        return Tr("ConnectionDoctor", "AskAdministrator", "Ask the administrator for read and write access to the device.");
    if (!access.inGroup)
        return Tr("ConnectionDoctor", "NotInGroup",
                  "It belongs to the group \"%1\", which you are not in. Add yourself: sudo usermod -aG %1 $USER, "
                  "then log out and in again.")
            .arg(access.group);
    if (!access.groupActive)
        return Tr("ConnectionDoctor", "GroupNotActive",
                  "You are in the group \"%1\", but this login started before you were added: log out and in "
                  "again (or run: newgrp %1).")
            .arg(access.group);
    return Tr("ConnectionDoctor", "GroupNoAccess",
              "You are in its group \"%1\" but the device does not let the group read and write it; check its "
              "permissions (ls -l).")
        .arg(access.group);
}
