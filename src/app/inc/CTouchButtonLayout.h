#ifndef CTOUCHBUTTONLAYOUT_H
#define CTOUCHBUTTONLAYOUT_H

#include <cstdint>

#include "CTouchButton.h"
#include "CTouchButtonManager.h"
#include "SoftKeyInsets.h"

// The game's sixteen touch buttons in their six groups, placed once for the
// screen size the game starts with: the soft keys (group 0, always on), the
// pad and its diagonals (1), fire of the first player form (2), fire and
// the remote of the second (3), the arrows of scrolling text (4) and the
// cheat keys (5). It owns the buttons and the group lists.
class CTouchButtonLayout {
public:
    static constexpr int32_t kButtonCount = 16;
    static constexpr int32_t kGroupCount = 6;

    static constexpr int32_t kGroupSoftKeys = 0;
    static constexpr int32_t kGroupPad = 1;
    static constexpr int32_t kGroupFireFirstForm = 2;
    static constexpr int32_t kGroupSecondForm = 3;
    static constexpr int32_t kGroupTextArrows = 4;
    static constexpr int32_t kGroupCheats = 5;

    static constexpr int32_t kSoftKeyWidth = 62;
    static constexpr int32_t kSoftKeyHeight = 28;

    CTouchButtonLayout() = default;

    CTouchButtonLayout(const CTouchButtonLayout&) = delete;
    CTouchButtonLayout& operator=(const CTouchButtonLayout&) = delete;

    // Places the buttons on a screen of the given size.
    void Build(int32_t width, int32_t height, const SoftKeyInsets& insets);
    // Registers the groups under their ids and enables the soft keys.
    void Register(CTouchButtonManager& manager);

    const CTouchButton& Button(int32_t i) const { return m_buttons[i]; }
    TouchButtonList& Group(int32_t id) { return m_groups[id]; }

private:
    void Place(int32_t button, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t keys);

    CTouchButton m_buttons[kButtonCount];
    TouchButtonList m_groups[kGroupCount];
};

#endif
