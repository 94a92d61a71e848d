#include "CStates.h"

#include "CGame.h"
#include "CGameProgress.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "JFont.h"
#include "ResourceText.h"

namespace {

// Full-width pages: from 60 below the top to 60 above the bottom.
constexpr int32_t kPageTop = 60;
constexpr int32_t kPageHeightMargin = 120;
constexpr int32_t kPagePlacement = 20;
constexpr int32_t kPausePlacement = 404;
constexpr int32_t kGameOverPlacement = 408;

JVector<int32_t> VectorOf(const int32_t* values, int32_t count) {
    JVector<int32_t> vector;
    for (int32_t i = 0; i < count; ++i) vector.addElement(values[i]);
    return vector;
}

}  // namespace

uint32_t CStates::EnableMaskFromFlags(const JVector<uint8_t>& flags) {
    uint32_t mask = 0;
    for (int32_t i = 0; i < flags.size() && i < CHud::kMaxMenuItems; ++i) {
        if (flags.elementAt(i) != 0) mask |= 1u << i;
    }
    return mask;
}

void CStates::OpenMenuPage(int32_t kind, int32_t mode, const JVector<JVector<int32_t>>& description,
                           CMenuPage& shown) {
    CHud* hud = Hud();
    if (mode == 0 && description.size() >= 2) {
        shown.items = description.elementAt(0);
        shown.layout = description.elementAt(1);
        if (kind != 0) return;
        if (description.size() >= 3) shown.limits = description.elementAt(2);
        if (shown.Kind() < 0) {
            shown.labels = BuildOptionLabels(shown, 0, 0);
            shown.valueLabels = BuildOptionLabels(shown, 0, 1);
        }
        if (hud != nullptr) ShowPageInHud(shown);
        return;
    }
    if (kind != 0 || hud == nullptr || description.size() < 1) return;
    const JVector<int32_t>& values = description.elementAt(0);
    if (mode == 1 && values.size() >= 5) {
        shown.popupLayout = values;
        hud->ShowPopup(values.elementAt(0), values.elementAt(1), values.elementAt(2), values.elementAt(3),
                       static_cast<uint32_t>(values.elementAt(4)));
    } else if (mode == 3) {
        TakeHudSelection(shown);
    }
}

void CStates::TakeHudSelection(CMenuPage& shown) {
    const CHud* hud = Hud();
    if (hud == nullptr || shown.layout.size() < CMenuPage::kLayoutSize || hud->selected < 0 ||
        hud->selected >= hud->itemIndexes.size()) {
        return;
    }
    shown.layout.elementAt(CMenuPage::kLayoutSelection) = hud->itemIndexes.elementAt(hud->selected);
}

// The row of the remembered item is selected; an item that is not listed
// selects one past the last row, which wraps to the first.
void CStates::ShowPageInHud(CMenuPage& shown) {
    CHud* hud = Hud();
    const JString title = shown.valueLabels.size() > 0 ? shown.valueLabels.elementAt(0) : JString();
    const JString subtitle = shown.valueLabels.size() > 1 ? shown.valueLabels.elementAt(1) : JString();
    hud->ShowMenu(shown.labels, static_cast<uint32_t>(shown.LayoutValue(CMenuPage::kLayoutEnableMask)), title,
                  subtitle);
    const int32_t wanted = shown.Selection();
    int32_t row = hud->itemIndexes.size();
    for (int32_t i = 0; i < hud->itemIndexes.size(); ++i) {
        if (hud->itemIndexes.elementAt(i) == wanted) {
            row = i;
            break;
        }
    }
    hud->Select(row);
}

JString CStates::ItemText(int32_t id) const {
    if (id < 0) return -id < messages.size() ? messages.elementAt(-id) : JString();
    return GetUpperText(id);
}

JString CStates::OnOffLabel(int32_t textId, bool on) const {
    return GetUpperText(textId) + JString(" ") + GetUpperText(on ? kTextOn : kTextOff);
}

JVector<JString> CStates::BuildOptionLabels(const CMenuPage& shown, int32_t mode, int32_t subMode) const {
    JVector<JString> result;
    if (mode != 0) return result;
    if (subMode == 1) {
        for (int32_t i = 0; i < shown.limits.size(); ++i) result.addElement(ItemText(shown.limits.elementAt(i)));
        return result;
    }
    const CSoundManager* sound = CGame::GetSound();
    const bool soundOn = sound != nullptr && sound->soundOn != 0;
    const bool vibrationOn = sound != nullptr && sound->vibrationOn != 0;
    const int32_t kind = shown.Kind();
    for (int32_t i = 0; i < shown.items.size(); ++i) {
        JString label;
        if (kind == kKindLanguages && i < languages.size()) label = languages.elementAt(i);
        if (kind == kKindOptions && i == 0) label = OnOffLabel(kTextSound, soundOn);
        if (kind == kKindOptions && i == 1) label = OnOffLabel(kTextVibration, vibrationOn);
        if (kind == kKindPause && i == 2) label = OnOffLabel(kTextSound, soundOn);
        if (label.length() == 0) label = ItemText(shown.items.elementAt(i));
        result.addElement(label);
    }
    return result;
}

void CStates::SetPageBox(int32_t mode, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags) {
    const int32_t values[] = {x, y, width, height, flags};
    pageBox.removeAllElements();
    pageBox.addElement(VectorOf(values, 5));
    OpenMenuPage(mode, 1, pageBox, page);
}

