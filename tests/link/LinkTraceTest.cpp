#include "link/LinkTrace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

std::vector<quint8> Filled(std::size_t count, quint8 value)
{
    return std::vector<quint8>(count, value);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(LinkTrace, BytesGoSixteenToALineInUppercaseHex)
{
    const std::vector<quint8> bytes{0x02, 0xAE, 0x0F, 0xFF};
    EXPECT_EQ(LinkTrace::FormatBytes(bytes), QStringList{"02 AE 0F FF "});
    EXPECT_TRUE(LinkTrace::FormatBytes({}).isEmpty());

    const QStringList exact = LinkTrace::FormatBytes(Filled(32, 0x80));
    ASSERT_EQ(exact.size(), 2);
    EXPECT_EQ(exact[1], QString("80 ").repeated(16));

    const QStringList wire = LinkTrace::FormatBytes(Filled(302, 0x80));
    ASSERT_EQ(wire.size(), 19);
    EXPECT_EQ(wire[17].size(), 48);
    EXPECT_EQ(wire[18].size(), 14 * 3);
    EXPECT_EQ(LinkTrace::FormatBytes(Filled(301, 0x80)).last().size(), 13 * 3);
    EXPECT_EQ(LinkTrace::FormatBytes(Filled(64, 0x66)).size(), 4);
}

TEST(LinkTrace, BlocksAndRetryMarkers)
{
    LinkTrace trace;
    const std::vector<quint8> sent{0x03, 0x04, 0xFF};
    trace.AddSendBlock(sent);
    trace.AddRetryMarker(2);
    trace.AddReceiveBlock(std::vector<quint8>{0x55});
    const QStringList expected{">>>>>>Send data<<<<<<<<", "03 04 FF ", "", "", "Retry:2",
                               ">>>>>>Receive data<<<<<<<<", "55 ", ""};
    EXPECT_EQ(trace.Lines(), expected);
    trace.Clear();
    EXPECT_TRUE(trace.Lines().isEmpty());
}

TEST(LinkTrace, FileHoldsEveryLineEndedByCrLfAndIsReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("DEBUG.LOG");

    LinkTrace trace;
    trace.AddReceiveBlock(std::vector<quint8>{0x02});
    trace.WriteFile(path);
    EXPECT_EQ(ReadAll(path), QByteArray(">>>>>>Receive data<<<<<<<<\r\n02 \r\n\r\n"));

    trace.Clear();
    trace.WriteFile(path);
    EXPECT_TRUE(ReadAll(path).isEmpty());
}

TEST(LinkTrace, UnwritableFileThrows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LinkTrace trace;
    EXPECT_THROW(trace.WriteFile(dir.filePath("missing/DEBUG.LOG")), std::runtime_error);
}
