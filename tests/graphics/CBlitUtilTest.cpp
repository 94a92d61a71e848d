#include "CBlitUtil.h"

#include <gtest/gtest.h>

#include <set>

#include "AssertCounter.h"
#include "BlitCopy.h"
#include "BlitDecode.h"
#include "BlitLineFill.h"
#include "BlitTable.h"
#include "CColor.h"
#include "CHash.h"

namespace {

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t kX14 = 0x81304;
constexpr uint32_t kX8 = 0xB0304;
constexpr uint32_t kA8 = 0xC4404;
constexpr uint32_t kP256 = 0x348301;
constexpr uint32_t kP16 = 0x328300;
constexpr uint32_t kRgb24 = 0x90303;

void RoutineA(const void*) {}
void RoutineB(const void*) {}

class CBlitUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_table.Init(20, 20, true));
        CSingleton::SetTable(&m_table);
    }
    void TearDown() override {
        delete static_cast<CBlitUtil*>(CSingleton::GetInstance(CBlitUtil::kClassKey));
        CSingleton::SetTable(nullptr);
    }

    // The routine found for the request, or null.
    static BlitRoutine Find(uint32_t source, uint32_t dest, uint32_t mode, uint32_t option1, uint32_t option2,
                            uint32_t kind) {
        BlitEntry request = {source, dest, mode, option1, option2, kind, RoutineA};
        const bool found = CBlitUtil::FindBlitter(&request);
        EXPECT_EQ(found, request.routine != nullptr);
        return request.routine;
    }

    CHash m_table;
};

TEST_F(CBlitUtilTest, RegistryIsOneSingletonCreatedOnFirstUse) {
    EXPECT_EQ(CSingleton::GetInstance(CBlitUtil::kClassKey), nullptr);
    CBlitUtil* registry = CBlitUtil::GetInstance();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(CBlitUtil::GetInstance(), registry);
    EXPECT_EQ(CSingleton::GetInstance(CBlitUtil::kClassKey), registry);
}

TEST_F(CBlitUtilTest, FirstMatchInRegistrationOrderWins) {
    CBlitUtil::RegisterBlitter(0, k565, 0, 0, 0, kBlitKindFill, RoutineA);
    CBlitUtil::RegisterBlitter(k565, k565, 0, 0, 0, kBlitKindFill, RoutineB);
    // Both entries match a request from r5g6b5; the wildcard came first.
    EXPECT_EQ(Find(k565, k565, 0, 0, 0, kBlitKindFill), RoutineA);
    // Any single differing key word misses.
    EXPECT_EQ(Find(k565, kX8, 0, 0, 0, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(k565, k565, 1, 0, 0, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(k565, k565, 0, 1, 0, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(k565, k565, 0, 0, 3, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(k565, k565, 0, 0, 0, kBlitKindLine), nullptr);
}

TEST_F(CBlitUtilTest, RequestFromAnySourceMatchesOnlyWildcardEntries) {
    CBlitUtil::RegisterBlitter(k565, k565, 0, 0, 0, kBlitKindCopy, RoutineA);
    EXPECT_EQ(Find(0, k565, 0, 0, 0, kBlitKindCopy), nullptr);
    CBlitUtil::RegisterBlitter(0, k565, 0, 0, 0, kBlitKindCopy, RoutineB);
    EXPECT_EQ(Find(0, k565, 0, 0, 0, kBlitKindCopy), RoutineB);
}

TEST_F(CBlitUtilTest, BlendCodeFolds) {
    const uint32_t folded[] = {0, 1, 1, 3, 3, 1, 6};
    for (uint32_t code = 0; code < 7; ++code) EXPECT_EQ(CBlitUtil::FoldBlendCode(code), folded[code]) << code;
}

TEST_F(CBlitUtilTest, FullTableAndNullRoutineAreRefused) {
    {
        AssertCounter asserts;
        CBlitUtil::RegisterBlitter(k565, k565, 0, 0, 0, kBlitKindCopy, nullptr);
        EXPECT_EQ(asserts.Count(), 1);
        EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), 0);
    }
    for (int32_t i = 0; i < CBlitUtil::kCapacity; ++i) {
        CBlitUtil::RegisterBlitter(k565, k565, 0, 0, static_cast<uint32_t>(100 + i), kBlitKindCopy, RoutineA);
    }
    EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), 55);
    AssertCounter asserts;
    CBlitUtil::RegisterBlitter(k565, k565, 0, 0, 0, kBlitKindCopy, RoutineB);
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), 55);
    EXPECT_EQ(Find(k565, k565, 0, 0, 0, kBlitKindCopy), nullptr);
    EXPECT_EQ(Find(k565, k565, 0, 0, 154, kBlitKindCopy), RoutineA);
}

TEST(CBlitUtilWithoutTable, RegistrationStoresNothingAndLookupsMiss) {
    CSingleton::SetTable(nullptr);
    AssertCounter asserts;
    CBlitUtil::RegisterBlitter(k565, k565, 0, 0, 0, kBlitKindCopy, RoutineA);
    BlitEntry request = {k565, k565, 0, 0, 0, kBlitKindCopy, RoutineA};
    EXPECT_FALSE(CBlitUtil::FindBlitter(&request));
    EXPECT_EQ(request.routine, nullptr);
    EXPECT_EQ(asserts.Count(), 2);
}

