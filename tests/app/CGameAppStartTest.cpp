// Start-up and shut-down of the game application on its archive, and every
// way start-up can fail.

#include "GameAppFixture.h"

#include "AppServices.h"
#include "CAppTicker.h"
#include "CEvent.h"
#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CFontMgr.h"
#include "CGame.h"
#include "CGameSettings.h"
#include "CMessage.h"
#include "COwningExecutableRegistry.h"
#include "CRegistry.h"
#include "CSingleton.h"
#include "StartupStatus.h"

namespace {

bool TickerHas(const CGameApp* app, uint32_t id, uint32_t classKey) {
    CRegistryItem* item = nullptr;
    CRegistry* registry = app->GetTicker()->GetRegistry();
    return registry->Find(0, id, &item) && item->GetObject()->GetClassKey() == classKey;
}

}  // namespace

TEST_F(GameAppFixture, StartsOnItsArchiveWithEveryServiceAndRegistry) {
    ASSERT_EQ(Start(), 0);
    EXPECT_TRUE(StartupStatus::HasStarted());
    for (uint32_t key : {0x70FA1BDFu, 0xF4F71410u, 0x64780132u, 0x02744002u, 0x8C535A57u, 0x17B126F6u, 0x723BBB0Eu,
                         0x70990B0Eu, 0x0466E194u, 0x66E79740u, 0x272BE9B5u}) {
        EXPECT_NE(CSingleton::GetInstance(key), nullptr) << std::hex << key;
    }
    EXPECT_NE(m_app->GetGame(), nullptr);
    EXPECT_NE(m_app->GetClipStack(), nullptr);
    EXPECT_NE(GetFontMgr()->GetFont(0), nullptr);
    EXPECT_TRUE(TickerHas(m_app, CGameApp::kFrameRegistryId, CExecutableRegistry::kClassKey));
    EXPECT_TRUE(TickerHas(m_app, CGameApp::kKeyMappingRegistryA, COwningExecutableRegistry::kClassKey));
    EXPECT_TRUE(TickerHas(m_app, CGameApp::kKeyMappingRegistryB, COwningExecutableRegistry::kClassKey));
    // The listener takes each of its 54 events.
    for (int32_t i = 0; i < CGameApp::kListenedEventCount; ++i) {
        EXPECT_NE(CEventListener::FindMessageRegistry(CGameApp::kListenedEvents[i], nullptr), nullptr) << i;
    }
    EXPECT_EQ(CGameApp::kListenedEvents[CGameApp::kListenedEventCount], 0u);
    EXPECT_FALSE(m_app->IsStartedInWrongOrientation());
    EXPECT_EQ(m_asserts.Count(), 0);
}

TEST_F(GameAppFixture, ShutdownReleasesEverythingAndASecondOneIsHarmless) {
    ASSERT_EQ(Start(), 0);
    Event(0x67542658);
    Frame();
    m_app->Shutdown();
    EXPECT_EQ(CSingleton::GetTable(), nullptr);
    EXPECT_EQ(m_app->GetResourceManager(), nullptr);
    EXPECT_EQ(m_app->GetGame(), nullptr);
    m_app->Shutdown();
    EXPECT_EQ(m_asserts.Count(), 0);
}

struct StartFailure {
    const char* name;
    bool archive;
    bool directory;
    bool font;
    const char* reason;
};

class GameAppStartFailureTest : public GameAppFixture, public ::testing::WithParamInterface<StartFailure> {};

// Each failure answers 1 with its reason; the shell's Shutdown then releases
// what was acquired (the sanitizer sees no leak, the display no surface).
TEST_P(GameAppStartFailureTest, FailsWithItsReasonAndReleasesWhatItTook) {
    const StartFailure& failure = GetParam();
    apptest::ArchiveSpec spec;
    spec.directory = failure.directory;
    spec.font = failure.font;
    m_writeArchive = failure.archive;
    EXPECT_EQ(Start(spec), 1);
    ASSERT_NE(StartupStatus::FailureReason(), nullptr);
    EXPECT_NE(std::string(StartupStatus::FailureReason()).find(failure.reason), std::string::npos)
        << StartupStatus::FailureReason();
    EXPECT_FALSE(StartupStatus::HasStarted());
}

INSTANTIATE_TEST_SUITE_P(Failures, GameAppStartFailureTest,
                         ::testing::Values(StartFailure{"NoArchive", false, true, true, "missing"},
                                           StartFailure{"NoDirectory", true, false, true, "directory"},
                                           StartFailure{"NoFont", true, true, false, "font"}),
                         [](const ::testing::TestParamInfo<StartFailure>& info) { return info.param.name; });

TEST_F(GameAppFixture, ACorruptArchiveFailsToStart) {
    WriteFile("mchvx2.big", "not an archive at all, just text");
    m_writeArchive = false;
    EXPECT_EQ(Start(), 1);
    EXPECT_NE(std::string(StartupStatus::FailureReason()).find("corrupt"), std::string::npos);
}
