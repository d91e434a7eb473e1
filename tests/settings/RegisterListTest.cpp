#include "config/RegisterList.h"

#include "config/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RegisterListTest : public testing::Test
{
protected:
    QString Settings() const { return m_dir.filePath("SYSTEM.CFG"); }

    void Write(const QByteArray& text)
    {
        QFile file(Settings());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray Read() const
    {
        QFile file(Settings());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(RegisterListTest, NoListLeavesTheFileAndReadsEmpty)
{
    Write("[Comm]\r\nPort=2\r\n");
    EXPECT_TRUE(ReadRegisterList(Settings()).empty());
    EXPECT_EQ(Read(), "[Comm]\r\nPort=2\r\n");
    EXPECT_TRUE(ReadRegisterList(m_dir.filePath("missing.cfg")).empty());
}

TEST_F(RegisterListTest, WrittenListReadsBackAndAShorterOneDropsTheRest)
{
    Write("[Comm]\r\nPort=2\r\n[Ports]\r\nCOM3=dev/a\r\n");
    const RegisterList three{{"Till 1", "COM3", 4}, {"Till 2", "COM4", 0}, {"Back office", "/dev/ttyUSB0", 2}};
    WriteRegisterList(Settings(), three);
    EXPECT_EQ(ReadRegisterList(Settings()), three);

    WriteRegisterList(Settings(), {three[1]});
    EXPECT_EQ(ReadRegisterList(Settings()), RegisterList{three[1]});
    const SettingsFile file(Settings());
    EXPECT_TRUE(file.ReadText("Registers", "Name2").isEmpty());
    EXPECT_TRUE(file.ReadText("Registers", "Port3").isEmpty());
    // The other sections are kept as they were.
    EXPECT_EQ(file.ReadText("Ports", "COM3"), "dev/a");
    EXPECT_EQ(file.ReadInteger("Comm", "Port", 0), 2);
}

TEST_F(RegisterListTest, DamagedEntriesAndCountsAreLeftOut)
{
    Write("[Registers]\r\nCount=5\r\n"
          "Name1=A\r\nPort1=COM1\r\nBaudRate1=4\r\n"
          "Name2=\r\nPort2=COM2\r\n"                  // no name
          "Name3=a\r\nPort3=COM3\r\n"                 // name taken
          "Name4=D\r\nPort4=COM4\r\nBaudRate4=9\r\n"  // rate index out of range
          "Name5=E\r\nPort5=COM5\r\nBaudRate5=1\r\n");
    EXPECT_EQ(ReadRegisterList(Settings()), (RegisterList{{"A", "COM1", 4}, {"E", "COM5", 1}}));

    for (const QByteArray count : {"-1", "33", "2147483647", "x"}) {
        Write("[Registers]\r\nCount=" + count + "\r\nName1=A\r\nPort1=COM1\r\n");
        EXPECT_TRUE(ReadRegisterList(Settings()).empty()) << count.constData();
    }
}

TEST_F(RegisterListTest, ProblemsAndLookUps)
{
    EXPECT_TRUE(RegisterListProblem({{"A", "COM1", 0}, {"B", "COM2", 4}}).isEmpty());
    EXPECT_FALSE(RegisterListProblem({{"", "COM1", 0}}).isEmpty());
    EXPECT_FALSE(RegisterListProblem({{" A", "COM1", 0}}).isEmpty());
    EXPECT_FALSE(RegisterListProblem({{"A", "COM1", 0}, {"a", "COM2", 0}}).isEmpty());
    EXPECT_FALSE(RegisterListProblem({{"A", " ", 0}}).isEmpty());
    EXPECT_FALSE(RegisterListProblem({{"A", "COM1", 5}}).isEmpty());

    const RegisterList list{{"Till 1", "COM3", 4}, {"Till 2", "/dev/pts/7", 4}};
    EXPECT_EQ(FindRegister(list, "till 2")->port, "/dev/pts/7");
    EXPECT_FALSE(FindRegister(list, "Till 3"));
    EXPECT_EQ(RegisterNameOfPort(list, "com3"), "Till 1");
    EXPECT_EQ(RegisterNameOfPort(list, "/dev/pts/7"), "Till 2");
    EXPECT_TRUE(RegisterNameOfPort(list, "/DEV/PTS/7").isEmpty());
    EXPECT_TRUE(RegisterNameOfPort(list, "COM4").isEmpty());
}
