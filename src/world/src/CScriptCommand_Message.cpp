#include "AppServices.h"
#include "CActor.h"
#include "CDeviceConfig.h"
#include "CGameApp.h"
#include "CGameInput.h"
#include "CGameSettings.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CKeyset.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CScriptCommand.h"
#include "CStates.h"
#include "CTouchButtonManager.h"
#include "JFont.h"
#include "ResourceText.h"

// The dialogue box (opcode 2) and the text page (opcode 29): the play stops
// while the HUD shows the text, and goes on when the HUD has closed it.

namespace {

constexpr int32_t kDialogueOpcode = 2;
constexpr int32_t kTextPageOpcode = 29;
constexpr int32_t kDialogueTexts = 0x500010D;
constexpr uint32_t kCentred = CHud::kCentreX | CHud::kCentreY;
// A page without a speaker is as high as its lines, in the middle of the
// screen, clear of the HUD's rows at the top (a fitted axis spans the screen
// until the lines are laid out).
constexpr uint32_t kCentredFitted = kCentred | CHud::kFitY;
constexpr int32_t kSpeakerPageHeight = 50;
constexpr uint32_t kSoftKeysMessage = 16;
constexpr uint32_t kSoftKeysPlay = 8;
constexpr uint32_t kMessageKeys = 0x1008010;
constexpr uint32_t kAllKeys = 0xFFFFFFFF;
constexpr int32_t kTouchGroupMove = 1;
constexpr int32_t kTouchGroupFormA = 2;
constexpr int32_t kTouchGroupFormB = 3;
constexpr int32_t kTouchGroupCheats = 5;

// Texts a device may replace with its own (device.conf).
struct Replacement {
    uint32_t key;
    CDeviceConfig::Text text;
};
constexpr Replacement kReplacements[] = {
    {0x21FF0131, CDeviceConfig::kHelp0101}, {0x21FF014A, CDeviceConfig::kHelp0102},
    {0x21FF0123, CDeviceConfig::kHelp0104}, {0x21FF01A6, CDeviceConfig::kHelp0105},
    {0x21FF01CB, CDeviceConfig::kHelp0106}, {0x21FF017B, CDeviceConfig::kHelp0303},
    {0x21FF011D, CDeviceConfig::kHelp0401}, {0x21FF0220, CDeviceConfig::kHelp0502},
};

// The text id of a dialogue entry; 0 when the set or the entry is missing.
uint32_t DialogueKey(int32_t index) {
    CResource* resource = nullptr;
    GetResource(kDialogueTexts, &resource);
    if (resource == nullptr) return 0;
    const auto* keys = dynamic_cast<const CKeyset*>(resource->GetObject());
    const uint32_t key = keys != nullptr && index >= 0 && static_cast<uint32_t>(index) < keys->GetCount()
                             ? keys->Get(static_cast<uint32_t>(index))
                             : 0;
    if (CResourceManager* manager = GetAppResourceManager()) manager->ReleaseByHandle(kDialogueTexts);
    return key;
}

JString MessageText(uint32_t key) {
    const CGameApp* app = GetGameApp();
    for (const Replacement& r : kReplacements) {
        if (r.key != key || app == nullptr) continue;
        if (const WChar* text = app->GetDeviceConfig().GetText(r.text)) return JString(text);
    }
    return GetUpperText(static_cast<int32_t>(key));
}

}  // namespace

void CScriptCommand::StartMessage(const ScriptMessageOperands& op) {
    m_world.playerControl = 0;
    CHud* hud = m_world.GetHud();
    // The box is drawn over the play picture: no clearing, no frame. The
    // play controls go with its first frame, also when the box follows
    // another one, which gave them back as it closed.
    if (hud != nullptr) {
        hud->SetBoxFlags(false, false);
        hud->HidePlayControls(false);
    }
    const uint32_t key = DialogueKey(op.text);
    if (hud != nullptr) hud->speaker = op.speaker;
    if (CActor* p = m_world.player) {
        p->vx = 0;
        p->ax = 0;
    }
    // Messages use the default font, whatever the menus last chose.
    if (CStates* states = m_world.GetStates()) states->SelectFont(0);
    if (hud == nullptr) return;
    const int32_t w = m_world.screenWidth;
    const int32_t h = m_world.screenHeight;
    const int32_t margin = w / 20;
    const int32_t fontHeight = hud->font != nullptr ? hud->font->getHeight() : 0;
    int32_t x = w >> 1;
    int32_t y = h >> 1;
    int32_t width = w - 40;
    const bool fitted = opcode != kDialogueOpcode && op.speaker == kScriptNoSpeaker;
    int32_t height = kSpeakerPageHeight;
    if (opcode == kDialogueOpcode) {
        const int32_t inner = (w / 6) * 5;
        x = ((w - inner) >> 1) + (inner >> 1);
        const JImage* portrait = op.speaker >= 0 && op.speaker < static_cast<int32_t>(m_world.portraitTable.size())
                                     ? m_world.portraitTable[static_cast<size_t>(op.speaker)]
                                     : nullptr;
        y = portrait != nullptr ? h - 17 - (portrait->getHeight() >> 1) : 0;
        width = w - 35 - 2 * margin;
        height = 52 - 2 * (fontHeight >> 1);
    }
    hud->SetFrameStyle(false, false, false, false);
    hud->ShowPopup(x, y, width, height, fitted ? kCentredFitted : kCentred);
    hud->ShowPlayPage(MessageText(key), opcode == kDialogueOpcode ? CHud::kDialogue : CHud::kPlayText);
    hud->modal = 1;
    if (CGameInput* input = m_world.GetInput()) input->SetSoftKeys(kSoftKeysMessage);
}

bool CScriptCommand::ShowsMessage() const {
    return (opcode == kDialogueOpcode || opcode == kTextPageOpcode) && done != kDone;
}

// Without a HUD there is nothing to close: the message ends at once.
void CScriptCommand::UpdateMessage() {
    const CHud* hud = m_world.GetHud();
    if (hud != nullptr && hud->mode != CHud::kClosed) return;
    EndMessage();
}

// The script that showed the box will not give the controls back: the box
// goes at once, and play goes on as after a closed box. A HUD that something
// else took since is left to it.
void CScriptCommand::LetGo() {
    if (!ShowsMessage()) return;
    CHud* hud = m_world.GetHud();
    if (hud != nullptr) hud->ClosePlayPage();
    UpdateMessage();
    if (done == kDone) m_world.playerControl = 1;
}

void CScriptCommand::EndMessage() {
    CHud* hud = m_world.GetHud();
    if (hud != nullptr) hud->modal = 0;
    CGameInput* input = m_world.GetInput();
    if (input != nullptr) {
        input->Release(kMessageKeys);
        input->SetSoftKeys(kSoftKeysPlay);
    }
    if (CTouchButtonManager* touch = m_world.GetTouchButtons()) {
        touch->Disable(kTouchGroupMove);
        touch->Disable(kTouchGroupFormA);
        touch->Disable(kTouchGroupFormB);
        if (IsCheatsEnabled(GetGameSettings()) != 0) touch->Disable(kTouchGroupCheats);
    }
    // The controls come back in the frame the box goes, and a key pressed
    // as it goes is kept; only what was held through the box is let go.
    m_world.ShowTouchControls();
    if (input != nullptr) input->Release(kAllKeys & ~input->pressed);
    done = kDone;
}
