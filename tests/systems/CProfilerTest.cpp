#include "CProfiler.h"
#include "CTimedExecutableRegistry.h"
#include "HostClock.h"

#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

class ProfilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostClock::UseVirtual(0, 0);
        ASSERT_EQ(m_app.Init(), 0);
    }
    void TearDown() override { HostClock::UseMonotonic(); }

    TestApplication m_app;
};

TEST_F(ProfilerTest, TimersNestUnderTheCurrentOneAndHistoryDropsTheOldest) {
    CProfiler profiler;
    ASSERT_TRUE(profiler.AddProfile(10, nullptr, nullptr, 8, true, 2));
    CTimedExecutableRegistry* outer = profiler.GetTimer(1, 0, 0, 0, nullptr);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(profiler.GetTimer(1, 0, 0, 0, nullptr), outer);
    profiler.SetCurrent(outer);
    CTimedExecutableRegistry* inner = profiler.GetTimer(2, 0, 0, 0, nullptr);
    CTimedExecutableRegistry* innermost = nullptr;
    profiler.SetCurrent(inner);
    innermost = profiler.GetTimer(3, 0, 0, 0, nullptr);
    EXPECT_EQ(outer->GetDepth(), 0);
    EXPECT_EQ(inner->GetDepth(), 1);
    EXPECT_EQ(innermost->GetDepth(), 2);
    EXPECT_EQ(inner->GetParent(), outer);
    CRegistryItem* found = nullptr;
    EXPECT_TRUE(outer->Find(0, 2, &found));
    EXPECT_FALSE(profiler.Find(0, 2, &found));
    ASSERT_EQ(profiler.GetHistorySize(), 2u);
    EXPECT_EQ(profiler.GetHistory()[0].key, 3u);
    EXPECT_EQ(profiler.GetHistory()[1].key, 2u);
    profiler.Clear();
    EXPECT_EQ(profiler.GetHistorySize(), 0u);
    EXPECT_TRUE(profiler.IsEmpty());
}

int g_liveTimers = 0;

class CountedTimer : public CTimedExecutableRegistry {
public:
    CountedTimer() : CTimedExecutableRegistry(0, 0, 0, 1000) { ++g_liveTimers; }
    ~CountedTimer() override { --g_liveTimers; }
};

CTimedExecutableRegistry* MakeCountedTimer(uint32_t, uint32_t, uint32_t) { return new CountedTimer(); }

TEST_F(ProfilerTest, StartingAgainDropsTheTimersOfTheLastProfile) {
    {
        CProfiler profiler;
        ASSERT_TRUE(profiler.AddProfile(10, nullptr, nullptr, 8, true, 2));
        profiler.GetTimer(1, 0, 0, 0, MakeCountedTimer);
        profiler.GetTimer(2, 0, 0, 0, MakeCountedTimer);
        ASSERT_TRUE(profiler.AddProfile(10, nullptr, nullptr, 8, true, 0));
        EXPECT_EQ(g_liveTimers, 0);
        EXPECT_TRUE(profiler.IsEmpty());
        EXPECT_EQ(profiler.GetHistorySize(), 0u);
        profiler.GetTimer(1, 0, 0, 0, MakeCountedTimer);
        EXPECT_EQ(g_liveTimers, 1);
    }
    EXPECT_EQ(g_liveTimers, 0);
}

TEST_F(ProfilerTest, SampleDerivesTheRateAndReloadsTheCountdown) {
    CTimedExecutableRegistry timer(0, 5, 0, 700);
    for (int i = 0; i < 50; ++i) timer.CountEvent();
    timer.Sample();
    EXPECT_EQ(timer.GetRate(), 0x8000);  // 50 / 100
    EXPECT_EQ(timer.GetLastCount(), 50);
    EXPECT_EQ(timer.GetCount(), 0);
    EXPECT_EQ(timer.GetCountdown(), 700);
    timer.CountEvent();
    timer.Sample();
    EXPECT_EQ(timer.GetCountdown(), 700);  // below b: no reload
}

TEST_F(ProfilerTest, FrozenProfilerWithoutSamplingRunsNothing) {
    CProfiler profiler;
    ASSERT_TRUE(profiler.AddProfile(10, nullptr, nullptr, 8, true, 0));
    CTimedExecutableRegistry* timer = profiler.GetTimer(1, 0, 0, 0, nullptr);
    timer->CountEvent();
    m_app.Ticker()->SetTimeFrozen(true);
    profiler.Execute();
    EXPECT_EQ(timer->GetCount(), 1);
    m_app.Ticker()->SetTimeFrozen(false);
    profiler.Execute();
    EXPECT_EQ(timer->GetCount(), 0);
    EXPECT_EQ(timer->GetLastCount(), 1);
    EXPECT_EQ(CProfiler::GetSamplingMode(), 0u);
}

}  // namespace
