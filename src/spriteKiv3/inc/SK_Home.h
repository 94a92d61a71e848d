#ifndef SK_HOME_H
#define SK_HOME_H

#include "CAssert.h"
#include "CRect.h"
#include "CSingleton.h"
#include "CVector.h"
#include "SK_Defines.h"

class CBigFileReader;
class CRenderSurface;
class SK_Home;

// The queue of (set, sprite) pairs waiting to be prepared, and the image
// modules whose variants still need decoding. setBytes and spriteBytes keep
// one pair per index.
struct SK_PrepQueue {
    uint32_t state = 0;
    CVector setBytes;
    CVector spriteBytes;
    SK_BitSet pendingModules;
    // Next image module to examine; the image-module count while no
    // decoding pass runs.
    uint16_t cursor = 0;
};

// The sprite module's singleton: the definition tables, the decoded images
// of the image slots, the loaded sprite sets and the preparation queue, and
// the drawing, hit-test and bounds services the presenters walk their
// pictures with. A sprite is prepared when its set is loaded and every image
// variant it uses is decoded; decoding runs in steps under a time budget.
//
// Data is checked as it is read: a definition or set with an index outside
// its table stays unloaded and says why in the debug log.
class SK_Home : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x272BE9B5;
    // Key set: definition id, set base id, image base id.
    static constexpr uint32_t kKeysetId = 0x0500010E;
    static constexpr uint32_t kKeysetDefinition = 0;
    static constexpr uint32_t kKeysetSetBase = 1;
    static constexpr uint32_t kKeysetImageBase = 2;
    // The registry id of the archive the images are read from.
    static constexpr uint32_t kArchiveRegistryId = 0xA0D7812D;
    // Type of the stored images: bitmaps.
    static constexpr uint32_t kImageType = 0xB717945F;

    static constexpr uint32_t kQueueIdle = 0;
    static constexpr uint32_t kQueueQueued = 1;
    static constexpr uint32_t kQueueWorking = 2;

    static constexpr int32_t kNoHit = -1;
    static constexpr int32_t kMaxSteps = 2;
    // Colour of the invisible boxes while they are shown.
    static constexpr uint32_t kDebugBoxColour = 0xFF00FF00u;

    SK_Home();
    ~SK_Home() override;

    // The registered home, or null. Every presenter call asks, so the home
    // keeps itself at hand while it is the registered one; GetSpriteHome
    // creates it.
    static SK_Home* GetInstance() { return s_instance; }

    // --- Definition and sets (SK_Home.cpp, SK_HomeLoad.cpp) ---
    void Load();
    bool IsLoaded() const { return m_loaded != 0; }
    void Unload();
    bool LoadSpriteSet(uint8_t set);
    void UnloadSpriteSet(uint8_t set);

    bool IsSetLoaded(uint32_t set) const { return IsSetIndexValid(set) && m_sets[set] != nullptr; }
    bool IsSpritePrepared(uint32_t set, uint32_t sprite) const {
        if (set > UINT8_MAX || sprite > UINT8_MAX) {
            ASSERT(set <= UINT8_MAX && sprite <= UINT8_MAX);
            return false;
        }
        const SK_Sprite* record = GetSprite(set, sprite);
        return record != nullptr && record->prepared != 0;
    }
    bool IsSetIndexValid(uint32_t set) const { return IsLoaded() && set < m_sets.Count(); }
    bool IsSpriteIndexValid(uint32_t set, uint32_t sprite) const;
    bool IsAnimationIndexValid(uint32_t set, uint32_t animation) const;

    // Null when the set is not loaded or the index is out of range.
    // Every presenter call asks these: they stay inline.
    const SK_SpriteSet* GetSpriteSet(uint32_t set) const { return IsSetLoaded(set) ? m_sets[set] : nullptr; }
    const SK_Sprite* GetSprite(uint32_t set, uint32_t sprite) const {
        const SK_SpriteSet* record = GetSpriteSet(set);
        return record != nullptr && sprite < record->sprites.Count() ? &record->sprites[sprite] : nullptr;
    }
    const SK_Animation* GetAnimation(uint32_t set, uint32_t animation) const {
        const SK_SpriteSet* record = GetSpriteSet(set);
        return record != nullptr && animation < record->animations.Count() ? &record->animations[animation] : nullptr;
    }

    uint16_t GetImageModuleCount() const { return static_cast<uint16_t>(m_imageModules.Count()); }
    uint16_t GetRectModuleCount() const { return static_cast<uint16_t>(m_rectModules.Count()); }
    uint16_t GetModuleCount() const { return m_moduleCount; }
    uint16_t GetSlotCount() const { return static_cast<uint16_t>(m_slots.Count()); }
    uint8_t GetSetCount() const { return static_cast<uint8_t>(m_sets.Count()); }
    uint8_t GetMapCount() const { return static_cast<uint8_t>(m_maps.Count()); }
    uint8_t GetBlockCount() const { return static_cast<uint8_t>(m_blocks.Count()); }
    uint16_t GetReserved() const { return m_reserved; }
    const SK_ImageSlot* GetSlot(uint32_t slot) const { return slot < m_slots.Count() ? &m_slots[slot] : nullptr; }
    const SK_ImageModule* GetImageModule(uint32_t module) const {
        return module < m_imageModules.Count() ? &m_imageModules[module] : nullptr;
    }
    const SK_RectModule* GetRectModule(uint32_t module) const {
        const uint32_t index = module - m_imageModules.Count();
        return module >= m_imageModules.Count() && index < m_rectModules.Count() ? &m_rectModules[index] : nullptr;
    }
    const SK_ModuleMap* GetModuleMap(uint32_t map) const { return map < m_maps.Count() ? &m_maps[map] : nullptr; }
    const SK_Image* GetBlock(uint32_t block) const { return block < m_blocks.Count() ? &m_blocks[block] : nullptr; }
    uint32_t GetDefinitionId() const { return m_definitionId; }
    uint32_t GetSetBaseId() const { return m_setBaseId; }
    uint32_t GetImageBaseId() const { return m_imageBaseId; }

    // --- Preparation queue (SK_HomeQueue.cpp) ---
    // True at once when prepared; else queues the pair once (false when it
    // was queued already).
    bool RequestSprite(uint8_t set, uint8_t sprite);
    // One step of the queue; true while work remains. `ok` is cleared when
    // a step failed.
    bool UpdatePreparation(uint32_t budgetMs, bool* ok);
    uint32_t GetQueueProgress() const;
    uint32_t GetQueueState() const { return m_queue.state; }
    bool IsPreparing() const { return m_queue.state == kQueueWorking; }
    bool IsModulePending(uint32_t module) const;
    bool PrepareSprite(uint8_t set, uint8_t sprite);
    void PrepareSpriteImages(uint8_t set, uint8_t sprite);
    bool ReleaseSpriteImages(uint8_t set, uint8_t sprite);
    void ReleaseSprite(uint8_t set, uint8_t sprite);
    void ReleaseAll();
    // Decodes pending images until the budget is spent; true while some remain.
    bool DecodePendingImages(uint32_t budgetMs, bool* ok);

    // --- Modules, drawing, hit test and bounds (SK_HomeDraw.cpp) ---
    bool IsImageModule(uint32_t module) const { return module < m_imageModules.Count(); }
    bool IsRectModule(uint32_t module) const { return module >= m_imageModules.Count(); }
    bool IsFilledRectModule(uint32_t module) const;
    bool IsBoxModule(uint32_t module) const;
    uint8_t GetModuleAttribute(uint32_t module) const;
    // 0 x 0 (and false) for a module without a size: an image not decoded.
    bool GetModuleSize(uint32_t module, int32_t* width, int32_t* height) const;
    // The steps a part of `module` draws as, through the sprite's module
    // map; they point into the home's own buffer, valid until the next call.
    void ResolveModule(uint32_t set, uint32_t sprite, uint16_t module, const SK_DrawStep** steps, int32_t* count);
    // The same through module map `map` (SK_kNone: none), for a walk that
    // has found the sprite's map once.
    void ResolveModuleThrough(int8_t map, uint16_t module, const SK_DrawStep** steps, int32_t* count);
    // The variant an image stored as `variant` is shown as under `transform`.
    static uint8_t CombineTransform(uint8_t transform, uint8_t variant);

    void SetDrawContext(int32_t x, int32_t y);
    void DrawModule(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t module, uint8_t transform);
    // While on, invisible boxes are drawn as outlined crosses.
    void SetDebugBoxes(bool on) { m_debugBoxes = on ? 1 : 0; }
    bool GetDebugBoxes() const { return m_debugBoxes != 0; }

    void SetHitRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void HitPart(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t module);
    int32_t GetHitResult() const { return m_hit.result; }

    void ResetBounds();
    void GrowBounds(int32_t x, int32_t y, int32_t w, int32_t h);
    void GetBoundsRect(CRect* rect, int32_t offsetX, int32_t offsetY) const;

