#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CIdAllocator.h"
#include "CMessage.h"
#include "HostClock.h"

#include "AssertCounter.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kMessageId = 0x1234;

struct Recorder : CClass {
    std::vector<std::string> calls;
    bool answer = false;
};

bool Record(CEvent* message, CEventListener* listener) {
    Recorder* recorder = static_cast<Recorder*>(listener->GetOwner());
    recorder->calls.push_back(std::to_string(listener->GetNameKey()) + ":" + std::to_string(message->GetId()));
    return recorder->answer;
}

class Counter : public CExecutable {
public:
    explicit Counter(int* fired) : m_fired(fired) {}
    void Execute() override { ++*m_fired; }

private:
    int* m_fired;
};

class MessagingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_app.Init(), 0); }

    void FrameOf(uint32_t ms) {
        HostClock::Advance(ms);
        m_app.RunFrame();
    }

    TestApplication m_app;
};

TEST_F(MessagingTest, ReachesEveryListenerInPriorityThenListeningOrder) {
    Recorder recorder;
    recorder.answer = true;
    CEventListener first, second, urgent;
    first.Bind(0x80000001, &recorder, Record);
    second.Bind(0x80000002, &recorder, Record);
    urgent.Bind(0x80000003, &recorder, Record);
    ASSERT_TRUE(CEventListener::Listen(&first, kMessageId, 0x3FFFFFFF));
    ASSERT_TRUE(CEventListener::Listen(&second, kMessageId, 0x3FFFFFFF));
    ASSERT_TRUE(CEventListener::Listen(&urgent, kMessageId, 0x40000000));
    CMessage* message = new CMessage(nullptr, kMessageId, 0, {CMessageParam::Integer(5)});
    EXPECT_EQ(CExecutable::Update(message), CExecutable::kDeleted);
    const std::string id = std::to_string(kMessageId);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{std::to_string(0x80000003) + ":" + id,
                                                        std::to_string(0x80000001) + ":" + id,
                                                        std::to_string(0x80000002) + ":" + id}));
}

TEST_F(MessagingTest, TargetReachesOnlyItsListener) {
    Recorder recorder;
    CEventListener a, b;
    a.Bind(0x80000001, &recorder, Record);
    b.Bind(0x80000002, &recorder, Record);
    CEventListener::Listen(&a, kMessageId, 0x3FFFFFFF);
    CEventListener::Listen(&b, kMessageId, 0x3FFFFFFF);
    CExecutable::Update(new CMessage(nullptr, kMessageId, 0x80000002, {}));
    EXPECT_EQ(recorder.calls.size(), 1u);
    CExecutable::Update(new CMessage(nullptr, kMessageId, 0x80000009, {}));
    EXPECT_EQ(recorder.calls.size(), 1u);
}

bool ListenAnother(CEvent*, CEventListener* listener);

struct Joiner : CClass {
    CEventListener late;
    Recorder recorder;
};

bool ListenAnother(CEvent*, CEventListener* listener) {
    Joiner* joiner = static_cast<Joiner*>(listener->GetOwner());
    if (joiner->late.GetNameKey() == 0) {
        joiner->late.Bind(0x80000007, &joiner->recorder, Record);
        CEventListener::Listen(&joiner->late, kMessageId, 0);
    }
    return false;
}

TEST_F(MessagingTest, ListenersAddedDuringDeliveryBehindTheCurrentOneAreReached) {
    Joiner joiner;
    CEventListener trigger;
    trigger.Bind(0x80000006, &joiner, ListenAnother);
    CEventListener::Listen(&trigger, kMessageId, 0x3FFFFFFF);
    CExecutable::Update(new CMessage(nullptr, kMessageId, 0, {}));
    EXPECT_EQ(joiner.recorder.calls.size(), 1u);
}

TEST_F(MessagingTest, UnlistenAllRemovesEveryRegistrationAndEmptyRegistries) {
    Recorder recorder;
    {
        CEventListener twice;
        twice.Bind(0x80000001, &recorder, Record);
        CEventListener::Listen(&twice, kMessageId, 0x3FFFFFFF);
        CEventListener::Listen(&twice, kMessageId, 0x3FFFFFFF);
        CEventListener::Listen(&twice, kMessageId + 1, 0x3FFFFFFF);
    }
    EXPECT_EQ(CEventListener::FindMessageRegistry(kMessageId, nullptr), nullptr);
    EXPECT_EQ(CEventListener::FindMessageRegistry(kMessageId + 1, nullptr), nullptr);
    // Delivery after the listener is gone reaches nobody (and touches no freed memory).
    CExecutable::Update(new CMessage(nullptr, kMessageId, 0, {}));
    EXPECT_TRUE(recorder.calls.empty());
    CEventListener never;
    never.Bind(0x80000002, &recorder, Record);
    CEventListener::Unlisten(&never, kMessageId);
}

TEST_F(MessagingTest, UnlistenAllLeavesListenersSharingTheNameKey) {
    Recorder recorder;
    CEventListener kept;
    kept.Bind(0x80000001, &recorder, Record);
    CEventListener::Listen(&kept, kMessageId, 0x3FFFFFFF);
    {
        CEventListener dying;
        dying.Bind(0x80000001, &recorder, Record);
        CEventListener::Listen(&dying, kMessageId, 0x40000000);
    }
    CExecutable::Update(new CMessage(nullptr, kMessageId, 0, {}));
    EXPECT_EQ(recorder.calls.size(), 1u);
}

