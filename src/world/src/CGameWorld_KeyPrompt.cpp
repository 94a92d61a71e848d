#include "ActorTypes.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

// Player animations of the finishing moves, by prompt key.
constexpr int32_t kFinishDown = 27;
constexpr int32_t kFinishLeft = 24;
constexpr int32_t kFinishRight = 25;
constexpr int32_t kStandAnimation = 0;
constexpr uint32_t kKeyDown = 128;
constexpr uint32_t kKeyLeft = 64;
constexpr int32_t kPromptEndFadeMs = 100;

}  // namespace

void CGameWorld::RollPromptKeys() {
    promptCount = 1 + Random(0, 0);
    prompts.assign(static_cast<size_t>(promptCount), 0);
    for (int32_t& prompt : prompts) prompt = variantFlag != 0 ? Random(1, 2) : Random(0, 2);
}

void CGameWorld::StartKeyPrompt(int32_t frames) {
    promptIndex = 0;
    if ((promptFrames == 0 && promptStatus == kPromptIdle) || prompts.empty()) RollPromptKeys();
    promptFrames = 0;
    promptStatus = kPromptRunning;
    if (frames != 0) {
        promptLimit = frames;
        prompts[0] = 0;
    } else {
        promptLimit = kPromptDefaultFrames;
    }
    const int32_t animation = kPromptAnimations[prompts[0]];
    if (promptSprite && promptSprite->GetAnimationId() != animation) {
        promptSprite->SetAnimation(animation, 0, true, true);
    }
}

void CGameWorld::EndKeyPrompt(bool finish) {
    promptStatus = kPromptEnded;
    promptSuccess = 0;
    promptFrames = 0;
    if (!finish) return;
    CActor::SetPlayerTimedMode(false);
    CActor::ResetPlayerAttack();
    if (player != nullptr) player->SetStateWord(PlayerWord::kMode, PlayerWord::kModeFree);
    StartFade(kFadeDown, 0, kWhite, kPromptEndFadeMs);
}

// The key came in time: the screen darkens and the player starts the
// finishing move that belongs to the prompt's key.
void CGameWorld::FinishKeyPrompt() {
    promptIndex = 0;
    promptSuccess = 1;
    promptStatus = kPromptPassed;
    StartFade(kFadeUpHold, kWhite, 0, 0);
    if (player == nullptr) return;
    player->SetStateWord(PlayerWord::kFinisherGauge,
                         player->StateWord(PlayerWord::kFinisherGauge) - PlayerWord::kFinisherCost);
    player->SetStateWord(PlayerWord::kMode, PlayerWord::kModeHeld);
    const uint32_t key = kPromptKeys[prompts[0]];
    if (key == kKeyDown) {
        player->SetAnimation(kFinishDown, false);
        PlaySound(GameSound::kScriptSound);
        PlaySound(GameSound::kScriptSound);
    } else if (key == kKeyLeft) {
        player->SetAnimation(kFinishLeft, false);
        PlaySound(GameSound::kBlowLow);
    } else {
        player->SetAnimation(kFinishRight, false);
        PlaySound(GameSound::kBlowHigh);
    }
}

void CGameWorld::UpdateKeyPrompt(int32_t dt) {
    if (player != nullptr && player->IsAnimationDone() &&
        (player->IsAnimation(kFinishLeft) || player->IsAnimation(kFinishRight) || player->IsAnimation(kFinishDown))) {
        EndKeyPrompt(true);
        return;
    }
    if (promptStatus == kPromptEnded) {
        promptStatus = kPromptIdle;
        return;
    }
    if (promptStatus != kPromptRunning) return;
    // Without a player every word reads 0: the event ends.
    if (player == nullptr ||
        (player->StateWord(PlayerWord::kMeleeOnly) == 0 && player->StateWord(PlayerWord::kSpecial) < 1)) {
        EndKeyPrompt(false);
        return;
    }
    if (promptSprite) promptSprite->Tick(dt, false);
    if (promptFrames >= promptLimit) {
        EndKeyPrompt(false);
        return;
    }
    ++promptFrames;
    const size_t index = static_cast<size_t>(promptIndex);
    if (index >= prompts.size() || GetInput() == nullptr || !GetInput()->IsPressed(kPromptKeys[prompts[index]])) {
        return;
    }
    const bool counts = player->StateWord(PlayerWord::kMode) == PlayerWord::kModeAttacking ||
                        player->IsAnimation(kStandAnimation);
    if (!counts) return;
    if (++promptIndex >= promptCount) FinishKeyPrompt();
}

void CGameWorld::PaintKeyPrompt(JGraphics& g) {
    if (promptStatus != kPromptRunning || !promptSprite || player == nullptr || !player->sprite) return;
    const CSpriteInstance& body = *player->sprite;
    promptSprite->Paint(g, body.GetX() - cameraX, body.GetY() - 3 * body.GetBoxHeight() / 2 - cameraY);
}