private:
    struct HitRecord {
        int16_t x;
        int16_t y;
        int16_t w;
        int16_t h;
        int16_t result;
    };
    struct Bounds {
        int16_t minX;
        int16_t minY;
        int16_t maxX;
        int16_t maxY;
    };

    // Reading (SK_HomeLoad.cpp).
    bool ReadKeyset();
    bool ReadDefinition(CResourceStream& stream);
    bool ReadBlocks(CResourceStream& stream);
    bool ReadSlots(CResourceStream& stream);
    bool ReadModules(CResourceStream& stream);
    bool ReadMaps(CResourceStream& stream);
    bool ReadSet(CResourceStream& stream, SK_SpriteSet* set) const;
    bool ReadFrames(CResourceStream& stream, SK_SpriteSet* set) const;
    bool ReadPoses(CResourceStream& stream, SK_SpriteSet* set) const;
    bool ReadAnimations(CResourceStream& stream, SK_SpriteSet* set) const;
    bool ReadSprites(CResourceStream& stream, SK_SpriteSet* set) const;
    bool CheckDefinition() const;
    bool CheckSet(const SK_SpriteSet& set) const;
    void FreeDefinition();
    void ResetQueue();

    // Preparation (SK_HomeQueue.cpp).
    bool Enqueue(uint8_t set, uint8_t sprite);
    bool ServeLastPair(bool* ok);
    bool IsVariantHeld(uint16_t slotIndex, uint8_t variant) const;
    bool HasPreparedSprite(uint8_t set) const;
    bool DecodeModule(uint32_t module);
    CRenderSurface* DecodeImage(const SK_ImageSlot& slot, uint8_t variant) const;

    // The definition.
    SK_Array<SK_Image> m_blocks;
    uint16_t m_reserved = 0;
    SK_Array<SK_ImageSlot> m_slots;
    SK_Array<SK_ImageModule> m_imageModules;
    SK_Array<SK_RectModule> m_rectModules;
    uint16_t m_moduleCount = 0;
    SK_Array<SK_ModuleMap> m_maps;
    SK_Array<SK_SpriteSet*> m_sets;
    uint8_t m_loaded = 0;

    SK_PrepQueue m_queue;
    uint32_t m_definitionId = 0;
    uint32_t m_setBaseId = 0;
    uint32_t m_imageBaseId = 0;

    SK_DrawContext m_drawContext;
    HitRecord m_hit = {0, 0, 0, 0, kNoHit};
    Bounds m_bounds = {0, 0, 0, 0};
    SK_DrawStep m_steps[1 + kMaxSteps] = {};
    uint8_t m_debugBoxes = 0;

    static SK_Home* s_instance;
};

#endif
