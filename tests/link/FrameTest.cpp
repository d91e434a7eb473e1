#include "link/Frame.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Frame::Payload StatusRequest()
{
    Frame::Payload p{};
    p[0] = 0x0E;
    p[1] = 0x10;
    p[5] = 0x10;
    Frame::SetChecksum(p);
    return p;
}

} // namespace

TEST(Frame, StatusRequestEncodesToTheWorkedExample)
{
    const Frame::Payload p = StatusRequest();
    EXPECT_EQ(p[259], 0x2E);
    EXPECT_EQ(p[260], 0x00);

    const Frame::Bytes f = Frame::EncodeFrame(p);
    EXPECT_EQ(f[0], 0x03);
    const quint8 group0[] = {0x8E, 0x90, 0x80, 0x80, 0x80, 0x90, 0x80, 0x80};
    EXPECT_TRUE(std::equal(std::begin(group0), std::end(group0), f.begin() + 1));
    EXPECT_TRUE(std::all_of(f.begin() + 9, f.begin() + 297, [](quint8 b) { return b == 0x80; }));
    EXPECT_EQ(f[297], 0xAE);
    EXPECT_EQ(f[298], 0x80);
    EXPECT_EQ(f[299], 0x80);
    EXPECT_EQ(f[300], 0x04);
}

TEST(Frame, AllZeroAndAllOnesPayloads)
{
    Frame::Payload zero{};
    Frame::SetChecksum(zero);
    const Frame::Bytes fz = Frame::EncodeFrame(zero);
    EXPECT_TRUE(std::all_of(fz.begin() + 1, fz.begin() + 300, [](quint8 b) { return b == 0x80; }));

    Frame::Payload ones;
    ones.fill(0xFF);
    Frame::SetChecksum(ones);
    EXPECT_EQ(ones[259], 0xFD);
    EXPECT_EQ(ones[260], 0x01);
    const Frame::Bytes fo = Frame::EncodeFrame(ones);
    EXPECT_TRUE(std::all_of(fo.begin() + 1, fo.begin() + 297, [](quint8 b) { return b == 0xFF; }));
    EXPECT_EQ(fo[297], 0xFD);
    EXPECT_EQ(fo[298], 0x81);
    EXPECT_EQ(fo[299], 0x81);
}

TEST(Frame, TopBitTravelsInTheGroupByte)
{
    Frame::Payload p{};
    p[9] = 0xC8;
    Frame::SetChecksum(p);
    const Frame::Bytes f = Frame::EncodeFrame(p);
    EXPECT_EQ(f[11], 0xC8);
    EXPECT_EQ(f[16], 0x84);
}

TEST(Frame, DecodeReturnsTheEncodedPayload)
{
    Frame::Payload p{};
    for (std::size_t i = 0; i < Frame::kPayloadBytes; ++i)
        p[i] = static_cast<quint8>(i * 37 + 11);
    Frame::SetChecksum(p);
    bool error = false;
    EXPECT_EQ(Frame::DecodeFrame(Frame::EncodeFrame(p), error), p);
    EXPECT_FALSE(error);
}

TEST(Frame, EveryPayloadBitFlipIsAChecksumError)
{
    Frame::Payload p = StatusRequest();
    const Frame::Bytes good = Frame::EncodeFrame(p);
    for (std::size_t index = 1; index < 300; ++index) {
        for (int bit = 0; bit < 7; ++bit) {
            if (index == 299 && bit > 1)
                continue; // F[299] carries only two bits
            Frame::Bytes bad = good;
            bad[index] ^= static_cast<quint8>(1u << bit);
            bool error = false;
            Frame::DecodeFrame(bad, error);
            EXPECT_TRUE(error) << "byte " << index << " bit " << bit;
        }
    }
}

TEST(Frame, TopBitsOfTheChecksumBytesAreIgnored)
{
    Frame::Payload p{};
    p[0] = 0xFF;
    Frame::SetChecksum(p);
    Frame::Bytes f = Frame::EncodeFrame(p);
    f[297] &= 0x7F;
    f[298] &= 0x7F;
    bool error = false;
    EXPECT_EQ(Frame::DecodeFrame(f, error), p);
    EXPECT_FALSE(error);
}
