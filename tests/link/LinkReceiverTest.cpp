#include "link/LinkReceiver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Chunk = std::vector<quint8>;

const LinkReceiver::Header kHeader{0x8E, 0x90, 0x80};

Chunk ValidFrame(quint8 fill = 0x80)
{
    Chunk frame(Frame::kFrameBytes, fill);
    frame[0] = Frame::kStartByte;
    frame[1] = kHeader[0];
    frame[2] = kHeader[1];
    frame[3] = kHeader[2];
    frame[Frame::kEndOffset] = Frame::kEndByte;
    return frame;
}

LinkReceiver FrameReceiver()
{
    LinkReceiver receiver;
    receiver.SetMode(LinkReceiver::Mode::Frame);
    receiver.SetExpectedHeader(kHeader);
    receiver.Reset();
    return receiver;
}

Chunk Join(const Chunk& a, const Chunk& b)
{
    Chunk out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

} // namespace

TEST(LinkReceiver, AckModeTakesTheFirstAcknowledgementByteOfAChunk)
{
    LinkReceiver receiver;
    receiver.SetMode(LinkReceiver::Mode::Ack);

    receiver.Reset();
    EXPECT_TRUE(receiver.Feed(Chunk{0x41, 0x02, 0x55}));
    EXPECT_EQ(receiver.AckByte(), 0x02);
    ASSERT_EQ(receiver.CompletedBlock().size(), 1u);
    EXPECT_EQ(receiver.CompletedBlock()[0], 0x02);

    receiver.Reset();
    EXPECT_TRUE(receiver.Feed(Chunk{0x41, 0x55, 0x02}));
    EXPECT_EQ(receiver.AckByte(), 0x55);

    receiver.Reset();
    EXPECT_FALSE(receiver.Feed(Chunk{0x41, 0x03, 0xFF}));
    EXPECT_EQ(receiver.GetState(), LinkReceiver::State::Receiving);
    EXPECT_EQ(receiver.AckByte(), 0);
    EXPECT_TRUE(receiver.CompletedBlock().empty());
}

TEST(LinkReceiver, NothingChangesOnceCompleteUntilReset)
{
    LinkReceiver receiver;
    receiver.SetMode(LinkReceiver::Mode::Ack);
    receiver.Reset();
    EXPECT_EQ(receiver.GetState(), LinkReceiver::State::Idle);
    ASSERT_TRUE(receiver.Feed(Chunk{0x02}));
    EXPECT_FALSE(receiver.Feed(Chunk{0x55}));
    EXPECT_EQ(receiver.AckByte(), 0x02);

    receiver.Reset();
    EXPECT_EQ(receiver.GetState(), LinkReceiver::State::Idle);
    EXPECT_EQ(receiver.AckByte(), 0);
}

TEST(LinkReceiver, FrameSplitOverManyChunksIsCollectedAsOne)
{
    LinkReceiver receiver = FrameReceiver();
    Chunk frame = ValidFrame();
    frame[150] = 0xC8;
    const Chunk noise{0xFF, 0x02, 0x55, 0x04};
    EXPECT_FALSE(receiver.Feed(noise));
    for (std::size_t i = 0; i + 1 < frame.size(); i += 7) {
        const std::size_t end = std::min(i + 7, frame.size() - 1);
        EXPECT_FALSE(receiver.Feed(std::span<const quint8>(frame.data() + i, end - i)));
    }
    EXPECT_TRUE(receiver.Feed(std::span<const quint8>(&frame.back(), 1)));
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), receiver.FrameBytes().begin()));
    EXPECT_EQ(receiver.CompletedBlock().size(), Frame::kFrameBytes);
    EXPECT_EQ(receiver.AckByte(), 0);
}

TEST(LinkReceiver, WrongHeaderByteNeverCompletes)
{
    for (std::size_t position = 1; position <= 3; ++position) {
        LinkReceiver receiver = FrameReceiver();
        Chunk frame = ValidFrame();
        frame[position] = 0x81;
        EXPECT_FALSE(receiver.Feed(frame)) << "header byte " << position;
        EXPECT_FALSE(receiver.IsComplete());
    }
}

TEST(LinkReceiver, StrayStartByteRestartsTheCollection)
{
    LinkReceiver receiver = FrameReceiver();
    const Chunk frame = ValidFrame(0x9A);
    EXPECT_FALSE(receiver.Feed(std::span<const quint8>(frame.data(), 120)));
    EXPECT_EQ(receiver.Position(), 120u);
    EXPECT_FALSE(receiver.Feed(Chunk{Frame::kStartByte}));
    EXPECT_EQ(receiver.Position(), 1u);
    EXPECT_TRUE(receiver.Feed(std::span<const quint8>(frame.data() + 1, frame.size() - 1)));
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), receiver.FrameBytes().begin()));
}

TEST(LinkReceiver, BodyByteWithoutTopBitRestartsTheSearch)
{
    for (const std::size_t position : {std::size_t{4}, std::size_t{200}, std::size_t{299}}) {
        LinkReceiver receiver = FrameReceiver();
        Chunk broken = ValidFrame();
        broken[position] = 0x41;
        EXPECT_FALSE(receiver.Feed(broken)) << position;
        EXPECT_EQ(receiver.Position(), 0u);
        EXPECT_TRUE(receiver.Feed(ValidFrame())) << position;
    }
}

TEST(LinkReceiver, WrongEndByteIsNotAFrame)
{
    LinkReceiver receiver = FrameReceiver();
    Chunk frame = ValidFrame();
    frame[Frame::kEndOffset] = 0x84;
    EXPECT_FALSE(receiver.Feed(frame));
    EXPECT_EQ(receiver.Position(), 0u);
}

TEST(LinkReceiver, BytesAfterTheEndByteAreDropped)
{
    LinkReceiver receiver = FrameReceiver();
    const Chunk first = ValidFrame(0x81);
    const Chunk second = ValidFrame(0xFE);
    EXPECT_TRUE(receiver.Feed(Join(Join(first, Chunk{0xFF}), second)));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), receiver.FrameBytes().begin()));
    EXPECT_EQ(receiver.Position(), 0u);
    EXPECT_FALSE(receiver.Feed(second));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), receiver.FrameBytes().begin()));
}
