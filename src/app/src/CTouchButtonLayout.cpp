#include "CTouchButtonLayout.h"

#include "GameKeys.h"

namespace {

// The pad of the play controls: its square side, and where it stands off
// the screen's centre.
constexpr int32_t kPadSize = 93;
constexpr int32_t kPadShiftX = -70;
constexpr int32_t kPadShiftY = 40;
constexpr int32_t kPadCell = 31;

struct PadKey {
    int32_t x, y, w, h;
    uint32_t keys;
};

constexpr PadKey kPadKeys[] = {
    {35, 5, 23, 23, GameKey::kUp},    {4, 36, 23, 23, GameKey::kLeft},  {66, 36, 23, 23, GameKey::kRight},
    {35, 67, 23, 23, GameKey::kDown}, {6, 9, 15, 15, GameKey::kNum1},   {74, 9, 15, 15, GameKey::kNum3},
};

constexpr int32_t kFirstPadButton = 2;
constexpr int32_t kCornerKeySize = 24;
constexpr int32_t kArrowSize = 12;
constexpr int32_t kArrowRise = 64;
constexpr int32_t kCheatKeySize = 28;

// The buttons of each group, in order; -1 ends a list.
constexpr int32_t kGroupButtons[CTouchButtonLayout::kGroupCount][8] = {
    {0, 1, -1}, {2, 3, 4, 5, 6, 7, 11, -1}, {8, -1}, {9, 10, -1}, {12, 13, -1}, {14, 15, -1},
};

}  // namespace

void CTouchButtonLayout::Place(int32_t button, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t keys) {
    m_buttons[button].SetRect(x, y, w, h);
    m_buttons[button].SetId(CTouchButton::kKeyAction, keys);
}

void CTouchButtonLayout::Build(int32_t width, int32_t height, const SoftKeyInsets& insets) {
    const int32_t padX = ((width - kPadSize) >> 1) + kPadShiftX;
    const int32_t padY = ((height - kPadSize) >> 1) + kPadShiftY;
    const int32_t halfWidth = width / 2;
    Place(0, insets.left, height - kSoftKeyHeight, kSoftKeyWidth, kSoftKeyHeight, GameKey::kConfirm);
    Place(1, width - insets.right - kSoftKeyWidth, height - kSoftKeyHeight, kSoftKeyWidth, kSoftKeyHeight,
          GameKey::kCancel | GameKey::kSoftRight);
    for (int32_t i = 0; i < static_cast<int32_t>(sizeof(kPadKeys) / sizeof(kPadKeys[0])); ++i) {
        const PadKey& key = kPadKeys[i];
        Place(kFirstPadButton + i, padX + key.x, padY + key.y, key.w, key.h, key.keys);
    }
    Place(8, padX + kPadCell, padY + kPadSize, kPadCell, kPadCell, GameKey::kFire);
    Place(9, padX, padY + kPadSize + 1, kPadCell, kPadCell, GameKey::kFire);
    Place(10, padX + 2 * kPadCell, padY + kPadSize + 1, kPadCell, kPadCell, GameKey::kNum0);
    Place(11, 0, 0, kCornerKeySize, kCornerKeySize, GameKey::kPound);
    Place(12, halfWidth - 30, height - kArrowRise, kArrowSize, kArrowSize, GameKey::kUp);
    Place(13, halfWidth + 18, height - kArrowRise, kArrowSize, kArrowSize, GameKey::kDown);
    Place(14, halfWidth - kCheatKeySize / 2, 0, kCheatKeySize, kCheatKeySize, GameKey::kNum1);
    Place(15, width - kCheatKeySize, 0, kCheatKeySize, kCheatKeySize, GameKey::kNum9);
    for (int32_t group = 0; group < kGroupCount; ++group) {
        m_groups[group].removeAllElements();
        for (const int32_t* b = kGroupButtons[group]; *b >= 0; ++b) m_groups[group].addElement(&m_buttons[*b]);
    }
}

void CTouchButtonLayout::Register(CTouchButtonManager& manager) {
    for (int32_t group = 0; group < kGroupCount; ++group) manager.AddGroup(group, &m_groups[group]);
    manager.Enable(kGroupSoftKeys);
}
