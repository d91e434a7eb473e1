#include "serial/PortResolver.h"

#include <gtest/gtest.h>

TEST(PortResolver, MapsComNamesToTheSerialDevices)
{
    EXPECT_EQ(DefaultPortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DefaultPortName("COM4"), "/dev/ttyS3");
    EXPECT_EQ(DefaultPortName("com2"), "/dev/ttyS1");
    EXPECT_EQ(DefaultPortName("COM12"), "/dev/ttyS11");
}

TEST(PortResolver, KeepsPathsAndUnknownNames)
{
    EXPECT_EQ(DefaultPortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(DefaultPortName("/dev/pts/COM1"), "/dev/pts/COM1");
    EXPECT_EQ(DefaultPortName("COM0"), "COM0");
    EXPECT_EQ(DefaultPortName("COM"), "COM");
    EXPECT_EQ(DefaultPortName("COM1x"), "COM1x");
    EXPECT_EQ(DefaultPortName(""), "");
}

TEST(PortResolver, AnInstalledResolverReplacesTheDefaultUntilCleared)
{
    SetPortResolver([](const QString& name) { return "/dev/mapped-" + name; });
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/mapped-COM3");
    SetPortResolver(nullptr);
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/ttyS2");
}
