#include "link/RegisterPayloads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace RegisterPayloads;

std::vector<quint8> Head(const Frame::Payload& payload, std::size_t count)
{
    return std::vector<quint8>(payload.begin(), payload.begin() + count);
}

bool ZeroFrom(const Frame::Payload& payload, std::size_t first, std::size_t end = Frame::kPayloadBytes)
{
    return std::all_of(payload.begin() + first, payload.begin() + end, [](quint8 b) { return b == 0; });
}

void ExpectChecksumValid(const Frame::Payload& payload)
{
    const quint16 sum = Frame::Checksum(payload);
    EXPECT_EQ(payload[Frame::kChecksumLow], sum & 0xFF);
    EXPECT_EQ(payload[Frame::kChecksumHigh], sum >> 8);
}

const QDateTime kNewYearsEve(QDate(2026, 12, 31), QTime(23, 59, 58));

} // namespace

TEST(RegisterPayloads, BcdFields)
{
    EXPECT_EQ(ByteToBcd(2026), 0x26);
    EXPECT_EQ(ByteToBcd(7), 0x07);
    EXPECT_EQ(ByteToBcd(65535), 0x35);
    EXPECT_EQ(IntToBcd(20261206), (BcdNumber{0x06, 0x12, 0x26, 0x20}));
    EXPECT_EQ(IntToBcd(7350), (BcdNumber{0x50, 0x73, 0x00, 0x00}));
    EXPECT_EQ(IntToBcd(4294967295u), (BcdNumber{0x95, 0x72, 0x96, 0x94}));
}

TEST(RegisterPayloads, LogInCarriesCodeDateTimeRateAndFlag)
{
    const Frame::Payload payload = LogIn(7350, kNewYearsEve, 4, false);
    const std::vector<quint8> expected{0x0E, 0x01, 0x00, 0x50, 0x73, 0x00, 0x00, 0x26,
                                       0x12, 0x31, 0x23, 0x59, 0x58, 0x04, 0x01};
    EXPECT_EQ(Head(payload, 15), expected);
    EXPECT_TRUE(ZeroFrom(payload, 15));
    ExpectChecksumValid(payload);

    EXPECT_EQ(LogIn(7350, kNewYearsEve, 0, true)[14], 0x00);
}

TEST(RegisterPayloads, BroadcastLogInCarriesMarkerAndAddressList)
{
    AddressList addresses{};
    addresses[0] = 12345678;
    addresses[55] = 99;
    const Frame::Payload payload = BroadcastLogIn(kNewYearsEve, 1, kScaleMarker5120, addresses);
    EXPECT_EQ(Head(payload, 7), (std::vector<quint8>{0x0E, 0x01, 0x00, 0, 0, 0, 0}));
    EXPECT_EQ(payload[13], 1);
    EXPECT_EQ(payload[14], 0xA5);
    EXPECT_TRUE(ZeroFrom(payload, 15, 35));
    EXPECT_EQ(std::vector<quint8>(payload.begin() + 35, payload.begin() + 39),
              (std::vector<quint8>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(std::vector<quint8>(payload.begin() + 255, payload.begin() + 259),
              (std::vector<quint8>{0x99, 0x00, 0x00, 0x00}));
    ExpectChecksumValid(payload);
}

TEST(RegisterPayloads, LogOutPacketAndProgramLoad)
{
    const Frame::Payload logOut = LogOut(7350, 1);
    EXPECT_EQ(Head(logOut, 8), (std::vector<quint8>{0x0E, 0x02, 0x00, 0x50, 0x73, 0x00, 0x00, 0x01}));
    EXPECT_TRUE(ZeroFrom(logOut, 8));

    std::array<quint8, Frame::kDataBytes> data{};
    data[2] = 0x10;
    const Frame::Payload status = Packet(14, 16, data);
    EXPECT_EQ(Head(status, 6), (std::vector<quint8>{0x0E, 0x10, 0x00, 0x00, 0x00, 0x10}));
    EXPECT_EQ(status[259], 0x2E);
    EXPECT_EQ(status[260], 0x00);

    data.fill(0xFF);
    const Frame::Payload block = Packet(15, 0x1234, data);
    EXPECT_EQ(Head(block, 3), (std::vector<quint8>{0x0F, 0x34, 0x12}));
    EXPECT_EQ(block[258], 0xFF);
    ExpectChecksumValid(block);

    EXPECT_EQ(Head(ProgramLoad(kBeginProgramLoadSubCode, 0xBEEF), 5),
              (std::vector<quint8>{0x0F, 0x00, 0x00, 0xEF, 0xBE}));
    EXPECT_EQ(ProgramLoad(kEndProgramLoadSubCode, 1)[1], 0x01);
}
