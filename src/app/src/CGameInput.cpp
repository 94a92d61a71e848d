#include "CGameInput.h"

#include "AppServices.h"
#include "JGraphics.h"
#include "JImage.h"
#include "SoftKeyInsets.h"

namespace {

struct KeyBits {
    int32_t code;
    uint32_t bits;
};

using namespace GameKey;

constexpr KeyBits kKeyTable[] = {
    {EngineKey::kUp, kUp},
    {EngineKey::kDown, kDown},
    {EngineKey::kLeft, kLeft},
    {EngineKey::kRight, kRight},
    {EngineKey::kSelect, kOpenOrConfirm},
    {EngineKey::kBack, kBack},
    {EngineKey::kSoftLeft, kConfirm | kSoftLeft},
    {EngineKey::kSoftRight, kCancel | kSoftRight},
    {EngineKey::kPound, kPound},
    {EngineKey::kStar, kStar},
    {'0', kNum0},
    {'1', kNum1},
    {'2', kNum2 | kUp},
    {'3', kNum3},
    {'4', kNum4 | kLeft},
    {'5', kOpenOrConfirm},
    {'6', kNum6 | kRight},
    {'7', kNum7},
    {'8', kNum8 | kDown},
    {'9', kNum9},
};

// The corner decoration lifts the icons beside it.
constexpr int32_t kCornerShiftX = 24;
constexpr int32_t kCornerShiftY = -6;
constexpr int32_t kMirrored = 2;
constexpr int32_t kFrameNotRaised = 3;

}  // namespace

CGameInput::~CGameInput() {
    delete softKeyStrip;
    delete cornerImage;
}

void CGameInput::Init() {
    if (softKeyStrip == nullptr) softKeyStrip = new JImage(kSoftKeyStripImage, 0);
    if (cornerImage == nullptr) cornerImage = new JImage(kCornerImage, 0);
}

uint32_t CGameInput::KeyToBits(int32_t code) {
    for (const KeyBits& entry : kKeyTable) {
        if (entry.code == code) return entry.bits;
    }
    return kOther;
}

void CGameInput::OnKey(int32_t code, bool isPressed) {
    const uint32_t bits = KeyToBits(code);
    if (isPressed) {
        Hold(bits);
        Press(bits);
        pendingKeyWentDown = true;
    } else {
        AddReleased(bits);
        Release(bits);
    }
}

void CGameInput::Hold(uint32_t bits) {
    if (bits == kSoftLeft || bits == kSoftRight) return;
    held |= bits;
}

void CGameInput::LatchFrame() {
    pressed = pendingPressed;
    pendingPressed = 0;
    released = pendingReleased;
    pendingReleased = 0;
    keyWentDown = pendingKeyWentDown;
    pendingKeyWentDown = false;
}

void CGameInput::Reset() {
    pressed = 0;
    pendingPressed = 0;
    held = 0;
    keyWentDown = false;
    pendingKeyWentDown = false;
}

int32_t CGameInput::LeftIconOf(uint32_t flags) {
    switch (flags & (kLeftConfirm | kLeftConfirmAlt | kLeftFrame3)) {
        case kLeftConfirm:
        case kLeftConfirmAlt:
            return 0;
        case kLeftFrame3:
            return 3;
        default:
            return kNoIcon;
    }
}

int32_t CGameInput::RightIconOf(uint32_t flags) {
    switch (flags & (kRightBack | kRightFrame2)) {
        case kRightBack:
            return 1;
        case kRightFrame2:
            return 2;
        default:
            return kNoIcon;
    }
}

void CGameInput::SetSoftKeys(uint32_t flags) {
    leftSoftKeyIcon = LeftIconOf(flags);
    rightSoftKeyIcon = RightIconOf(flags);
    softKeyBarHeight = softKeyStrip != nullptr ? softKeyStrip->getHeight() : 0;
}

void CGameInput::DrawIcon(JGraphics& g, int32_t icon, int32_t x, int32_t y) {
    const int32_t frameWidth = softKeyStrip->getWidth() / kStripFrames;
    softKeyStrip->drawRegion(g, icon * frameWidth, 0, frameWidth, softKeyBarHeight, 0, x, y, JImage::kAnchorDefault);
}

void CGameInput::PaintSoftKeys(JGraphics& g, int32_t screenWidth, int32_t screenHeight) {
    if (skipSoftKeyPaint) {
        skipSoftKeyPaint = false;
        return;
    }
    if (softKeyBarHeight <= 0 || softKeyStrip == nullptr) return;
    const SoftKeyInsets insets =
        SoftKeyInsets::OfApp(static_cast<uint32_t>(GetScreenWidth()), static_cast<uint32_t>(GetScreenHeight()));
    resetClip(g);
    const int32_t frameWidth = softKeyStrip->getWidth() / kStripFrames;
    int32_t dx = 0;
    int32_t dy = 0;
    const bool corners = cornerImagesEnabled && cornerImage != nullptr;
    if (corners && leftSoftKeyIcon == 0) {
        cornerImage->draw(g, insets.left, screenHeight - cornerImage->getHeight(), JImage::kAnchorDefault, 0);
        dx = kCornerShiftX;
        dy = kCornerShiftY;
    }
    if (corners && rightSoftKeyIcon == 1) {
        cornerImage->draw(g, screenWidth - cornerImage->getWidth() - insets.right,
                          screenHeight - cornerImage->getHeight(), JImage::kAnchorDefault, kMirrored);
        dx = kCornerShiftX;
        dy = kCornerShiftY;
    }
    const int32_t barTop = screenHeight - softKeyBarHeight;
    if (leftSoftKeyIcon == kFrameNotRaised) {
        DrawIcon(g, leftSoftKeyIcon, dx + insets.left, barTop);
    } else if (leftSoftKeyIcon != kNoIcon) {
        DrawIcon(g, leftSoftKeyIcon, dx + insets.left, barTop + dy);
    }
    if (rightSoftKeyIcon != kNoIcon) {
        DrawIcon(g, rightSoftKeyIcon, screenWidth - frameWidth - dx - insets.right, barTop + dy);
    }
}
