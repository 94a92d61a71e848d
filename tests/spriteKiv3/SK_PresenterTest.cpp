// Presenter timing: frames stepped by their durations, loops, ends,
// directions, transforms, and the presenter that is not ready.

#include "CColor.h"
#include "SK_Presenter.h"
#include "SpriteFixture.h"

namespace spritetest {
namespace {

// Set 0, animation 0: frames of 100 and 200 ms.
constexpr uint32_t kTwoFrames = 0;
constexpr uint32_t kMirrorOnly = 1;  // allows transforms 0 and 2
constexpr uint32_t kEmptyPicture = 2;
constexpr uint32_t kTimeless = 3;

class SpritePresenterTest : public SpriteTest {
protected:
    void SetUp() override {
        SpriteTest::SetUp();
        LoadStandard();
        ASSERT_TRUE(Prepare(0, 0));
        m_presenter.SetSprite(0, 0);
    }

    struct State {
        int32_t frame;
        int32_t time;
        int32_t frameStart;
        int32_t frameEnd;
    };
    void ExpectState(const State& state) const {
        EXPECT_EQ(m_presenter.GetFrame(), state.frame);
        EXPECT_EQ(m_presenter.GetTime(), state.time);
        EXPECT_EQ(m_presenter.GetFrameStart(), state.frameStart);
        EXPECT_EQ(m_presenter.GetFrameEnd(), state.frameEnd);
    }

