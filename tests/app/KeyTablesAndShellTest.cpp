// The key-mapping tables, messages left waiting at shut-down, and the game
// under the real application shell: power notifications.

#include "GameAppFixture.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "CAppTicker.h"
#include "CApplet.h"
#include "CEvent.h"
#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CMessage.h"
#include "CreateGameApp.h"
#include "EngineEvents.h"
#include "HostBackend.h"
#include "HostClock.h"
#include "HostDeviceRecord.h"
#include "HostInput.h"
#include "HostWindowSystem.h"
#include "KeyMappingTables.h"
#include "WinCeMsgQueue.h"
#include "WinMain.h"

namespace {

constexpr uint32_t kFirstSelect = 0x2074D009;
constexpr uint32_t kSecondSelect = 0x172E9965;
constexpr uint32_t kLeftSoft = KeyMappingTables::kLeftSoftMessage;
constexpr uint32_t kRightSoft = KeyMappingTables::kRightSoftMessage;

// Records the ids of the messages it listens to.
class MessageLog {
public:
    explicit MessageLog(std::vector<uint32_t> ids) : m_ids(std::move(ids)) {
        m_listener.Bind(2, nullptr, [](CEvent* message, CEventListener*) {
            Seen().push_back(message->GetId());
            return false;
        });
        Seen().clear();
        for (uint32_t id : m_ids) CEventListener::Listen(&m_listener, id, 1);
    }
    ~MessageLog() { Stop(); }
    void Stop() { CEventListener::UnlistenAll(&m_listener); }
    static std::vector<uint32_t>& Seen() {
        static std::vector<uint32_t> seen;
        return seen;
    }

private:
    std::vector<uint32_t> m_ids;
    CEventListener m_listener;
};

// A message that counts its deletions.
class CountedMessage : public CMessage {
public:
    ~CountedMessage() override { ++deleted; }
    static inline int32_t deleted = 0;
};

int32_t WaitingMessages(const CRegistry& registry) {
    int32_t count = 0;
    for (const CRegistryItem* item = registry.Begin(); item != registry.End(); item = item->GetNext()) {
        if (item->GetType() == CMessage::kClassKey) ++count;
    }
    return count;
}

// The program's run of the shell with the game's application.
int32_t RunGame() {
    CApplet::SetAppFactory(&CreateGameApp);
    return WinMain(nullptr, nullptr, nullptr, 0);
}

std::vector<uint32_t> Sorted(std::vector<uint32_t> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

class KeyTablesTest : public GameAppFixture {
protected:
    void Install() {
        ASSERT_TRUE(KeyMappingTables::InstallFirst());
        ASSERT_TRUE(KeyMappingTables::InstallFirstSoftKeys());
        ASSERT_TRUE(KeyMappingTables::InstallSecond());
    }
    // The key, then the frame that delivers what its mappings posted.
    std::vector<uint32_t> Messages(uint32_t key) {
        MessageLog log({kFirstSelect, kSecondSelect, kLeftSoft, kRightSoft});
        Event(EngineEvent::kKeyPressed, key);
        Event(EngineEvent::kKeyReleased, key);
        Frame();
        return Sorted(MessageLog::Seen());
    }
};

TEST_F(KeyTablesTest, TheKeypadFiveSelectsInBothTablesAndSoftKeysPostTheirMessages) {
    StartRunning();
    Install();
    EXPECT_EQ(Messages('5'), Sorted({kFirstSelect, kSecondSelect}));
    EXPECT_EQ(Messages(15), std::vector<uint32_t>{kLeftSoft});
    EXPECT_EQ(Messages(16), std::vector<uint32_t>{kRightSoft});
    KeyMappingTables::RemoveFirst();
    KeyMappingTables::RemoveFirstSoftKeys();
    KeyMappingTables::RemoveSecond();
    EXPECT_TRUE(Messages('5').empty());
    EXPECT_TRUE(Messages(15).empty());
}

TEST_F(KeyTablesTest, ReversedSoftKeysSwapTheirMessages) {
    WriteFile("properties.dat", "Kiv-Softkey-Reverse=true\n");
    StartRunning();
    Install();
    EXPECT_EQ(Messages(15), std::vector<uint32_t>{kRightSoft});
    EXPECT_EQ(Messages(16), std::vector<uint32_t>{kLeftSoft});
}

// The key's message waits in the ticker's registry beside a message that
// counts its own deletion: shut-down deletes both (the sanitizer's leak
// check would see the key's message if it were forgotten).
TEST_F(KeyTablesTest, AMessageStillWaitingAtShutdownIsDeleted) {
    StartRunning();
    Install();
    Event(EngineEvent::kKeyPressed, '5');
    CExecutableRegistry* registry = GetAppTicker()->GetRegistry();
    EXPECT_EQ(WaitingMessages(*registry), 2);
    CountedMessage::deleted = 0;
    CRegistryItem* item = registry->NewItem(0, new CountedMessage(), CMessage::kClassKey, 0);
    ASSERT_NE(item, nullptr);
    registry->Register(item);
    Stop();
    EXPECT_EQ(CountedMessage::deleted, 1);
}

namespace {

// Steps the message loop runs at given times of the virtual clock.
class Timeline : public HostBackend {
public:
    Timeline& At(uint32_t atMs, std::function<void()> step) {
        m_steps.push_back({HostTestEnvironment::kStartTicks + atMs, std::move(step)});
        return *this;
    }
    bool Pump(uint32_t timeoutMs) override {
        if (RunDue()) return true;
        if (m_steps.empty()) return false;
        const uint32_t wait = m_steps.front().first - HostClock::Ticks();
        if (timeoutMs != kForever && wait > timeoutMs) return true;
        HostClock::Advance(wait);
        RunDue();
        return true;
    }
    bool PresentFrame(const void*, int32_t, int32_t, int32_t, uint32_t) override { return true; }

private:
    bool RunDue() {
        bool ran = false;
        while (!m_steps.empty() && m_steps.front().first <= HostClock::Ticks()) {
            const std::function<void()> step = std::move(m_steps.front().second);
            m_steps.erase(m_steps.begin());
            step();
            ran = true;
        }
        return ran;
    }
    std::vector<std::pair<uint32_t, std::function<void()>>> m_steps;
};

}  // namespace

TEST(GameShellTest, AnUnattendedPowerStateSuspendsAndResumesTheGame) {
    HostTestEnvironment environment;
    apptest::WriteArchive(environment.Directory(), apptest::ArchiveSpec());
    MessageLog* log = nullptr;
    Timeline* timeline = new Timeline();
    timeline->At(200, [&log] { log = new MessageLog({EngineEvent::kAppSuspend, EngineEvent::kAppResume}); })
        .At(300, [] { HostInput::PowerEvent(POWER_STATE_ON); })
        .At(400, [] { HostInput::PowerEvent(POWER_STATE_UNATTENDED); })
        .At(600, [&log] {
            log->Stop();
            PostQuit();
        });
    HostWindowSystem::SetBackend(timeline);
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(MessageLog::Seen(), (std::vector<uint32_t>{EngineEvent::kAppSuspend, EngineEvent::kAppResume}));
    EXPECT_EQ(HostDeviceRecord::Get().displayOpens, 1);
    delete log;
}

// The shell translates keys with the device's remap table first, gives
// nothing for the digits while the number pad is disabled, and claims the
// display only when the device uses it directly.
TEST(GameShellTest, TheShellTranslatesKeysWithTheDevicesTable) {
    HostTestEnvironment environment;
    apptest::WriteArchive(environment.Directory(), apptest::ArchiveSpec());
    apptest::WriteText(environment.Directory(), "device.conf", "KEYS=1\nUP=0x41\nDISABLE_NUMPAD=1\nUSE_GXDISPLAY=0\n");
    static uint32_t heldAfterA;
    static uint32_t heldAfterDigit;
    heldAfterA = 0;
    heldAfterDigit = 0;
    MessageLog* log = nullptr;
    Timeline* timeline = new Timeline();
    timeline->At(200, [&log] { log = new MessageLog({EngineEvent::kKeyPressed}); })
        .At(300, [] { HostInput::KeyDown('A', false); })
        .At(400, [] { heldAfterA = GetGameApp()->GetKeysHeld(); })
        .At(500, [] { HostInput::KeyDown('7', false); })
        .At(600, [&log] {
            heldAfterDigit = GetGameApp()->GetKeysHeld();
            log->Stop();
            PostQuit();
        });
    HostWindowSystem::SetBackend(timeline);
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(heldAfterA, 1u << 4);
    EXPECT_EQ(heldAfterDigit, 1u << 4);
    EXPECT_EQ(MessageLog::Seen(), std::vector<uint32_t>{EngineEvent::kKeyPressed});
    // Without the direct display the shell leaves the display alone.
    EXPECT_EQ(HostDeviceRecord::Get().displayOpens, 0);
    delete log;
}
