#include "CStates.h"

#include "AppServices.h"
#include "CGame.h"
#include "CGameTimers.h"
#include "CHud.h"
#include "CResourceManager.h"
#include "JFont.h"
#include "JImage.h"
#include "ResIdArray.h"
#include "ResourceText.h"

namespace {

// The logo slides in for 1500 ms, bouncing twice a second; a long frame
// moves it by 200 ms at most.
constexpr int32_t kSlideMs = 1500;
constexpr int32_t kMaxSlideStep = 200;
constexpr int32_t kBounceMs = 500;
constexpr int32_t kHalfBounceMs = 250;
constexpr int32_t kBounceScale = kHalfBounceMs * kHalfBounceMs;
// The two logo pieces before the whole logo: its left 60 and 79 columns.
constexpr int32_t kLogoPieceCount = 3;
constexpr int32_t kFirstPieceWidth = 60;
constexpr int32_t kSecondPieceWidth = 79;
constexpr int32_t kIntroImageMs = 3000;
constexpr int32_t kTitleGap = 10;
constexpr int32_t kTitleHeight = 10;
constexpr uint32_t kIntroPlacement = 240;
constexpr uint32_t kTitlePlacement = 16;

int32_t WidthOf(const JImage* image) { return image != nullptr ? image->getWidth() : 0; }
int32_t HeightOf(const JImage* image) { return image != nullptr ? image->getHeight() : 0; }

JImage* LogoPiece(const JImage* logo, int32_t width) {
    if (logo == nullptr) return new JImage();
    return new JImage(logo, 0, 0, width, logo->getHeight());
}

}  // namespace

void CStates::SelectFont(int32_t mode) {
    if (mode == 0) font = defaultFont;
    if (mode == 1) font = altFont;
    CHud* hud = Hud();
    if (hud != nullptr) hud->font = font;
}

void CStates::SetupCommonUi() {
    if (logoSheet == nullptr) logoSheet = new JImage(kLogoImage, 0);
    // The HUD and the current font point at the old font until SelectFont.
    delete defaultFont;
    defaultFont = new JFont(0);
    altFont = defaultFont;
    font = nullptr;
    SelectFont(0);
}

// The logo's pieces share its picture; the last entry is the logo itself,
// which the array does not own.
void CStates::EnterLogoSlide() {
    Hud()->keepBox = false;
    ReleaseSplashImages();
    if (logoSheet == nullptr) logoSheet = new JImage(kLogoImage, 0);
    const int32_t w = WidthOf(logoSheet);
    const int32_t h = HeightOf(logoSheet);
    images = new JImage*[kLogoPieceCount];
    images[0] = LogoPiece(logoSheet, kFirstPieceWidth);
    images[1] = LogoPiece(logoSheet, kSecondPieceWidth);
    images[2] = logoSheet;
    imageCount = kLogoPieceCount;
    stateTime = 0;
    slideDistance = (ScreenWidth() + w) >> 1;
    bounceHeight = (ScreenHeight() - h) / 2;
    restX = (ScreenWidth() - w) / 2;
    restY = bounceHeight;
    PlaySound(kSoundLogo, false);
}

int32_t CStates::SlideLogo(int32_t dt, bool select) {
    stateTime += dt < kMaxSlideStep ? dt : kMaxSlideStep;
    if (select) return kTitle;
    if (stateTime > kSlideMs) return kLogoPieces;
    const int32_t t = stateTime;
    const int32_t p = t % kBounceMs - kHalfBounceMs;
    logoY = bounceHeight * p * p / kBounceScale;
    logoX = ScreenWidth() - slideDistance + slideDistance * (kSlideMs - t) / kSlideMs;
    currentImage = imageCount > 0 ? images[0] : nullptr;
    return 0;
}

// State 10 steps through the pieces on its repeating timer; state 11 waits
// for one expiry.
int32_t CStates::ShowLogoPieces(int32_t dt, bool select) {
    if (select) return kTitle;
    if (!CGame::GetTimers()->Tick(kSplashTimer, dt)) return 0;
    if (state == kLogoWhole) return kTitle;
    ++stateTime;
    if (stateTime >= imageCount) return kLogoWhole;
    currentImage = images[stateTime];
    return 0;
}

void CStates::EnterTitle() {
    const int32_t fontHeight = font != nullptr ? font->getHeight() : 0;
    Hud()->ShowPopup(HalfWidth(), restY + HeightOf(logoSheet) + fontHeight + kTitleGap, WidthOf(logoSheet),
                     kTitleHeight, kTitlePlacement);
    LoadIntro();
}

// A missing intro group leaves no intro images: state 14 then goes
// straight on.
void CStates::LoadIntro() {
    CResource* group = nullptr;
    ResIdArray* ids = CollectResourceIds(kIntroGroup, &group);
    JVector<uint32_t> members;
    for (int32_t i = 0; ids != nullptr && i < ids->size(); ++i) members.addElement(*ids->at(i));
    if (ids != nullptr) ids->destroy();
    CResourceManager* manager = GetAppResourceManager();
    if (group != nullptr && manager != nullptr) manager->ReleaseByHandle(static_cast<uint32_t>(kIntroGroup));
    for (int32_t i = 0; i < imageCount; ++i) {
        if (images[i] != logoSheet) delete images[i];
    }
    delete[] images;
    images = nullptr;
    imageCount = 0;
    if (members.size() > 0) images = new JImage*[members.size()];
    for (int32_t i = 0; i < members.size(); ++i) {
        images[i] = new JImage(members.elementAt(i), 0);
        ++imageCount;
        ++introImagesLoaded;
    }
    CGame* game = Game();
    if (game != nullptr) game->titleText = GetUpperText(kTextCaption);
}

void CStates::EnterIntroImage() {
    CHud* hud = Hud();
    hud->ShowPopup(HalfWidth(), HalfHeight(), 0, 0, kIntroPlacement);
    hud->ShowImage(currentImage, kIntroImageMs);
}

void CStates::ReleaseSplashImages() {
    for (int32_t i = 0; i < imageCount; ++i) {
        if (images[i] != logoSheet) delete images[i];
    }
    delete[] images;
    images = nullptr;
    imageCount = 0;
    currentImage = nullptr;
    delete logoSheet;
    logoSheet = nullptr;
}

// Both halves of the frame come from one picture: the right half is drawn
// mirrored.
void CStates::LoadMenuFrame() {
    if (frameHalf == nullptr) frameHalf = new JImage(kFrameHalfImage, 0);
    if (frameBar == nullptr) frameBar = new JImage(kFrameBarImage, 0);
    if (frameEdge == nullptr) frameEdge = new JImage(kFrameEdgeImage, 0);
    CHud* hud = Hud();
    if (hud != nullptr) hud->LoadFrameImages();
}

void CStates::FreeMenuFrame() {
    // A picture made later may take a freed one's address; and play keeps
    // no menu page.
    m_backdrop.Forget();
    delete frameHalf;
    frameHalf = nullptr;
    delete frameExtra;
    frameExtra = nullptr;
    delete frameBar;
    frameBar = nullptr;
}
