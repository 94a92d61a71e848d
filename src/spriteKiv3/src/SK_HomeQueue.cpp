// The preparation queue: sets loaded and sprites marked one pair per step,
// then the images their variants need decoded in passes under a budget.

#include "AppServices.h"
#include "CAppBase.h"
#include "CAssert.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CGraphics2d_Lite.h"
#include "CRegistry.h"
#include "CRegistryItem.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceFactory.h"
#include "CRuntime.h"
#include "SK_Home.h"

namespace {

// Orientation under which a surface stores its picture transposed.
constexpr uintptr_t kTransposed = 3;
// The off-screen kind of surface that the renderer's mode stands for.
constexpr uint32_t kSurfaceKind = CGraphics2d_Lite::kMode;
static_assert(kSurfaceKind == kRenderSurfaceKindOffScreen, "images are decoded into off-screen surfaces");
constexpr int32_t kMaxAttributes = 8;

CBigFileReader* FindArchive() {
    CRegistry* registry = GetAppRegistry();
    CRegistryItem* item = nullptr;
    if (registry == nullptr || !registry->Find(0, SK_Home::kArchiveRegistryId, &item) || item == nullptr) {
        return nullptr;
    }
    CClass* object = item->GetObject();
    if (object == nullptr || object->GetClassKey() != CBigFileReader::kClassKey) return nullptr;
    return static_cast<CBigFileReader*>(object);
}

int32_t PairCount(const SK_PrepQueue& queue) { return queue.setBytes.Size(); }

}  // namespace

void SK_Home::ResetQueue() {
    m_queue.state = kQueueIdle;
    m_queue.setBytes.Clear();
    m_queue.spriteBytes.Clear();
    m_queue.pendingModules.Init(GetImageModuleCount());
    m_queue.cursor = GetImageModuleCount();
}

bool SK_Home::RequestSprite(uint8_t set, uint8_t sprite) {
    ASSERT(IsSetIndexValid(set));
    ASSERT(!IsPreparing());
    if (!IsSetIndexValid(set)) return false;
    if (IsSpritePrepared(set, sprite)) return true;
    return Enqueue(set, sprite);
}

bool SK_Home::Enqueue(uint8_t set, uint8_t sprite) {
    for (int32_t i = 0; i < PairCount(m_queue); ++i) {
        uint32_t queuedSet = 0;
        uint32_t queuedSprite = 0;
        m_queue.setBytes.GetAt(i, &queuedSet);
        m_queue.spriteBytes.GetAt(i, &queuedSprite);
        if (queuedSet == set && queuedSprite == sprite) return false;
    }
    if (m_queue.setBytes.Add(set) < 0) return false;
    if (m_queue.spriteBytes.Add(sprite) < 0) {
        m_queue.setBytes.RemoveAt(PairCount(m_queue) - 1, static_cast<uint32_t*>(nullptr));
        return false;
    }
    if (m_queue.state == kQueueIdle) m_queue.state = kQueueQueued;
    return true;
}

bool SK_Home::UpdatePreparation(uint32_t budgetMs, bool* ok) {
    *ok = true;
    if (budgetMs == 0) {
        *ok = false;
        return false;
    }
    if (m_queue.state == kQueueIdle) return false;
    m_queue.state = kQueueWorking;
    if (PairCount(m_queue) > 0) return ServeLastPair(ok);
    const bool more = DecodePendingImages(budgetMs, ok);
    if (!more) m_queue.state = kQueueIdle;
    return more;
}

// The last pair queued is served first.
bool SK_Home::ServeLastPair(bool* ok) {
    const int32_t last = PairCount(m_queue) - 1;
    uint32_t set = 0;
    uint32_t sprite = 0;
    m_queue.setBytes.RemoveAt(last, &set);
    m_queue.spriteBytes.RemoveAt(last, &sprite);
    const bool prepared = PrepareSprite(static_cast<uint8_t>(set), static_cast<uint8_t>(sprite));
    if (!prepared) *ok = false;
    if (PairCount(m_queue) == 0 && m_queue.pendingModules.GetSetCount() == 0) {
        m_queue.state = kQueueIdle;
        return false;
    }
    return prepared;
}

