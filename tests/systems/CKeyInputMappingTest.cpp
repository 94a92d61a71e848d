#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CKeyInputMapping.h"
#include "CMessage.h"
#include "HostClock.h"

#include "TestApplication.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kInputRegistryId = 0x80000AAA;
constexpr uint32_t kGameMessage = 0x5555;
constexpr uint32_t kKey = 11;

struct Received : CClass {
    std::vector<uint32_t> keys;
};

bool Collect(CEvent* message, CEventListener* listener) {
    const CMessage* typed = static_cast<const CMessage*>(message);
    static_cast<Received*>(listener->GetOwner())->keys.push_back(typed->GetParam(0).value);
    return true;
}

class KeyInputMappingTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostClock::UseVirtual(0, 0);
        ASSERT_EQ(m_app.Init(), 0);
        CExecutableRegistry* tickerRegistry = m_app.Ticker()->GetRegistry();
        m_inputItem = tickerRegistry->NewItem(kInputRegistryId, &m_inputs, 0, 0x3FFFFFFF);
        tickerRegistry->Register(m_inputItem);
        m_listener.Bind(0x80000BBB, &m_received, Collect);
        CEventListener::Listen(&m_listener, kGameMessage, 0x3FFFFFFF);
        m_app.Ticker()->OnStart();
    }

    void TearDown() override {
        CKeyInputMapping::RemoveAllMappings(kInputRegistryId);
        m_app.Ticker()->GetRegistry()->Unregister(m_inputItem);
        delete m_inputItem;
        HostClock::UseMonotonic();
    }

    void Send(uint32_t id, uint32_t key) {
        CExecutable::Update(new CMessage(nullptr, id, 0, {CMessageParam::Integer(key)}));
    }

    // One frame; posted messages go out in the following frame's pass, so
    // a second frame flushes them.
    void Frame(uint32_t ms) {
        HostClock::Advance(ms);
        m_app.RunFrame();
    }

    size_t FramesUntilFirst(uint32_t ms, int limit) {
        for (int frame = 1; frame <= limit; ++frame) {
            Frame(ms);
            if (!m_received.keys.empty()) return static_cast<size_t>(frame);
        }
        return 0;
    }

    TestApplication m_app;
    CExecutableRegistry m_inputs;
    CRegistryItem* m_inputItem = nullptr;
    Received m_received;
    CEventListener m_listener;
};

TEST_F(KeyInputMappingTest, PressOnlyPostsOncePerPressEvent) {
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey,
                                             CKeyInputMapping::kPostOnPress, 500, 100, true));
    Send(CKeyInputMapping::kKeyPressed, kKey);
    for (int frame = 0; frame < 30; ++frame) Frame(40);
    Send(CKeyInputMapping::kKeyReleased, kKey);
    Frame(40);
    EXPECT_EQ(m_received.keys, std::vector<uint32_t>{kKey});
}

TEST_F(KeyInputMappingTest, RepeatStartsAfterTheDelayAndFollowsTheInterval) {
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey,
                                             CKeyInputMapping::kRepeatWhileHeld, 500, 100, true));
    Send(CKeyInputMapping::kKeyPressed, kKey);
    // heldMs counts 40 per frame from the first frame; the first post is
    // made in the first frame where heldMs > 500 (frame 13, 520 ms) and is
    // delivered by the next frame's pass.
    EXPECT_EQ(FramesUntilFirst(40, 40), 14u);
    // Then one more every 100 ms of held time past the first.
    const size_t before = m_received.keys.size();
    for (int frame = 0; frame < 10; ++frame) Frame(40);
    EXPECT_EQ(m_received.keys.size() - before, 4u);
}

TEST_F(KeyInputMappingTest, ALongFramePostsEveryIntervalItCovered) {
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey,
                                             CKeyInputMapping::kRepeatWhileHeld, 500, 100, true));
    Send(CKeyInputMapping::kKeyPressed, kKey);
    Frame(40);
    Frame(1000);
    Frame(0);
    EXPECT_EQ(m_received.keys.size(), 5u);
}

TEST_F(KeyInputMappingTest, ResumeAndOtherKeys) {
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey,
                                             CKeyInputMapping::kRepeatWhileHeld | CKeyInputMapping::kPostOnRelease,
                                             0, 0, true));
    Send(CKeyInputMapping::kKeyPressed, kKey);
    Send(CKeyInputMapping::kKeyReleased, kKey + 1);
    Frame(40);
    Frame(40);
    Frame(40);
    EXPECT_FALSE(m_received.keys.empty());
    Send(CKeyInputMapping::kAppResume, 0);
    Frame(40);
    const size_t afterResume = m_received.keys.size();
    for (int frame = 0; frame < 5; ++frame) Frame(40);
    EXPECT_EQ(m_received.keys.size(), afterResume);
}

TEST_F(KeyInputMappingTest, RemoveMappingDeletesOnlyMatchingMappings) {
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey, 1, 0, 0, false));
    ASSERT_TRUE(CKeyInputMapping::AddMapping(kInputRegistryId, kGameMessage, kKey + 1, 1, 0, 0, false));
    CKeyInputMapping::RemoveMapping(kInputRegistryId, 0, kKey);
    Send(CKeyInputMapping::kKeyPressed, kKey);
    Send(CKeyInputMapping::kKeyPressed, kKey + 1);
    Frame(40);
    Frame(40);
    EXPECT_EQ(m_received.keys, std::vector<uint32_t>{kKey + 1});
    EXPECT_FALSE(CKeyInputMapping::AddMapping(0x80000CCC, kGameMessage, kKey, 1, 0, 0, false));
}

}  // namespace
