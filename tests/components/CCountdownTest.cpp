#include "CCountdown.h"
#include "CRuntime.h"
#include "HostClock.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(CCountdown, RepeatingCountdownReportsEveryExpiry) {
    CCountdown countdown;
    countdown.Start(100, true);
    EXPECT_EQ(countdown.Update(250), 2u);
    EXPECT_EQ(countdown.GetRemaining(), 50);
    EXPECT_TRUE(countdown.IsActive());
    EXPECT_EQ(countdown.Update(50), 1u);  // reaching 0 exactly is an expiry
    EXPECT_EQ(countdown.GetRemaining(), 100);
    EXPECT_EQ(countdown.Update(99), 0u);
    EXPECT_EQ(countdown.GetRemaining(), 1);
}

TEST(CCountdown, OneShotExpiresOnceAndStopHaltsIt) {
    CCountdown countdown;
    EXPECT_FALSE(countdown.IsActive());
    EXPECT_EQ(countdown.Update(1000), 0u);
    countdown.Start(100, false);
    EXPECT_EQ(countdown.Update(250), 1u);
    EXPECT_FALSE(countdown.IsActive());
    EXPECT_EQ(countdown.GetRemaining(), -150);
    EXPECT_EQ(countdown.Update(250), 0u);
    countdown.Start(0, true);  // no interval to repeat with
    EXPECT_EQ(countdown.Update(0), 1u);
    EXPECT_FALSE(countdown.IsActive());
    countdown.Start(10, true);
    countdown.Stop();
    EXPECT_EQ(countdown.Update(100), 0u);
    EXPECT_EQ(countdown.GetRemaining(), 10);
}

TEST(CCountdown, LongStallCountsEveryExpiryAtOnce) {
    // Expiries at 1, 2, ..., INT32_MAX ms; the next would be one ms later.
    CCountdown countdown;
    countdown.Start(1, true);
    EXPECT_EQ(countdown.Update(INT32_MAX), static_cast<uint32_t>(INT32_MAX));
    EXPECT_EQ(countdown.GetRemaining(), 1);
    countdown.Start(INT32_MIN, false);
    EXPECT_EQ(countdown.Update(INT32_MAX), 1u);
    EXPECT_EQ(countdown.GetRemaining(), INT32_MIN);
}

TEST(CCountdown, FollowsTheTickCountAcrossItsWrap) {
    HostClock::UseVirtual(0xFFFFFF00u, 0);
    CCountdown countdown;
    countdown.Start(300, true);
    uint32_t last = GetTickCountMs();
    uint32_t expiries = 0;
    for (int frame = 0; frame < 6; ++frame) {  // 384 ms, the wrap after 256
        HostClock::Advance(64);
        const uint32_t now = GetTickCountMs();
        expiries += countdown.Update(static_cast<int32_t>(now - last));
        last = now;
    }
    HostClock::UseMonotonic();
    EXPECT_LT(last, 0x100u);
    EXPECT_EQ(expiries, 1u);
    EXPECT_EQ(countdown.GetRemaining(), 300 - 384 + 300);
}

}  // namespace
