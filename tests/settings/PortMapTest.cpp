#include "config/PortMap.h"

#include "config/AppPaths.h"
#include "config/SettingsFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class PortMapTest : public testing::Test
{
protected:
    void SetUp() override { AppPaths::SetProgramDir(m_dir.path()); }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PortMapTest, UnmappedPortsAreTheStandardSerialDevices)
{
    EXPECT_EQ(PortDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath("com4"), "/dev/ttyS3");
    EXPECT_EQ(PortDevicePath("COM12"), "/dev/ttyS11");
}

TEST_F(PortMapTest, MappedPortsUseTheirDevice)
{
    SetPortDevicePath("COM2", "/dev/ttyUSB0");
    SetPortDevicePath("com3", "sim/pty");
    EXPECT_EQ(PortDevicePath("COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath("Com3"), AppPaths::ProgramDir() + "sim/pty");
    EXPECT_EQ(PortDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SettingsFile(AppPaths::SettingsPath()).ReadText("ports", "COM3"), "sim/pty");
}

TEST_F(PortMapTest, PathsAndOtherNamesPassThroughUnchanged)
{
    SettingsFile(AppPaths::SettingsPath()).WriteText("Ports", "COM0", "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(PortDevicePath("COM0"), "COM0");
    EXPECT_EQ(PortDevicePath("None"), "None");
    EXPECT_EQ(PortDevicePath("COM"), "COM");
    EXPECT_EQ(PortDevicePath("COM-1"), "COM-1");
    EXPECT_EQ(PortDevicePath("COM99999999999"), "COM99999999999");
    EXPECT_THROW(SetPortDevicePath("COM0", "/dev/ttyS0"), std::invalid_argument);
}
