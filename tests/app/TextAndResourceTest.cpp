// Texts by id, version and build texts, resource groups, the properties read
// at start, fonts, the resource-type factory and the screen base class.

#include "GameAppFixture.h"

#include "AppServices.h"
#include "CFontMgr.h"
#include "CGameSettings.h"
#include "CGraphicFont.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CScreen.h"
#include "CStrWChar.h"
#include "EngineEvents.h"
#include "ResIdArray.h"
#include "ResourceText.h"
#include "VersionText.h"

namespace {

constexpr uint32_t kWideTextType = 0x43735EB4;
constexpr uint32_t kKeySetType = 0x69E5D35C;
constexpr uint32_t kGreetingId = 0x03000150;
constexpr int32_t kGroupId = 0x05000101;
constexpr int32_t kSkippedGroupId = 0x05000102;

apptest::ArchiveSpec TextArchive() {
    apptest::ArchiveSpec spec;
    spec.entries = {
        {kGreetingId, kWideTextType, apptest::WideText(u"Hello, w\u00f6rld")},
        {static_cast<uint32_t>(kGroupId), kKeySetType,
         apptest::KeySet({0x2000005, 0x5000101, 0x2000FFF, 0x1FFFFFF, 0x2001000})},
        {static_cast<uint32_t>(kSkippedGroupId), kKeySetType, apptest::KeySet({0x2000000, 0x2000ABC})},
    };
    return spec;
}

std::u16string Units(const JString& text) { return std::u16string(text.getBuffer(), text.length()); }

int32_t References(uint32_t handle) {
    CResource* resource = nullptr;
    return GetAppResourceManager()->GetResource(handle, &resource) ? resource->GetRefCount() : 0;
}

}  // namespace

class TextAndResourceTest : public GameAppFixture {};

TEST_F(TextAndResourceTest, TheVersionIsNineOneZeroUnlessTheDeviceSaysOtherwise) {
    StartRunning();
    WChar buffer[10] = {};
    GetVersionText(buffer, 10);
    EXPECT_EQ(std::u16string(buffer), u"9.1.0");
    Stop();
    WriteFile("device.conf", "KEYS=0\nVERSION=2.0\n");
    StartRunning();
    GetVersionText(buffer, 10);
    EXPECT_EQ(std::u16string(buffer), u"2.0");
    Stop();
    // The storage test's buffer holds nine characters and the terminator.
    WriteFile("device.conf", "KEYS=0\nVERSION=10.20.30.40-beta\n");
    StartRunning();
    GetVersionText(buffer, 10);
    EXPECT_EQ(std::u16string(buffer), u"10.20.30.");
    CStrWChar full;
    FormatVersionString(full);
    EXPECT_EQ(std::u16string(full.GetBuffer()), u"10.20.30.40-beta");
}

TEST_F(TextAndResourceTest, TheBuildInformationNamesTheProgramAndTheBuildsDateAndTime) {
    WChar buffer[64] = {};
    GetBuildInfoText(buffer, 64);
    const std::u16string text(buffer);
    const std::u16string head = u"\nmchvx2 9.1.0\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    // "Mmm dd yyyy hh:mm:ss"
    EXPECT_EQ(text.size(), head.size() + 20u);
    WChar small[5] = {};
    GetBuildInfoText(small, 5);
    EXPECT_EQ(std::u16string(small), u"\nmch");
}

TEST_F(TextAndResourceTest, TextsComeFromTheArchiveAndAreUpperCasedForTheScreens) {
    StartRunning(TextArchive());
    CStrWChar text(u"kept");
    AppendResourceText(text, 0x03000999);
    EXPECT_EQ(std::u16string(text.GetBuffer()), u"kept");
    GetResourceText(text, 0x03000999);
    EXPECT_EQ(text.GetLength(), 0);
    GetResourceText(text, kGreetingId);
    EXPECT_EQ(std::u16string(text.GetBuffer()), u"Hello, w\u00f6rld");
    EXPECT_EQ(References(kGreetingId), 0);
    EXPECT_EQ(Units(GetUpperText(static_cast<int32_t>(kGreetingId))), u"HELLO, W\u00d6RLD");
    for (int32_t none : {0, -5, kNoTextId, 0x03000999}) EXPECT_EQ(GetUpperText(none).length(), 0) << none;
}

