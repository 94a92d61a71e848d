#include "CEventQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void ExpectEvent(const CEventQueue& queue, int32_t index, uint32_t id, uint32_t arg1, uint32_t arg2) {
    CAppEvent event;
    event.id = 0xDEAD;
    queue.GetAt(&event, index);
    EXPECT_EQ(event.id, id) << "index " << index;
    EXPECT_EQ(event.arg1, arg1) << "index " << index;
    EXPECT_EQ(event.arg2, arg2) << "index " << index;
}

TEST(CEventQueue, GrowsFrom500ByDoublingAndKeepsTheOrder) {
    CEventQueue queue;
    EXPECT_EQ(queue.GetCapacity(), 0);
    queue.Post(1, 2, 3);
    EXPECT_EQ(queue.GetCapacity(), 500);
    for (uint32_t i = 1; i < 501; ++i) queue.Post(0x8918794C, i, i << 16);
    EXPECT_EQ(queue.GetCapacity(), 1000);
    ASSERT_EQ(queue.GetCount(), 501);
    ExpectEvent(queue, 0, 1, 2, 3);
    for (int32_t i = 1; i < 501; ++i) {
        ExpectEvent(queue, i, 0x8918794C, static_cast<uint32_t>(i), static_cast<uint32_t>(i) << 16);
    }
}

TEST(CEventQueue, ReadsOutsideTheQueueGiveZeroRecords) {
    CEventQueue queue;
    ExpectEvent(queue, 0, 0, 0, 0);
    queue.Post(5, 6, 7);
    queue.Post(8, 9, 10);
    ExpectEvent(queue, 2, 0, 0, 0);
    ExpectEvent(queue, -1, 0, 0, 0);
}

TEST(CEventQueue, EventsPostedDuringAPassGoOutInThatPass) {
    CEventQueue queue;
    queue.Post(1, 0, 0);
    std::vector<uint32_t> delivered;
    for (int32_t i = 0; i < queue.GetCount(); ++i) {
        CAppEvent event;
        queue.GetAt(&event, i);
        delivered.push_back(event.id);
        if (event.id < 3) queue.Post(event.id + 1, 0, 0);
    }
    queue.Reset();
    EXPECT_EQ(delivered, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(queue.GetCount(), 0);
    EXPECT_EQ(queue.GetCapacity(), 500);
    ExpectEvent(queue, 0, 0, 0, 0);
    queue.Post(4, 0, 0);
    ExpectEvent(queue, 0, 4, 0, 0);
    queue.Clear();
    EXPECT_EQ(queue.GetCapacity(), 0);
    EXPECT_EQ(queue.GetCount(), 0);
}

}  // namespace