uint32_t SK_Home::GetQueueProgress() const {
    const uint32_t pairs = static_cast<uint32_t>(PairCount(m_queue));
    const uint32_t modules = GetImageModuleCount();
    switch (m_queue.state) {
        case kQueueQueued:
            return pairs + modules;
        case kQueueWorking:
            return pairs + (m_queue.cursor < modules ? modules - m_queue.cursor : modules);
        default:
            return 0;
    }
}

bool SK_Home::IsModulePending(uint32_t module) const {
    return m_queue.pendingModules.Get(static_cast<int32_t>(module));
}

bool SK_Home::PrepareSprite(uint8_t set, uint8_t sprite) {
    if (!LoadSpriteSet(set)) return false;
    if (!IsSpriteIndexValid(set, sprite)) {
        DebugPrintf("SK_Home: sprite set %u has no sprite %u", set, sprite);
        if (!HasPreparedSprite(set)) UnloadSpriteSet(set);
        return false;
    }
    PrepareSpriteImages(set, sprite);
    return true;
}

void SK_Home::PrepareSpriteImages(uint8_t set, uint8_t sprite) {
    if (!IsSpriteIndexValid(set, sprite)) return;
    SK_Sprite& record = m_sets[set]->sprites[sprite];
    if (record.prepared != 0) return;
    record.prepared = 1;
    for (uint32_t m = 0; m < m_imageModules.Count(); ++m) {
        if (!record.usedImageModules.Get(static_cast<int32_t>(m))) continue;
        const SK_ImageModule& module = m_imageModules[m];
        SK_ImageSlot& slot = m_slots[module.slotIndex];
        if (slot.HasVariant(module.variant)) continue;
        if (slot.NeedsImage(module.variant)) {
            m_queue.pendingModules.Set(static_cast<int32_t>(m), true);
        } else {
            slot.Acquire(module.variant, nullptr);
        }
    }
}

bool SK_Home::IsVariantHeld(uint16_t slotIndex, uint8_t variant) const {
    for (uint32_t m = 0; m < m_imageModules.Count(); ++m) {
        const SK_ImageModule& module = m_imageModules[m];
        if (module.slotIndex != slotIndex || module.variant != variant) continue;
        for (uint32_t set = 0; set < m_sets.Count(); ++set) {
            const SK_SpriteSet* record = m_sets[set];
            if (record == nullptr) continue;
            for (uint32_t s = 0; s < record->sprites.Count(); ++s) {
                const SK_Sprite& sprite = record->sprites[s];
                if (sprite.prepared != 0 && sprite.usedImageModules.Get(static_cast<int32_t>(m))) return true;
            }
        }
    }
    return false;
}

bool SK_Home::HasPreparedSprite(uint8_t set) const {
    const SK_SpriteSet* record = GetSpriteSet(set);
    if (record == nullptr) return false;
    for (uint32_t s = 0; s < record->sprites.Count(); ++s) {
        if (record->sprites[s].prepared != 0) return true;
    }
    return false;
}

bool SK_Home::ReleaseSpriteImages(uint8_t set, uint8_t sprite) {
    if (!IsSpritePrepared(set, sprite)) return false;
    SK_Sprite& record = m_sets[set]->sprites[sprite];
    record.prepared = 0;
    for (uint32_t m = 0; m < m_imageModules.Count(); ++m) {
        if (!record.usedImageModules.Get(static_cast<int32_t>(m))) continue;
        const SK_ImageModule& module = m_imageModules[m];
        SK_ImageSlot& slot = m_slots[module.slotIndex];
        const bool inUse = slot.HasVariant(module.variant);
        const bool pending = IsModulePending(m);
        if ((!inUse && !pending) || IsVariantHeld(module.slotIndex, module.variant)) continue;
        if (inUse) slot.Release(module.variant);
        // No prepared sprite needs it any more: no pass decodes it for nothing.
        if (pending) m_queue.pendingModules.Set(static_cast<int32_t>(m), false);
    }
    return true;
}

