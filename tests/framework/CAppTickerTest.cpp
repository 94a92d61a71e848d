#include "CAppTicker.h"
#include "HostClock.h"

#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

class AppTickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostClock::UseVirtual(0xFFFFF000u, 0);
        ASSERT_EQ(m_app.Init(), 0);
        m_ticker = m_app.Ticker();
    }
    void TearDown() override { HostClock::UseMonotonic(); }

    void Frame(uint32_t ms) {
        HostClock::Advance(ms);
        m_ticker->Tick();
    }

    TestApplication m_app;
    TestTicker* m_ticker = nullptr;
};

TEST_F(AppTickerTest, MeasuresFramesAcrossTheWrapAndCapsTheStep) {
    m_ticker->OnStart();
    EXPECT_EQ(m_ticker->GetState(), CAppTicker::kRunning);
    Frame(40);
    EXPECT_EQ(m_ticker->GetFrameMs(), 40);
    EXPECT_EQ(m_ticker->GetFrameSeconds(), 0x0A3D);
    Frame(5000);  // crosses the 32-bit wrap of the tick count
    EXPECT_EQ(m_ticker->GetFrameMs(), 1000);
    EXPECT_EQ(m_ticker->GetFrameSeconds(), 0x10000);
    Frame(0);
    EXPECT_EQ(m_ticker->GetFrameMs(), 0);
    EXPECT_EQ(m_ticker->GetFrameSeconds(), 0);
}

TEST_F(AppTickerTest, AFrameAfterResumeOnlyPaintsAndTimeRestartsThere) {
    m_ticker->OnStart();
    const int updates = m_ticker->updates;
    const int paints = m_ticker->paints;
    m_ticker->OnPause();
    EXPECT_EQ(m_ticker->GetState(), CAppTicker::kPaused);
    HostClock::Advance(3000);
    m_ticker->OnResume();
    EXPECT_EQ(m_ticker->updates, updates);
    EXPECT_EQ(m_ticker->paints, paints);
    Frame(40);  // the resume's frame: paint only
    EXPECT_EQ(m_ticker->updates, updates);
    EXPECT_EQ(m_ticker->paints, paints + 1);
    Frame(40);  // measured from the resume stamp
    EXPECT_EQ(m_ticker->GetFrameMs(), 80);
    EXPECT_EQ(m_ticker->updates, updates + 1);
}

TEST_F(AppTickerTest, QuittingAndPausedStatesMeasureButRunNothing) {
    m_ticker->OnStart();
    const int updates = m_ticker->updates;
    m_ticker->OnQuit();
    Frame(20);
    EXPECT_EQ(m_ticker->GetFrameMs(), 20);
    EXPECT_EQ(m_ticker->updates, updates);
    EXPECT_EQ(m_ticker->GetState(), CAppTicker::kQuitting);
}

}  // namespace