void CStates::OpenTitledPage(const int32_t* items, int32_t count, int32_t kind, int32_t selection, int32_t title0,
                             int32_t title1) {
    pageItems = VectorOf(items, count);
    const uint32_t mask = EnableMaskFromFlags(itemFlags);
    const int32_t layout[] = {static_cast<int32_t>(mask), static_cast<int32_t>(mask), kind, selection};
    pageLayout = VectorOf(layout, CMenuPage::kLayoutSize);
    const int32_t titles[] = {title0, title1};
    pageTitles = VectorOf(titles, 2);
    pageDesc.removeAllElements();
    pageDesc.addElement(pageItems);
    pageDesc.addElement(pageLayout);
    pageDesc.addElement(pageTitles);
    OpenMenuPage(0, 0, pageDesc, page);
}

void CStates::OpenPage(const int32_t* items, int32_t count, int32_t kind, int32_t selection) {
    OpenTitledPage(items, count, kind, selection, kNoTitle, kNoTitle);
}

void CStates::OpenMainMenuPage(int32_t selection) {
    CHud* hud = Hud();
    SetPageBox(0, HalfWidth(), kPageTop, ScreenWidth(), ScreenHeight() - kPageHeightMargin, kPagePlacement);
    hud->SetFrameStyle(true, true, false, false);
    static constexpr int32_t kItems[] = {kTextPlay, kTextOptions, kTextHelp, kTextAbout, kTextQuit};
    itemFlags.removeAllElements();
    for (int32_t i = 0; i < 5; ++i) itemFlags.addElement(1);
    hud->modal = 1;
    OpenPage(kItems, 5, kKindMainMenu, selection);
    hud->SetBoxFlags(false, false);
}

// The vibration item is built but not listed.
void CStates::OpenOptionsPage(int32_t kind, int32_t selection) {
    if (kind != kKindOptions) return;
    CHud* hud = Hud();
    itemFlags.removeAllElements();
    itemFlags.addElement(1);
    itemFlags.addElement(0);
    itemFlags.addElement(1);
    hud->SetFrameStyle(true, true, true, false);
    SetPageBox(0, HalfWidth(), kPageTop, ScreenWidth(), ScreenHeight() - kPageHeightMargin, kPagePlacement);
    hud->modal = 1;
    static constexpr int32_t kItems[] = {kTextSound, kTextVibration, kTextResetProgress};
    OpenPage(kItems, 3, kKindOptions, selection);
    hud->SetBoxFlags(false, false);
}

void CStates::OpenPausePage(int32_t kind, int32_t selection) {
    if (kind != kKindPause) return;
    CHud* hud = Hud();
    itemFlags.removeAllElements();
    for (int32_t i = 0; i < 5; ++i) itemFlags.addElement(1);
    SetPageBox(0, HalfWidth(), HalfHeight(), 0, 0, kPausePlacement);
    hud->SetFrameStyle(false, true, true, false);
    // The page's first frame, painted before the page takes a key, already
    // shows play without its controls.
    hud->HidePlayControls(true);
    hud->modal = 1;
    static constexpr int32_t kItems[] = {kTextResume, kTextRestartLevel, kTextSound, kTextHelp, kTextQuitToMenu};
    OpenPage(kItems, 5, kKindPause, selection);
    hud->SetBoxFlags(false, false);
}

void CStates::OpenGameOverPage(int32_t selection) {
    CHud* hud = Hud();
    itemFlags.removeAllElements();
    itemFlags.addElement(1);
    itemFlags.addElement(1);
    const int32_t fontHeight = font != nullptr ? font->getHeight() : 0;
    SetPageBox(0, HalfWidth(), ScreenHeight() - fontHeight, 0, 0, kGameOverPlacement);
    hud->SetFrameStyle(false, true, true, true);
    static constexpr int32_t kItems[] = {kTextRetry, kTextQuitToMenu};
    OpenPage(kItems, 2, kKindPause, selection);
}

// Levels up to the highest reached are listed.
void CStates::OpenLevelSelectPage(int32_t selection) {
    CHud* hud = Hud();
    const CGameProgress* progress = Progress();
    const int32_t highest = progress != nullptr ? progress->highestLevel : 0;
    itemFlags.removeAllElements();
    for (int32_t i = 0; i < kLevelCount; ++i) itemFlags.addElement(i <= highest ? 1 : 0);
    SetPageBox(0, HalfWidth(), kPageTop, ScreenWidth(), ScreenHeight() - kPageHeightMargin, kPagePlacement);
    hud->SetFrameStyle(true, true, false, false);
    hud->modal = 1;
    OpenPage(kLevelTexts, kLevelCount, kKindLevelSelect, selection);
    hud->SetBoxFlags(false, false);
}

void CStates::ToggleSoundOption(uint8_t option) {
    CSoundManager* sound = Sound();
    if (sound == nullptr) return;
    const bool vibrationWasOn = sound->vibrationOn != 0;
    if (option == soundOption) sound->soundOn ^= 1;
    if (option == vibrationOption) sound->vibrationOn ^= 1;
    sound->SetEnabled(sound->soundOn != 0);
    sound->SetVibrationEnabled(sound->vibrationOn != 0);
    if (!vibrationWasOn && sound->vibrationOn != 0) {
        sound->Vibrate(kVibrationMs);
        return;
    }
    if (option != soundOption) return;
    if (sound->soundOn == 0) {
        sound->Stop(false);
    } else {
        sound->Play(kSoundOnJingle, false);
    }
}
