#include "serial/OpenFailure.h"

#include "model/Language.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>

namespace {

std::string GroupOf(const QByteArray& path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return {};
    const group* entry = getgrgid(info.st_gid);
    return entry != nullptr ? entry->gr_name : std::string();
}

} // namespace

TEST(OpenFailureTest, APermissionRefusalNamesTheDevicesGroupAndTheRemedy)
{
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    const QByteArray path = device.fileName().toLocal8Bit();
    const std::string group = GroupOf(path);
    ASSERT_FALSE(group.empty());

    for (const int error : {EACCES, EPERM}) {
        EXPECT_EQ(DescribeOpenFailure(path, error),
                  "Permission denied on " + path.toStdString() + ". Add the user to the group \""
                      + group + "\" that owns it (for example: sudo usermod -aG " + group
                      + " $USER), then log in again.");
    }
}

TEST(OpenFailureTest, OtherReasonsAreNamedPlainly)
{
    const QByteArray path("/dev/ttyUSB7");
    EXPECT_EQ(DescribeOpenFailure(path, ENOENT), "/dev/ttyUSB7 does not exist.");
    EXPECT_EQ(DescribeOpenFailure(path, EBUSY), "/dev/ttyUSB7 is in use by another program.");
    EXPECT_EQ(DescribeOpenFailure(path, EIO), "/dev/ttyUSB7: Input/output error.");
    EXPECT_EQ(DescribeOpenFailure(path, 0), "");
    // A device that vanished between open and stat still gets the remedy's gist.
    EXPECT_EQ(DescribeOpenFailure("/dev/no-such-device", EACCES),
              "Permission denied on /dev/no-such-device. Ask for access to the device, then log "
              "in again.");
}

TEST(OpenFailureTest, ReasonsAreWordedInTheOperatorsLanguageWithTheGroupInEveryPlace)
{
    Language::Install({{Language::Slot(u"OpenFailure", u"Missing"), QStringLiteral("%1 ist nicht vorhanden.")},
                       {Language::Slot(u"OpenFailure", u"PermissionDeniedGroup"),
                        QStringLiteral("Kein Zugriff auf %1: Gruppe „%2“ (sudo usermod -aG %2 $USER).")}});
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    const QByteArray path = device.fileName().toLocal8Bit();
    const std::string group = GroupOf(path);

    EXPECT_EQ(DescribeOpenFailure("/dev/ttyUSB7", ENOENT), "/dev/ttyUSB7 ist nicht vorhanden.");
    EXPECT_EQ(DescribeOpenFailure(path, EACCES), "Kein Zugriff auf " + path.toStdString() + ": Gruppe „" + group
                                                     + "“ (sudo usermod -aG " + group + " $USER).");
    // A key the file lacks keeps its English.
    EXPECT_EQ(DescribeOpenFailure("/dev/ttyUSB7", EBUSY), "/dev/ttyUSB7 is in use by another program.");
    Language::Install({});
}
