#include "SK_Home.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CKeyset.h"
#include "CResource.h"
#include "CResourceManager.h"

SK_Home* SK_Home::s_instance = nullptr;

SK_Home::SK_Home() : CSingleton(kClassKey) {
    if (CSingleton::GetInstance(kClassKey) == this) s_instance = this;
}

SK_Home::~SK_Home() {
    if (s_instance == this) s_instance = nullptr;
    // Sets and images go with the definition even while a queue is working.
    m_queue.state = kQueueIdle;
    Unload();
}

void SK_Home::Load() {
    if (IsLoaded()) return;
    if (!ReadKeyset()) return;
    CResourceStream stream(m_definitionId);
    if (stream.HasError()) {
        DebugPrintf("SK_Home: the sprite definition 0x%08X is missing", m_definitionId);
        return;
    }
    const bool read = ReadDefinition(stream) && CheckDefinition();
    const bool endedEarly = stream.HasError();
    stream.ReleaseResource();
    if (!read) {
        DebugPrintf(endedEarly ? "SK_Home: the sprite definition ends early; not loaded"
                               : "SK_Home: the sprite definition is not loaded");
        FreeDefinition();
        return;
    }
    ResetQueue();
    m_loaded = 1;
}

bool SK_Home::ReadKeyset() {
    CResourceManager* manager = GetAppResourceManager();
    CResource* resource = nullptr;
    if (manager == nullptr || manager->CreateByHandle(kKeysetId, &resource) == CResourceManager::kFailed ||
        resource == nullptr) {
        DebugPrintf("SK_Home: the sprite key set 0x%08X is missing", kKeysetId);
        return false;
    }
    const CClass* object = resource->GetObject();
    const bool isKeyset = object != nullptr && object->GetClassKey() == CKeyset::kClassKey;
    const CKeyset* keyset = isKeyset ? static_cast<const CKeyset*>(object) : nullptr;
    const bool complete = keyset != nullptr && keyset->GetCount() > kKeysetImageBase;
    if (complete) {
        m_definitionId = keyset->Get(kKeysetDefinition);
        m_setBaseId = keyset->Get(kKeysetSetBase);
        m_imageBaseId = keyset->Get(kKeysetImageBase);
    } else {
        DebugPrintf("SK_Home: the sprite key set 0x%08X holds fewer than three ids", kKeysetId);
    }
    manager->ReleaseByHandle(kKeysetId);
    return complete;
}

void SK_Home::Unload() {
    ASSERT(!IsPreparing());
    FreeDefinition();
    m_queue.setBytes.Clear();
    m_queue.spriteBytes.Clear();
    m_queue.pendingModules.Init(0);
    m_queue.state = kQueueIdle;
    m_queue.cursor = 0;
}

void SK_Home::FreeDefinition() {
    m_loaded = 0;
    for (uint32_t set = 0; set < m_sets.Count(); ++set) delete m_sets[set];
    m_sets.Reset();
    m_maps.Reset();
    // Images before the blocks whose palettes they were made with.
    m_slots.Reset();
    m_blocks.Reset();
    m_imageModules.Reset();
    m_rectModules.Reset();
    m_moduleCount = 0;
    m_reserved = 0;
}

bool SK_Home::LoadSpriteSet(uint8_t set) {
    ASSERT(IsSetIndexValid(set));
    if (!IsSetIndexValid(set)) return false;
    if (m_sets[set] != nullptr) return true;
    CResourceStream stream(m_setBaseId + set);
    if (stream.HasError()) {
        DebugPrintf("SK_Home: sprite set %u is missing", set);
        return false;
    }
    SK_SpriteSet* record = new SK_SpriteSet();
    const bool read = record != nullptr && ReadSet(stream, record) && CheckSet(*record);
    const bool endedEarly = stream.HasError();
    stream.ReleaseResource();
    if (!read) {
        DebugPrintf(endedEarly ? "SK_Home: sprite set %u ends early; not loaded"
                               : "SK_Home: sprite set %u is not loaded",
                    set);
        delete record;
        return false;
    }
    m_sets[set] = record;
    return true;
}

void SK_Home::UnloadSpriteSet(uint8_t set) {
    if (!IsSetIndexValid(set)) return;
    delete m_sets[set];
    m_sets[set] = nullptr;
}

bool SK_Home::IsSpriteIndexValid(uint32_t set, uint32_t sprite) const { return GetSprite(set, sprite) != nullptr; }

bool SK_Home::IsAnimationIndexValid(uint32_t set, uint32_t animation) const {
    return GetAnimation(set, animation) != nullptr;
}