void SK_Home::ReleaseSprite(uint8_t set, uint8_t sprite) {
    ASSERT(!IsPreparing());
    ASSERT(IsSetIndexValid(set));
    if (!IsSetLoaded(set)) return;
    ReleaseSpriteImages(set, sprite);
    if (!HasPreparedSprite(set)) UnloadSpriteSet(set);
}

void SK_Home::ReleaseAll() {
    // Callers release between levels, never while the queue works; should
    // one not, the reset still leaves a consistent, empty queue.
    ASSERT(!IsPreparing());
    ResetQueue();
    for (uint32_t s = 0; s < m_slots.Count(); ++s) m_slots[s].Clear();
    for (uint32_t set = 0; set < m_sets.Count(); ++set) UnloadSpriteSet(static_cast<uint8_t>(set));
}

bool SK_Home::DecodePendingImages(uint32_t budgetMs, bool* ok) {
    ASSERT(IsPreparing());
    const uint16_t count = GetImageModuleCount();
    if (m_queue.cursor >= count) m_queue.cursor = 0;
    const uint32_t start = GetTimeMillis();
    uint32_t elapsed = 0;
    for (;;) {
        if (m_queue.cursor >= count) {
            m_queue.cursor = count;
            return false;
        }
        if (elapsed >= budgetMs) return true;
        if (IsModulePending(m_queue.cursor) && !DecodeModule(m_queue.cursor)) *ok = false;
        elapsed = GetTimeMillis() - start;
        ++m_queue.cursor;
    }
}

// A module whose image cannot be decoded is dropped from the queue, so
// that it holds up no other image; its variant stays without an image.
bool SK_Home::DecodeModule(uint32_t module) {
    m_queue.pendingModules.Set(static_cast<int32_t>(module), false);
    const SK_ImageModule& record = m_imageModules[module];
    SK_ImageSlot& slot = m_slots[record.slotIndex];
    CRenderSurface* image = nullptr;
    if (slot.NeedsImage(record.variant)) {
        image = DecodeImage(slot, record.variant);
        if (image == nullptr) {
            DebugPrintf("SK_Home: image %u of image module %u is not decoded", slot.imageIndex, module);
            return false;
        }
    }
    slot.Acquire(record.variant, image);
    return true;
}

CRenderSurface* SK_Home::DecodeImage(const SK_ImageSlot& slot, uint8_t variant) const {
    CBigFileReader* archive = FindArchive();
    if (archive == nullptr) {
        DebugPrintf("SK_Home: no archive to read images from");
        return nullptr;
    }
    CBigFileResourceInputStream stream;
    if (!stream.OpenEntry(archive, m_imageBaseId + slot.imageIndex, true)) {
        DebugPrintf("SK_Home: image entry 0x%08X does not open", m_imageBaseId + slot.imageIndex);
        return nullptr;
    }
    CRenderSurface* surface = CreateRenderSurface(kSurfaceKind, 0, 0);
    if (surface == nullptr) return nullptr;
    CRenderSurfaceAttribute attributes[kMaxAttributes] = {{kSurfaceAttrColorFormat, 0},
                                                          {kSurfaceAttrCapability, 1},
                                                          {kSurfaceAttrKeepPalettes, 0},
                                                          {kSurfaceAttrImageType, kImageType},
                                                          {kSurfaceAttrImageStream, reinterpret_cast<uintptr_t>(&stream)}};
    int32_t used = 5;
    if (slot.blockIndex != SK_kNone) {
        attributes[used++] = {kSurfaceAttrPalette,
                              reinterpret_cast<uintptr_t>(m_blocks[static_cast<uint32_t>(slot.blockIndex)].palette.Data())};
    }
    if (variant >= SK_ImageSlot::kFirstHighVariant) attributes[used++] = {kSurfaceAttrOrientation, kTransposed};
    attributes[used] = {kSurfaceAttrEnd, 0};
    const bool created = surface->Create(attributes);
    stream.Close();
    if (!created) {
        delete surface;
        return nullptr;
    }
    return surface;
}