TEST_F(TextAndResourceTest, TestLocalisationShowsTextIdsInsteadOfTexts) {
    WriteFile("properties.dat", "Kiv-Test-Localisation=True\n");
    StartRunning();
    EXPECT_EQ(Units(GetUpperText(0x21FF0012)), u"0X21FF0012");
}

TEST_F(TextAndResourceTest, GroupsListTheirMembersWithoutTheSkippedBlock) {
    StartRunning(TextArchive());
    CResource* group = nullptr;
    ResIdArray* list = CollectResourceIds(kGroupId, &group);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(list->size(), 3);
    EXPECT_EQ(*list->at(0), 0x5000101u);
    EXPECT_EQ(*list->at(1), 0x1FFFFFFu);
    EXPECT_EQ(*list->at(2), 0x2001000u);
    EXPECT_EQ(list->at(3), nullptr);
    EXPECT_EQ(m_asserts.Count(), 1);
    list->destroy();
    GetAppResourceManager()->ReleaseByHandle(static_cast<uint32_t>(kGroupId));
    ResIdArray* empty = CollectResourceIds(kSkippedGroupId, &group);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size(), 0);
    delete empty;
    GetAppResourceManager()->ReleaseByHandle(static_cast<uint32_t>(kSkippedGroupId));
    EXPECT_EQ(CollectResourceIds(0x05000777, &group), nullptr);
    EXPECT_EQ(group, nullptr);
}

TEST(ResIdArrayTest, RefusesCountsItCannotHold) {
    ResIdArray list;
    const uint32_t ids[] = {7, 8};
    EXPECT_TRUE(list.set(ids, 2));
    EXPECT_EQ(list.size(), 2);
    EXPECT_FALSE(list.set(ids, -1));
    EXPECT_EQ(list.size(), 0);
    EXPECT_FALSE(list.set(ids, ResIdArray::kMaxCount));
    EXPECT_TRUE(list.set(nullptr, 0));
}

struct PropertiesCase {
    const char* name;
    const char* file;
    const char* archived;
    bool cheats;
};

class StartPropertiesTest : public GameAppFixture, public ::testing::WithParamInterface<PropertiesCase> {};