// A menu that closes on a key message destroys its own listener, or another
// one, in the middle of the delivery.
struct Closer : CClass {
    std::vector<CEventListener*> doomed;
    std::vector<CEventListener*> delivered;
};

bool DestroyDoomed(CEvent*, CEventListener* listener) {
    Closer* closer = static_cast<Closer*>(listener->GetOwner());
    closer->delivered.push_back(listener);
    for (CEventListener* doomed : closer->doomed) delete doomed;
    closer->doomed.clear();
    return true;
}

TEST_F(MessagingTest, ListenersDestroyedDuringDeliveryAreSkippedSafely) {
    struct Case {
        const char* name;
        std::vector<int> doomedByFirst;  // indexes of the three listeners
        std::vector<int> delivered;
    };
    const Case cases[] = {
        {"itself", {0}, {0, 1, 2}},
        {"the next one", {1}, {0, 2}},
        {"itself and the next one", {0, 1}, {0, 2}},
        {"every listener, so the message's list goes too", {0, 1, 2}, {0}},
    };
    for (const Case& c : cases) {
        Closer closer;
        CEventListener* listeners[3];
        for (int i = 0; i < 3; ++i) {
            listeners[i] = new CEventListener();
            listeners[i]->Bind(0x80000001 + static_cast<uint32_t>(i), &closer, DestroyDoomed);
            CEventListener::Listen(listeners[i], kMessageId, 0x3FFFFFFF - i);
        }
        CEventListener* const byIndex[3] = {listeners[0], listeners[1], listeners[2]};
        for (int index : c.doomedByFirst) closer.doomed.push_back(byIndex[index]);
        CExecutable::Update(new CMessage(nullptr, kMessageId, 0, {}));
        std::vector<CEventListener*> expected;
        for (int index : c.delivered) expected.push_back(byIndex[index]);
        EXPECT_EQ(closer.delivered, expected) << c.name;
        for (int i = 0; i < 3; ++i) {
            bool destroyed = false;
            for (int index : c.doomedByFirst) destroyed = destroyed || index == i;
            if (!destroyed) delete listeners[i];
        }
        EXPECT_EQ(CEventListener::FindMessageRegistry(kMessageId, nullptr), nullptr) << c.name;
    }
}

TEST_F(MessagingTest, GetParamPastTheCountIsReported) {
    CMessage message(nullptr, kMessageId, 0, {CMessageParam::Integer(9)});
    EXPECT_EQ(message.GetParam(0).value, 9u);
    EXPECT_EQ(message.GetParam(0).type, CMessageParam::kIntegerType);
    AssertCounter counter;
    EXPECT_EQ(message.GetParam(1).value, 0u);
    EXPECT_EQ(counter.Count(), 1);
}

TEST_F(MessagingTest, RepeatsCountDownAndAutoDeleteEndsTheObject) {
    int fired = 0;
    Counter counter(&fired);
    counter.SetRepeats(3);
    EXPECT_EQ(CExecutable::Update(&counter), CExecutable::kActive);
    EXPECT_EQ(CExecutable::Update(&counter), CExecutable::kActive);
    EXPECT_EQ(CExecutable::Update(&counter), CExecutable::kFinished);
    EXPECT_EQ(CExecutable::Update(&counter), CExecutable::kFinished);
    EXPECT_EQ(fired, 3);
    Counter* owned = new Counter(&fired);
    owned->SetRepeats(1);
    owned->SetAutoDelete(true);
    EXPECT_EQ(CExecutable::Update(owned), CExecutable::kDeleted);
    EXPECT_EQ(fired, 4);
}

TEST_F(MessagingTest, HalfSecondPeriodFiresOnTheThirteenthFortyMillisecondFrame) {
    HostClock::UseVirtual(1000, 0);
    m_app.Ticker()->OnStart();
    int fired = 0;
    Counter counter(&fired);
    counter.SetPeriod(0x8000);
    CRegistryItem item(1, &counter, 0, 0x3FFFFFFF);
    m_app.Ticker()->GetRegistry()->Register(&item);
    for (int frame = 1; frame <= 12; ++frame) FrameOf(40);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(counter.GetElapsed(), 12 * 0x0A3D);
    FrameOf(40);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(counter.GetElapsed(), 0);
    m_app.Ticker()->GetRegistry()->Unregister(&item);
    HostClock::UseMonotonic();
}

TEST_F(MessagingTest, PostedMessagesAreDeliveredByTheNextPassAndUnlinked) {
    HostClock::UseVirtual(0, 0);
    m_app.Ticker()->OnStart();
    Recorder recorder;
    CEventListener listener;
    listener.Bind(0x80000001, &recorder, Record);
    CEventListener::Listen(&listener, kMessageId, 0x3FFFFFFF);
    CExecutableRegistry* registry = m_app.Ticker()->GetRegistry();
    CMessage* message = new CMessage(nullptr, kMessageId, 0, {});
    registry->Register(registry->NewItem(GetIdAllocator()->NextId(), message, CMessage::kClassKey, 0x73333332));
    FrameOf(40);
    EXPECT_EQ(recorder.calls.size(), 1u);
    EXPECT_TRUE(registry->IsEmpty());
    FrameOf(40);
    EXPECT_EQ(recorder.calls.size(), 1u);
    HostClock::UseMonotonic();
}

}  // namespace
