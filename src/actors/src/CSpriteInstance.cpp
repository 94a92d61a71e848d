#include "CSpriteInstance.h"

#include "AppServices.h"
#include "CAssert.h"
#include "AppWorld.h"
#include "CGameWorld.h"
#include "CRect.h"
#include "SK_Home.h"
#include "SK_Presenter.h"

CSpriteInstance::CSpriteInstance() = default;

CSpriteInstance::~CSpriteInstance() { ReleasePresenter(); }

int32_t CSpriteInstance::SpriteOf(int32_t set) {
    const CGameWorld* world = GetAppWorld();
    const bool variant = world != nullptr && world->variantFlag != 0;
    return set == kVariantSet && variant ? kVariantSprite : 0;
}

void CSpriteInstance::SetSprite(int32_t set) { Bind(set, SpriteOf(set)); }

void CSpriteInstance::CopySprite(const CSpriteInstance& other) {
    uint8_t set = 0;
    uint8_t sprite = 0;
    other.GetSetAndSprite(set, sprite);
    Bind(set, SpriteOf(set));
}

void CSpriteInstance::ReleasePresenter() { presenter.reset(); }

// Binding waits for the sprite module: an actor must have its boxes from the
// first frame on. A sprite that cannot be prepared leaves a presenter that is
// never ready, which draws and finds nothing.
void CSpriteInstance::Bind(int32_t set, int32_t sprite) {
    ReleasePresenter();
    collisionBox = {0, 0, 0, 0};
    attackBox = {0, 0, 0, 0};
    loop = 0;
    lastTransform = 0;
    lastFrame = -1;
    centreX = centreY = 0;
    x = y = 0;
    visible = 1;
    const auto setByte = static_cast<uint8_t>(set);
    const auto spriteByte = static_cast<uint8_t>(sprite);
    SK_Home* home = GetSpriteHome();
    if (home != nullptr && home->IsLoaded() && !home->IsSpritePrepared(setByte, spriteByte)) {
        home->RequestSprite(setByte, spriteByte);
        while (home->GetQueueProgress() != 0) {
            bool ok = false;
            home->UpdatePreparation(kPreparationBudgetMs, &ok);
        }
    }
    presenter = std::make_unique<SK_Presenter>();
    presenter->SetSprite(setByte, spriteByte);
    presenter->SetAnimation(0, 0, false);
    presenter->SetOffset(0, 0);
    CRect rect;
    presenter->GetFrameRect(&rect);
    if (!presenter->IsReady() || (rect.x == kNoParts && rect.y == kNoParts)) {
        centreX = centreY = -1;
        collisionBox = {0, 0, 1, 1};
        return;
    }
    const int32_t box[4] = {rect.x, rect.y, rect.width, rect.height};
    SetCollisionBox(box);
}

void CSpriteInstance::SetCollisionBox(const int32_t* box) {
    collisionBox = {box[kBoxX], box[kBoxY], box[kBoxWidth], box[kBoxHeight]};
    centreX = box[kBoxX] + (box[kBoxWidth] >> 1);
    centreY = box[kBoxY] + (box[kBoxHeight] >> 1);
}

void CSpriteInstance::Tick(int32_t dt, bool boxUpdate) {
    if (!presenter) return;
    presenter->Tick(dt);
    if (!boxUpdate) return;
    const int32_t frame = GetFrame();
    const int32_t transform = GetTransform();
    if (frame != lastFrame || transform != lastTransform) {
        UpdateCollisionBox();
        lastFrame = frame;
        lastTransform = transform;
    }
}

// Animation ids come from level data too: one the sprite's set lacks, or
// any on a sprite that could not be prepared, is ignored.
bool CSpriteInstance::HasAnimation(int32_t id) const {
    uint8_t set = 0;
    uint8_t sprite = 0;
    const SK_Home* home = GetSpriteHome();
    if (!GetSetAndSprite(set, sprite) || home == nullptr || !home->IsLoaded()) return false;
    if (id >= 0 && home->IsSpritePrepared(set, sprite) && home->IsAnimationIndexValid(set, static_cast<uint32_t>(id))) {
        return true;
    }
    DebugPrintf("sprite: set %u, sprite %u has no animation %d", static_cast<unsigned>(set),
                static_cast<unsigned>(sprite), id);
    return false;
}

void CSpriteInstance::SetAnimation(int32_t id, int32_t transform, bool newLoop, bool force) {
    if (id != -1 && !HasAnimation(id)) return;
    const bool same = presenter && GetAnimationId() == static_cast<uint16_t>(id) && !IsFinished() &&
                      GetTransform() == transform && GetLoop() == newLoop;
    if (force || !same) {
        if (id != -1 && presenter) presenter->SetAnimation(static_cast<uint32_t>(id), static_cast<uint8_t>(transform), newLoop);
    }
    loop = newLoop ? 1 : 0;
}

void CSpriteInstance::UpdateCollisionBox() {
    if (presenter && presenter->ComputeMainBox()) SetCollisionBox(presenter->GetMainBox());
}

void CSpriteInstance::UpdateAttackBox(int32_t attribute) {
    if (presenter && presenter->ComputeBox(attribute)) {
        const int32_t* box = presenter->GetBox();
        attackBox = {box[kBoxX], box[kBoxY], box[kBoxWidth], box[kBoxHeight]};
    } else {
        attackBox = {0, 0, 0, 0};
    }
}

void CSpriteInstance::Paint(JGraphics&, int32_t px, int32_t py) {
    if (visible != 0 && presenter) presenter->Draw(px, py);
}

int32_t CSpriteInstance::GetTransform() const { return presenter ? presenter->GetTransform() : 0; }

int32_t CSpriteInstance::GetAnimationId() const { return presenter ? presenter->GetAnimation() : 0; }

// Nothing plays on a presenter that is not ready: it counts as finished.
bool CSpriteInstance::IsFinished() const { return !presenter || !presenter->IsReady() || presenter->IsFinished(); }

int32_t CSpriteInstance::GetFrame() const { return presenter ? presenter->GetFrame() : 0; }

void CSpriteInstance::SetTransform(int32_t transform) {
    if (presenter && presenter->IsReady()) presenter->SetTransform(static_cast<uint8_t>(transform));
}

bool CSpriteInstance::GetSetAndSprite(uint8_t& set, uint8_t& sprite) const {
    if (!presenter) return false;
    presenter->GetSetAndSprite(set, sprite);
    return true;
}