// The standard set, as the callers' requests reach it.
class BlitTableTest : public CBlitUtilTest {
protected:
    void SetUp() override {
        CBlitUtilTest::SetUp();
        RegisterBlitTable();
    }
};

TEST_F(BlitTableTest, HoldsFiftyRowsOfFortyNineRoutines) {
    const CBlitUtil* registry = CBlitUtil::GetInstance();
    ASSERT_EQ(registry->GetEntryCount(), 50);
    std::set<BlitRoutine> routines;
    for (int32_t i = 0; i < 50; ++i) routines.insert(registry->GetEntry(i)->routine);
    EXPECT_EQ(routines.size(), 49u);
    EXPECT_EQ(registry->GetEntry(50), nullptr);
    RegisterBlitTable();
    EXPECT_EQ(registry->GetEntryCount(), 50);
}

TEST_F(BlitTableTest, ImageCopiesByKeyAndBlendCode) {
    EXPECT_EQ(Find(k565, k565, 2, 0, 5, kBlitKindCopy), Blit_R5G6B5_ColorKeyAlpha);
    EXPECT_EQ(Find(k565, k565, 2, 0, 4, kBlitKindCopy), nullptr);
    EXPECT_EQ(Find(k565, k565, 2, 0, 0, kBlitKindCopy), Blit_R5G6B5_ColorKey);
    EXPECT_EQ(Find(k565, k565, 0, 0, 0, kBlitKindCopy), Blit_R5G6B5);
    // With the alpha capability on no image is drawn.
    EXPECT_EQ(Find(k565, k565, 0, 1, 0, kBlitKindCopy), nullptr);
    EXPECT_EQ(Find(kA8, kX8, 0, 0, 0, kBlitKindCopy), nullptr);
    EXPECT_EQ(Find(kP256, kX14, 2, 0, 1, kBlitKindCopy), Blit_P256_X14R6G6B6_ColorKeyAlpha);
    EXPECT_EQ(Find(kP256, kX8, 2, 0, 0, kBlitKindCopy), Blit_P256_X8R8G8B8_ColorKey);
}

TEST_F(BlitTableTest, LinesAndFillsServeAnyColourFormat) {
    EXPECT_EQ(Find(kA8, kX8, 0, 1, 3, kBlitKindLine), DrawLine_X8R8G8B8_Blend);
    EXPECT_EQ(Find(kA8, kX14, 0, 1, 0, kBlitKindLine), DrawLine_X14R6G6B6_AlphaTest);
    EXPECT_EQ(Find(kA8, k565, 0, 0, 0, kBlitKindLine), DrawLine_R5G6B5);
    // The surface clear asks with the fixed colour format.
    EXPECT_EQ(Find(0x1E4410, k565, 0, 0, 0, kBlitKindFill), FillRect_R5G6B5);
    EXPECT_EQ(Find(kA8, kX14, 0, 1, 3, kBlitKindFill), FillRect_X14R6G6B6_Blend);
    EXPECT_EQ(Find(kA8, kX8, 0, 1, 0, kBlitKindFill), FillRect_X8R8G8B8_AlphaTest);
    // No line or fill with the colour key on, none for depth planes.
    EXPECT_EQ(Find(kA8, k565, 2, 0, 0, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(0x520104, 0x520104, 0, 0, 0, kBlitKindFill), nullptr);
    EXPECT_EQ(Find(kA8, 0, 0, 0, 0, kBlitKindFill), nullptr);
}

TEST_F(BlitTableTest, DecodersByModeAndFormats) {
    EXPECT_EQ(Find(kP256, k565, 0, 0, 0, kBlitKindDecode), Decode_P256_R5G6B5);
    EXPECT_EQ(Find(kP256, k565, 1, 0, 0, kBlitKindDecode), Decode_P256_R5G6B5);
    EXPECT_EQ(Find(kP256, k565, 2, 0, 0, kBlitKindDecode), nullptr);
    EXPECT_EQ(Find(kP16, k565, 1, 0, 0, kBlitKindDecode), nullptr);
    EXPECT_EQ(Find(kP16, k565, 0, 0, 0, kBlitKindDecode), Decode_P16_R5G6B5);
    EXPECT_EQ(Find(kRgb24, kX8, 0, 0, 0, kBlitKindDecode), Decode_R8G8B8_X8R8G8B8);
    EXPECT_EQ(Find(kP256, 0x65402, 1, 0, 0, kBlitKindDecode), Decode_P256_A4R4G4B4);
    EXPECT_EQ(Find(kP256, 0x45402, 0, 0, 0, kBlitKindDecode), nullptr);  // keyed alpha formats need mode 1
    EXPECT_EQ(Find(kP16, kP256, 0, 0, 0, kBlitKindDecode), Decode_P16_P256);
    // A decode request never reaches a copy of the same formats.
    EXPECT_EQ(Find(kX8, kX8, 0, 0, 0, kBlitKindDecode), nullptr);
}

}  // namespace