    SK_Presenter m_presenter;
};

TEST_P(SpritePresenterTest, LoopingWrapsWithoutReportingAnEnd) {
    m_presenter.SetAnimation(kTwoFrames, 0, true);
    ASSERT_TRUE(m_presenter.IsReady());
    EXPECT_EQ(m_presenter.GetTotalDuration(), 300);
    EXPECT_EQ(m_presenter.GetFrameCount(), 2);
    EXPECT_FALSE(m_presenter.Tick(250));
    ExpectState({1, 250, 100, 300});
    EXPECT_EQ(m_presenter.GetFrameElapsed(), 150);
    EXPECT_EQ(m_presenter.GetFrameDuration(), 200);
    EXPECT_FALSE(m_presenter.Tick(100));
    ExpectState({0, 50, 0, 100});
    // Several wraps in one tick, and a tick of many thousand cycles.
    EXPECT_FALSE(m_presenter.Tick(950));
    ExpectState({1, 100, 100, 300});
    EXPECT_FALSE(m_presenter.Tick(30000000));
    ExpectState({1, 100, 100, 300});
    EXPECT_FALSE(m_presenter.IsFinished());
}

TEST_P(SpritePresenterTest, AOneShotEndsOnceAndStays) {
    m_presenter.SetAnimation(kTwoFrames, 0, false);
    EXPECT_TRUE(m_presenter.Tick(400));
    ExpectState({1, 300, 100, 300});
    EXPECT_TRUE(m_presenter.IsFinished());
    EXPECT_FALSE(m_presenter.Tick(10));
    ExpectState({1, 300, 100, 300});
    m_presenter.RestartAnimation();
    ExpectState({0, 0, 0, 100});
    EXPECT_FALSE(m_presenter.IsFinished());
}

TEST_P(SpritePresenterTest, BackwardsRunsFromTheEndToTheStart) {
    m_presenter.SetAnimation(kTwoFrames, 0, false);
    m_presenter.SetDirection(-1);
    EXPECT_FALSE(m_presenter.IsForward());
    ExpectState({1, 300, 300, 100});
    EXPECT_FALSE(m_presenter.Tick(250));
    ExpectState({0, 50, 100, 0});
    EXPECT_EQ(m_presenter.GetFrameElapsed(), 50);
    EXPECT_TRUE(m_presenter.Tick(60));
    ExpectState({0, 0, 100, 0});
    EXPECT_TRUE(m_presenter.IsFinished());
    m_presenter.SetLoop(true);
    m_presenter.SetDirection(-1);
    EXPECT_FALSE(m_presenter.Tick(320));
    ExpectState({1, 280, 300, 100});
}

TEST_P(SpritePresenterTest, ReverseTurnsAroundWhereItStands) {
    m_presenter.SetAnimation(kTwoFrames, 0, false);
    m_presenter.Tick(150);
    m_presenter.Reverse();
    EXPECT_FALSE(m_presenter.IsForward());
    ExpectState({1, 150, 300, 100});
    EXPECT_FALSE(m_presenter.Tick(60));
    ExpectState({0, 90, 100, 0});
    m_presenter.ReverseAndRestart();
    EXPECT_FALSE(m_presenter.IsForward());
    ExpectState({0, 0, 100, 0});
}

TEST_P(SpritePresenterTest, SeekAndZeroTicks) {
    m_presenter.SetAnimation(kTwoFrames, 0, true);
    m_presenter.SeekFrame(1);
    ExpectState({1, 100, 100, 300});
    EXPECT_FALSE(m_presenter.Tick(0));
    ExpectState({1, 100, 100, 300});
    m_presenter.SetDirection(-1);
    m_presenter.SeekFrame(0);
    ExpectState({0, 100, 100, 0});
}

TEST_P(SpritePresenterTest, TransformsTheAnimationDoesNotAllowAreRefused) {
    m_presenter.SetAnimation(kMirrorOnly, 2, true);
    EXPECT_EQ(m_presenter.GetTransform(), 2);
    EXPECT_EQ(m_presenter.GetAnimation(), kMirrorOnly);
    EXPECT_EQ(m_presenter.GetTotalDuration(), 4);
    m_presenter.SetTransform(0);
    EXPECT_EQ(m_presenter.GetTransform(), 0);
    EXPECT_EQ(m_asserts.Count(), 0);
    m_presenter.SetTransform(1);
    EXPECT_EQ(m_presenter.GetTransform(), 0);
    m_presenter.SetTransform(4);
    EXPECT_EQ(m_presenter.GetTransform(), 0);
    EXPECT_EQ(m_asserts.Count(), 2);
    m_presenter.SetAnimation(kTwoFrames, 7, true);
    EXPECT_EQ(m_presenter.GetTransform(), 7);
}

TEST_P(SpritePresenterTest, AnAnimationTheSetLacksIsRefused) {
    m_presenter.SetAnimation(kTwoFrames, 0, true);
    m_presenter.Tick(150);
    m_presenter.SetAnimation(4, 0, false);
    EXPECT_GT(m_asserts.Count(), 0);
    EXPECT_TRUE(m_asserts.Logged("animation 4 of set 0, sprite 0 cannot be played"));
    EXPECT_TRUE(m_presenter.IsReady());
    EXPECT_EQ(m_presenter.GetAnimation(), kTwoFrames);
    ExpectState({1, 150, 100, 300});
}

TEST_P(SpritePresenterTest, ATimelessLoopStandsStill) {
    m_presenter.SetAnimation(kTimeless, 0, true);
    EXPECT_FALSE(m_presenter.Tick(10));
    EXPECT_EQ(m_presenter.GetTime(), 0);
    m_presenter.SetLoop(false);
    EXPECT_FALSE(m_presenter.Tick(10));
    EXPECT_TRUE(m_presenter.IsFinished());
}

TEST_P(SpritePresenterTest, ANotReadyPresenterDoesNothing) {
    SK_Presenter fresh(1, 0);
    fresh.SetOffset(3, -2);
    EXPECT_FALSE(fresh.IsReady());
    fresh.SetAnimation(0, 0, true);
    EXPECT_FALSE(fresh.IsReady());
    EXPECT_FALSE(fresh.Tick(100));
    fresh.Draw(10, 10);
    CRect rect;
    fresh.GetFrameRect(&rect);
    EXPECT_EQ(rect.x, static_cast<int16_t>(32767 + 3));
    EXPECT_EQ(rect.y, 32767 - 2);
    CRect probe;
    probe.Set(-100, -100, 200, 200);
    EXPECT_EQ(fresh.HitTest(probe), -1);
    EXPECT_FALSE(fresh.ComputeMainBox());
    EXPECT_FALSE(fresh.ComputeBox(2));
    uint8_t set = 9;
    uint8_t sprite = 9;
    fresh.GetSetAndSprite(set, sprite);
    EXPECT_EQ(set, 1);
    EXPECT_EQ(sprite, 0);
    ExpectFrame({});
}

// Releasing the sprite unloads its set under the presenter: it stops being
// ready instead of reading what was freed.
TEST_P(SpritePresenterTest, ReleasingTheSpriteLeavesThePresenterNotReady) {
    m_presenter.SetAnimation(kTwoFrames, 0, true);
    m_presenter.Tick(150);
    Home()->ReleaseSprite(0, 0);
    ASSERT_FALSE(Home()->IsSetLoaded(0));
    EXPECT_FALSE(m_presenter.IsReady());
    EXPECT_FALSE(m_presenter.Tick(100));
    m_presenter.Draw(20, 20);
    ExpectFrame({});
    ASSERT_TRUE(Prepare(0, 0));
    EXPECT_TRUE(m_presenter.IsReady());
    EXPECT_FALSE(m_presenter.Tick(100));
    EXPECT_EQ(m_presenter.GetTime(), 250);
}

TEST_P(SpritePresenterTest, AnEmptyPictureHasTheEmptyRectangle) {
    m_presenter.SetAnimation(kEmptyPicture, 0, true);
    CRect rect;
    m_presenter.GetFrameRect(&rect);
    EXPECT_EQ(rect.x, 32767);
    EXPECT_EQ(rect.y, 32767);
    EXPECT_FALSE(m_presenter.ComputeMainBox());
    m_presenter.Draw(20, 20);
    ExpectFrame({});
}

INSTANTIATE_TEST_SUITE_P(Formats, SpritePresenterTest, ::testing::Values(RSBFormat_R5G6B5), FormatName);

}  // namespace
}  // namespace spritetest
