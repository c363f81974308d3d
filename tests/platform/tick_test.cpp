#include "platform/tick.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(TickTest, AdvancesWithTime) {
    const uint32_t start = platform::TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint32_t elapsed = platform::TickCount() - start;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 2000u);
}

TEST(TickTest, ReachedIsSafeAcrossTheWrap) {
    struct Case {
        uint32_t now, deadline;
        bool reached;
    };
    const Case cases[] = {
        {100, 100, true},        {99, 100, false},          {101, 100, true},
        {5, 0xFFFFFFF0u, true},  {0xFFFFFFF0u, 5, false},   {0x7FFFFFFFu, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::TickReached(c.now, c.deadline), c.reached) << c.now << " " << c.deadline;
    }
}
