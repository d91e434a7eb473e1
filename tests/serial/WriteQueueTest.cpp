#include "serial/WriteQueue.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace {

bool WakeFdReadable(const TWriteQueue& queue)
{
    pollfd fd{queue.WakeFd(), POLLIN, 0};
    return ::poll(&fd, 1, 0) == 1;
}

} // namespace

TEST(WriteQueueTest, BlocksLeaveInOrderAndTheWakeDescriptorFollowsTheQueue)
{
    TWriteQueue queue;
    EXPECT_FALSE(WakeFdReadable(queue));
    ASSERT_TRUE(queue.Push("one"));
    ASSERT_TRUE(queue.Push("two"));
    EXPECT_TRUE(WakeFdReadable(queue));
    EXPECT_EQ(queue.TryPop(), QByteArray("one"));
    EXPECT_EQ(queue.TryPop(), QByteArray("two"));
    EXPECT_EQ(queue.TryPop(), std::nullopt);
    EXPECT_FALSE(WakeFdReadable(queue));
}

// The caller may write directly only when nothing it wrote before could still
// be on its way: no block waiting, none being written or drained.
TEST(WriteQueueTest, TheLineIsClaimedOnlyWhenNothingIsWaitingOrBeingWritten)
{
    TWriteQueue queue;
    EXPECT_TRUE(queue.ClaimIdleLine());
    EXPECT_FALSE(queue.ClaimIdleLine()) << "claimed twice";

    // The claimer hands what is left to the thread, which finishes it.
    ASSERT_TRUE(queue.Push(""));
    EXPECT_TRUE(WakeFdReadable(queue));
    EXPECT_EQ(queue.TryPop(), QByteArray(""));
    EXPECT_FALSE(queue.ClaimIdleLine()) << "the thread is still draining the block";
    EXPECT_EQ(queue.TryPop(), std::nullopt);
    EXPECT_TRUE(queue.ClaimIdleLine());
}

TEST(WriteQueueTest, AWaitingBlockOrAClosedQueueKeepsTheLine)
{
    TWriteQueue queue;
    ASSERT_TRUE(queue.Push("waiting"));
    EXPECT_FALSE(queue.ClaimIdleLine());

    TWriteQueue closed;
    closed.Close();
    EXPECT_FALSE(closed.ClaimIdleLine());
    EXPECT_FALSE(closed.Push("late"));
}
