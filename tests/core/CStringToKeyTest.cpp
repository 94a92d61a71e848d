#include "CStringToKey.h"

#include <gtest/gtest.h>

namespace {

struct NamedKey {
    const char* name;
    uint32_t key;
};

// Keys written into the code as constants must be the hash of their names.
const NamedKey kKnownKeys[] = {
    {"CClass", 0x0275A643},      {"CHash", 0x0017E658},         {"CPool", 0x0016699C},
    {"CVector", 0x36034282},     {"CRandGen", 0x64780132},      {"CGameData", 0x17B126F6},
    {"CMessage", 0x7B245719},    {"AppStart", 0x67542658},      {"AppStop", 0x36754280},
    {"AppSuspend", 0x54246DE3},  {"AppResume", 0x75424363},     {"Refresh", 0x24314258},
    {"DeviceOrientationChanged", 0x747AB255},                    {"KeyPressed", 0xC7424BE6},
    {"KeyReleased", 0x43A39818}, {"MouseMove", 0x8251B8DE},     {"MouseButtonDown", 0x8918794C},
    {"MouseButtonUp", 0x52A91971}, {"MouseButtonDoubleClick", 0x7B8428CD},
    {"Hibernate", 0xF42486FB},   {"CStrChar", 0x64365E6E},      {"CStrWChar", 0x43735EB4},
    {"ICCore", 0x02D75845},      {"ICFileMgr", 0x70FA1BDF},     {"ICFile", 0x02D70FA5},
    {"ICMediaPlayer", 0xF4F71410}, {"CResource", 0x42582483},   {"ICRenderSurface", 0xC9403F77},
    {"int8", 0x2F978},           {"int16", 0x3F9726},           {"fixed", 0x30EE34},
};

TEST(CStringToKey, KnownNamesHashToTheirConstants) {
    for (const NamedKey& known : kKnownKeys) {
        EXPECT_EQ(CStringToKey::Hash(known.name, false), known.key) << known.name;
    }
}

TEST(CStringToKey, HashRules) {
    EXPECT_EQ(CStringToKey::Hash("", false), 0u);
    EXPECT_EQ(CStringToKey::Hash(nullptr, false), 0u);
    EXPECT_EQ(CStringToKey::Hash("abc", false), 0x00005743u);
    EXPECT_EQ(CStringToKey::Hash("Abc", false), 0x00007743u);
    EXPECT_EQ(CStringToKey::Hash("Abc", true), 0x00005743u);
    // High bytes are sign-extended: every high bit flips.
    EXPECT_EQ(CStringToKey::Hash("\xE9", false), 0xFFFFFFF9u);
}

TEST(CStringToKey, TagsAndNameKeys) {
    EXPECT_EQ(CStringToKey::TagKey(0xFFFFFFFFu, 0), 0xFFFFFFFFu);
    EXPECT_EQ(CStringToKey::TagKey(0xFFFFFFFFu, 1), 0x7FFFFFFFu);
    EXPECT_EQ(CStringToKey::TagKey(0x00000005u, 1), 0x40000005u);
    EXPECT_EQ(StringToKey(""), 0x80000000u);
    EXPECT_EQ(StringToKey("abc"), 0x80005743u);
}

TEST(CStringToKey, WideTextHashesLikeItsNarrowForm) {
    EXPECT_EQ(CStringToKey::FromWide(u"GameApp", false), CStringToKey::Hash("GameApp", false));
    EXPECT_EQ(CStringToKey::FromWide(u"\u00E9", false), 0xFFFFFFF9u);
}

}  // namespace
