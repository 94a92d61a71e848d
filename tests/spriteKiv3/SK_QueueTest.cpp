// The preparation queue: requests, steps, decoding into surfaces of the
// display's format, sharing and release of image variants.

#include <cstring>

#include "AppServices.h"
#include "CAssert.h"
#include "CColor.h"
#include "CRenderSurface.h"
#include "HostClock.h"
#include "ImageFileBuilder.h"
#include "SK_Presenter.h"
#include "SpriteFixture.h"

using namespace spritedata;

namespace spritetest {
namespace {

class SpriteQueueTest : public SpriteTest {
protected:
    const SK_ImageSlot& Slot(uint32_t slot) const { return *Home()->GetSlot(slot); }
    CRenderSurface* Image(uint32_t slot, uint8_t variant) const {
        uint32_t flip = 0;
        return Slot(slot).GetImage(variant, &flip);
    }
    // The decoded image against the picture shown in the variant's half
    // (transposed for variants 4-7), in the display's format.
    void ExpectImage(uint32_t slot, uint8_t variant, const Picture& picture) const {
        CRenderSurface* image = Image(slot, variant);
        ASSERT_NE(image, nullptr);
        const Picture shown = Transformed(picture, variant >= 4 ? 4 : 0);
        uint32_t w = 0;
        uint32_t h = 0;
        ASSERT_TRUE(image->GetSize(&w, &h));
        ASSERT_EQ(static_cast<int32_t>(w), shown.width);
        ASSERT_EQ(static_cast<int32_t>(h), shown.height);
        for (int32_t y = 0; y < shown.height; ++y) {
            for (int32_t x = 0; x < shown.width; ++x) {
                EXPECT_EQ(imagetest::PlanePixel(*image->GetPlane(0), x, y),
                          imagetest::ExpectedPixel(Format(), shown.At(x, y), 0))
                    << "(" << x << ", " << y << ")";
            }
        }
    }
};

TEST_P(SpriteQueueTest, ProgressCountsPairsAndImageModules) {
    LoadStandard();
    SK_Home* home = Home();
    EXPECT_EQ(home->GetQueueProgress(), 0u);
    EXPECT_TRUE(home->RequestSprite(1, 0));
    EXPECT_EQ(home->GetQueueState(), SK_Home::kQueueQueued);
    EXPECT_EQ(home->GetQueueProgress(), 1u + 9u);
    EXPECT_FALSE(home->RequestSprite(1, 0));
    EXPECT_TRUE(home->RequestSprite(1, 1));
    EXPECT_EQ(home->GetQueueProgress(), 2u + 9u);

    bool ok = false;
    // One pair per step, the last queued first.
    EXPECT_TRUE(home->UpdatePreparation(1000, &ok));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(home->IsPreparing());
    EXPECT_TRUE(home->IsSpritePrepared(1, 1));
    EXPECT_FALSE(home->IsSpritePrepared(1, 0));
    EXPECT_EQ(home->GetQueueProgress(), 1u + 9u);
    EXPECT_TRUE(home->IsModulePending(0));
    EXPECT_TRUE(home->IsModulePending(5));
    EXPECT_EQ(Image(0, 0), nullptr);
    EXPECT_TRUE(home->UpdatePreparation(1000, &ok));
    EXPECT_TRUE(home->IsSpritePrepared(1, 0));
    // Then the images, a pass within the budget.
    EXPECT_FALSE(home->UpdatePreparation(1000, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(home->GetQueueState(), SK_Home::kQueueIdle);
    EXPECT_EQ(home->GetQueueProgress(), 0u);
    for (uint32_t m = 0; m < 9; ++m) EXPECT_FALSE(home->IsModulePending(m));
    EXPECT_EQ(m_asserts.Count(), 0);
}

TEST_P(SpriteQueueTest, ANoBudgetStepDoesNothing) {
    LoadStandard();
    Home()->RequestSprite(1, 0);
    bool ok = true;
    EXPECT_FALSE(Home()->UpdatePreparation(0, &ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(Home()->GetQueueState(), SK_Home::kQueueQueued);
    EXPECT_TRUE(Home()->RequestSprite(1, 3));
}

// Decodes that take time, on the frozen clock: while alive, every image
// that fails to decode moves the clock on by kDecodeMs as it reports.
class SlowDecodes {
public:
    static constexpr uint32_t kDecodeMs = 500;

    SlowDecodes() { s_next = SetDebugSink(Report); }
    ~SlowDecodes() { SetDebugSink(s_next); }
    SlowDecodes(const SlowDecodes&) = delete;
    SlowDecodes& operator=(const SlowDecodes&) = delete;

private:
    static void Report(const char* line) {
        if (std::strstr(line, "is not decoded") != nullptr) HostClock::Advance(kDecodeMs);
        if (s_next != nullptr) s_next(line);
    }

    static inline DebugSink s_next = nullptr;
};

TEST_P(SpriteQueueTest, DecodingStopsOnceItsBudgetIsSpentAndGoesOnFromThere) {
    // No image entries: each of set 1 sprite 4's nine modules fails to decode.
    MountAndLoad(StandardDefinition(), StandardSets(), {});
    ASSERT_TRUE(Home()->RequestSprite(1, 4));
    bool ok = true;
    ASSERT_TRUE(Home()->UpdatePreparation(1000, &ok));
    ASSERT_EQ(Home()->GetQueueProgress(), 9u);
    SlowDecodes slow;
    EXPECT_TRUE(Home()->UpdatePreparation(2 * SlowDecodes::kDecodeMs, &ok));
    EXPECT_EQ(Home()->GetQueueProgress(), 9u - 2u);
    EXPECT_TRUE(Home()->UpdatePreparation(2 * SlowDecodes::kDecodeMs + 1, &ok));
    EXPECT_EQ(Home()->GetQueueProgress(), 9u - 5u);
    EXPECT_FALSE(ok);
}

TEST_P(SpriteQueueTest, MirrorsShareOneImageAndExchangedAxesGetASecond) {
    LoadStandard();
    ASSERT_TRUE(Prepare(1, 0));  // variants 1 and 2
    EXPECT_EQ(Slot(0).GetUseBits(), 0x06);
    CRenderSurface* low = Image(0, 1);
    EXPECT_EQ(Image(0, 2), low);
    EXPECT_EQ(Image(0, 4), nullptr);
    ExpectImage(0, 1, FirstPicture());
    ASSERT_TRUE(Prepare(1, 1));  // variants 0 and 5
    EXPECT_EQ(Slot(0).GetUseBits(), 0x27);
    EXPECT_EQ(Image(0, 0), low);
    ExpectImage(0, 5, FirstPicture());
    int32_t w = 0;
    int32_t h = 0;
    EXPECT_TRUE(Home()->GetModuleSize(5, &w, &h));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 4);
    uint32_t flip = 0;
    Slot(0).GetImage(5, &flip);
    EXPECT_EQ(flip, CGraphics2d_Lite::kFlipX);
    Slot(0).GetImage(1, &flip);
    EXPECT_EQ(flip, CGraphics2d_Lite::kFlipY);
    Slot(0).GetImage(6, &flip);
    EXPECT_EQ(flip, CGraphics2d_Lite::kFlipY);
    Slot(0).GetImage(3, &flip);
    EXPECT_EQ(flip, CGraphics2d_Lite::kFlipX | CGraphics2d_Lite::kFlipY);
}

TEST_P(SpriteQueueTest, APaletteBlockRecoloursItsImage) {
    LoadStandard();
    ASSERT_TRUE(Prepare(1, 3));
    ExpectImage(1, 0, SecondPictureRecoloured());
}

TEST_P(SpriteQueueTest, AnImageLivesWhileAPreparedSpriteUsesIt) {
    LoadStandard();
    ASSERT_TRUE(Prepare(1, 0));  // variants 1 and 2
    ASSERT_TRUE(Prepare(1, 2));  // variant 1
    EXPECT_EQ(Slot(0).GetUseBits(), 0x06);
    Home()->ReleaseSprite(1, 0);
    EXPECT_EQ(Slot(0).GetUseBits(), 0x02);
    EXPECT_NE(Image(0, 1), nullptr);
    EXPECT_TRUE(Home()->IsSetLoaded(1));
    Home()->ReleaseSprite(1, 2);
    EXPECT_EQ(Slot(0).GetUseBits(), 0x00);
    EXPECT_EQ(Image(0, 1), nullptr);
    EXPECT_FALSE(Home()->IsSetLoaded(1));
    // Preparing again decodes anew.
    ASSERT_TRUE(Prepare(1, 2));
    ExpectImage(0, 1, FirstPicture());
}

TEST_P(SpriteQueueTest, ReleaseAllEmptiesQueueImagesAndSets) {
    LoadStandard();
    ASSERT_TRUE(Prepare(1, 1));
    ASSERT_TRUE(Prepare(0, 0));
    Home()->RequestSprite(1, 3);
    Home()->ReleaseAll();
    EXPECT_EQ(Home()->GetQueueState(), SK_Home::kQueueIdle);
    EXPECT_EQ(Home()->GetQueueProgress(), 0u);
    EXPECT_EQ(Slot(0).GetUseBits(), 0);
    EXPECT_EQ(Image(0, 0), nullptr);
    EXPECT_EQ(Image(0, 5), nullptr);
    EXPECT_FALSE(Home()->IsSetLoaded(0));
    EXPECT_FALSE(Home()->IsSetLoaded(1));
    EXPECT_EQ(m_asserts.Count(), 0);
}

TEST_P(SpriteQueueTest, AFailedSetDropsItsPairAndServesTheOthers) {
    LoadStandard();
    Home()->RequestSprite(1, 0);
    Home()->RequestSprite(2, 0);
    bool ok = true;
    EXPECT_FALSE(Home()->UpdatePreparation(1000, &ok));
    EXPECT_FALSE(ok);
    EXPECT_NE(Home()->GetQueueProgress(), 0u);
    while (Home()->GetQueueProgress() != 0) Home()->UpdatePreparation(1000, &ok);
    EXPECT_TRUE(Home()->IsSpritePrepared(1, 0));
    EXPECT_NE(Image(0, 1), nullptr);
    EXPECT_FALSE(Home()->IsSetLoaded(2));
}

TEST_P(SpriteQueueTest, ASpriteTheSetLacksIsRefused) {
    LoadStandard();
    EXPECT_FALSE(Prepare(1, 9));
    EXPECT_TRUE(m_asserts.Logged("has no sprite 9"));
    EXPECT_FALSE(Home()->IsSetLoaded(1));
    EXPECT_EQ(Home()->GetQueueState(), SK_Home::kQueueIdle);
}

// One image that cannot be decoded leaves only its own variants without an
// image: the others are decoded, and the sprite draws what it has.
TEST_P(SpriteQueueTest, AMissingImageHoldsUpNoOther) {
    std::vector<std::vector<uint8_t>> images = StandardImages();
    images[1].clear();
    MountAndLoad(StandardDefinition(), StandardSets(), images);
    EXPECT_FALSE(Prepare(1, 3));
    EXPECT_TRUE(m_asserts.Logged("does not open"));
    EXPECT_EQ(Image(1, 0), nullptr);
    images = StandardImages();
    images[1] = {'B', 'M', 0, 0};
    delete Home();
    m_archive.Unmount();
    MountAndLoad(StandardDefinition(), StandardSets(), images);
    Home()->RequestSprite(1, 3);
    Home()->RequestSprite(1, 1);
    bool allOk = true;
    while (Home()->GetQueueProgress() != 0) {
        bool ok = true;
        Home()->UpdatePreparation(1000, &ok);
        allOk = allOk && ok;
    }
    EXPECT_FALSE(allOk);
    EXPECT_EQ(Home()->GetQueueState(), SK_Home::kQueueIdle);
    EXPECT_EQ(Image(1, 0), nullptr);
    EXPECT_NE(Image(0, 0), nullptr);
    EXPECT_NE(Image(0, 5), nullptr);
    SK_Presenter presenter(1, 3);
    presenter.SetAnimation(0, 0, true);
    ASSERT_TRUE(presenter.IsReady());
    const int32_t before = m_asserts.Count();
    presenter.Draw(10, 10);
    EXPECT_GT(m_asserts.Count(), before);
    CRect rect;
    presenter.GetFrameRect(&rect);
    EXPECT_EQ(rect.x, 0);
}

// Releasing everything in the middle of preparation is reported, and still
// leaves an empty, consistent queue.
TEST_P(SpriteQueueTest, ReleaseAllWhilePreparingResetsTheQueue) {
    LoadStandard();
    Home()->RequestSprite(1, 0);
    Home()->RequestSprite(1, 1);
    bool ok = false;
    ASSERT_TRUE(Home()->UpdatePreparation(1000, &ok));
    ASSERT_TRUE(Home()->IsPreparing());
    Home()->ReleaseAll();
    EXPECT_EQ(m_asserts.Count(), 1);
    EXPECT_EQ(Home()->GetQueueState(), SK_Home::kQueueIdle);
    EXPECT_FALSE(Home()->IsSetLoaded(1));
    EXPECT_FALSE(Home()->IsModulePending(0));
    ASSERT_TRUE(Prepare(1, 0));
    EXPECT_NE(Image(0, 1), nullptr);
}

TEST_P(SpriteQueueTest, TheGetterFindsTheRegisteredHomeOrMakesOne) {
    auto* registered = new SK_Home();
    EXPECT_EQ(GetSpriteHome(), registered);
    EXPECT_EQ(SK_Home::GetInstance(), registered);
    delete registered;
    EXPECT_EQ(SK_Home::GetInstance(), nullptr);
    SK_Home* made = GetSpriteHome();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CSingleton::GetInstance(SK_Home::kClassKey), made);
    EXPECT_EQ(GetSpriteHome(), made);
}

INSTANTIATE_TEST_SUITE_P(Formats, SpriteQueueTest, ::testing::Values(RSBFormat_R5G6B5, RSBFormat_X8R8G8B8),
                         FormatName);

}  // namespace
}  // namespace spritetest