// properties.dat beside the program wins; the archive's copy stands in
// when it is missing; "true" in any case is the only true.
TEST_P(StartPropertiesTest, CheatsFollowTheProperties) {
    const PropertiesCase& c = GetParam();
    if (c.file != nullptr) WriteFile("properties.dat", c.file);
    apptest::ArchiveSpec spec;
    spec.properties = c.archived;
    StartRunning(spec);
    EXPECT_EQ(IsCheatsEnabled(GetGameSettings()), c.cheats ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, StartPropertiesTest,
    ::testing::Values(PropertiesCase{"FileTrue", "Kiv-Cheats-Enable=TRUE\n", "Kiv-Cheats-Enable=false\n", true},
                      PropertiesCase{"FileWins", "Kiv-Cheats-Enable=no\n", "Kiv-Cheats-Enable=true\n", false},
                      PropertiesCase{"FromArchive", nullptr, "# copy\nKiv-Cheats-Enable = true\n", true},
                      PropertiesCase{"Neither", nullptr, "", false},
                      PropertiesCase{"WithoutTheKey", "Kiv-Locale=en\n", "", false}),
    [](const ::testing::TestParamInfo<PropertiesCase>& info) { return info.param.name; });

TEST_F(TextAndResourceTest, FontsAreBuiltOnceAndHoldOnlyTheirImage) {
    ASSERT_EQ(Start(), 0);
    CFontMgr* fonts = GetFontMgr();
    CGraphicFont* font = fonts->GetFont(0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(fonts->GetFont(0), font);
    EXPECT_EQ(font->GetHeight(), apptest::kLineHeight);
    EXPECT_EQ(References(CFontMgr::kFont0Image), 1);
    EXPECT_EQ(References(CFontMgr::kFont0Data), 0);
    EXPECT_EQ(fonts->GetFont(1), nullptr);
    fonts->ReleaseFont(3);
    EXPECT_EQ(m_asserts.Count(), 0);
    EXPECT_EQ(fonts->GetFont(7), nullptr);
    EXPECT_EQ(m_asserts.Count(), 1);
    fonts->ReleaseFont(0);
    EXPECT_EQ(References(CFontMgr::kFont0Image), 0);
}

TEST_F(TextAndResourceTest, EveryTypeKeyHasItsResourceClassAndNoOtherDoes) {
    ASSERT_EQ(Start(), 0);
    const struct {
        uint32_t key;
        uint32_t classKey;
    } cases[] = {{0x40546F85, 0x625FA174}, {0x40547DA2, 0x625FA174}, {0xA6EFB9A2, 0x625FA174},
                 {0x43735EB4, 0x012B7B64}, {0xF686AADC, 0x012B7B64}, {0x521B2402, 0x35C14556},
                 {0x69E4C505, 0x35C14556}, {0x374F8659, 0xE70DDE7D}, {0xF4E02223, 0xE70DDE7D},
                 {0x027B32F1, 0x4F7F1773}, {0x2FD9AA54, 0x4F7F1773}, {0x2FD9B34A, 0x4F7F1773},
                 {0x32FD8642, 0x4F7F1773}, {0x32FD99E1, 0x4F7F1773}, {0xFD878582, 0x4F7F1773},
                 {0xFD8A7754, 0x4F7F1773}, {0xFD94B3C1, 0x4F7F1773}, {0x69E5D35C, 0xE790BD00},
                 {0xD65E722E, 0xE61C2A06}};
    for (const auto& c : cases) {
        CResource* resource = m_app->CreateResource(c.key);
        ASSERT_NE(resource, nullptr) << std::hex << c.key;
        EXPECT_EQ(resource->GetClassKey(), c.classKey) << std::hex << c.key;
        delete resource;
    }
    for (uint32_t key : {0x107DD145u, 0xB717945Fu, 0x59F4BC59u, 0x59EFBC42u, 0x59F4BC42u, 0xE179EFBEu, 0xE179F4BEu,
                         0x9F4BC472u}) {
        CResource* resource = m_app->CreateResource(key);
        EXPECT_NE(resource, nullptr) << std::hex << key;
        delete resource;
    }
    EXPECT_EQ(m_asserts.Count(), 0);
    EXPECT_EQ(m_app->CreateResource(0x12345678), nullptr);
    EXPECT_EQ(m_asserts.Count(), 1);
    int32_t buckets = 9;
    uint32_t blocks = 9;
    EXPECT_FALSE(m_app->GetEventRegistryParams(EngineEvent::kAppStart, &buckets, &blocks));
    EXPECT_EQ(buckets, 0);
    EXPECT_EQ(blocks, 0u);
}

TEST(CScreenTest, TheFirstPendingStateWinsUntilCleared) {
    CScreen screen;
    screen.SetNextState(0);
    EXPECT_EQ(screen.GetNextState(), 0);
    screen.SetNextState(5);
    screen.SetNextState(7);
    EXPECT_EQ(screen.GetNextState(), 5);
    screen.ClearNextState();
    screen.SetNextState(7);
    EXPECT_EQ(screen.GetNextState(), 7);
    EXPECT_EQ(screen.GetClassKey(), CScreen::kClassKey);
    EXPECT_EQ(screen.Load(), 0);
    EXPECT_EQ(screen.Update(60), 0);
}
