#include "CRenderSurface.h"

#include "CAppBase.h"
#include "CAssert.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CPalette.h"
#include "CRegistry.h"
#include "CResource.h"
#include "CResourceManager.h"

// Creation from a render-surface resource: the entry holds (key, value)
// pairs of two 32-bit words. Archive ids (key 14) and resource handles
// (keys 11 and 12) are turned into the objects they name before the list
// reaches Create.

namespace {

constexpr uint32_t kSurfaceResourceTypes[] = {0x59EFBC42, 0x59F4BC42, 0x59F4BC59, 0x9F4BC472, 0xE179EFBE, 0xE179F4BE};
// The archive object's id in the application registry.
constexpr uint32_t kArchiveRegistryId = 0xA0D7812D;
constexpr uint32_t kPairBytes = 8;
// Room for the stored pairs, the two that may be appended and the end.
constexpr uint32_t kMaxStoredPairs = 12;
constexpr uint32_t kListCapacity = 15;
// A stored colour format that asks for the display's format without
// keeping palettes.
constexpr uint32_t kDisplayFormatNoKeep = 0xFFFFFFFF;

bool IsSurfaceResourceType(uint32_t typeKey) {
    for (uint32_t type : kSurfaceResourceTypes) {
        if (type == typeKey) return true;
    }
    return false;
}

CBigFileReader* FindArchive() {
    CRegistry* registry = GetAppRegistry();
    CRegistryItem* item = nullptr;
    if (registry == nullptr || !registry->Find(0, kArchiveRegistryId, &item) || item == nullptr) return nullptr;
    CClass* object = item->GetObject();
    if (object == nullptr || object->GetClassKey() != CBigFileReader::kClassKey) return nullptr;
    return static_cast<CBigFileReader*>(object);
}

// The loaded resource of a handle; the surface takes no reference.
CResource* FindResource(uint32_t handle) {
    CAppBase* app = GetApplication();
    CResourceManager* manager = app != nullptr ? app->GetResourceManager() : nullptr;
    CResource* resource = nullptr;
    if (manager == nullptr || !manager->GetResource(handle, &resource)) return nullptr;
    return resource;
}

// What the resolution of the stored pairs found out.
struct ConfigureState {
    CBigFileResourceInputStream image;
    bool imageFailed = false;
    bool keepPalettes = false;
    uint32_t entryType = 0;
    uint32_t classKey = 0;
};

uintptr_t ResolveImage(uint32_t id, ConfigureState* state) {
    CBigFileReader* archive = FindArchive();
    state->image.Close();
    if (archive == nullptr || !state->image.OpenEntry(archive, id, true)) {
        DebugPrintf("CRenderSurface: no image entry 0x%08x\n", id);
        state->imageFailed = true;
        return 0;
    }
    state->imageFailed = false;
    state->entryType = archive->GetEntryTypeWord(id);
    return reinterpret_cast<uintptr_t>(static_cast<CInputStream*>(&state->image));
}

uintptr_t ResolvePalette(uint32_t handle) {
    CResource* resource = FindResource(handle);
    CClass* object = resource != nullptr ? resource->GetObject() : nullptr;
    if (object == nullptr || object->GetClassKey() != CPalette::kClassKey) return 0;
    return reinterpret_cast<uintptr_t>(static_cast<CPalette*>(object)->GetColors());
}

uintptr_t ResolveObject(uint32_t handle, ConfigureState* state) {
    CResource* resource = FindResource(handle);
    CClass* object = resource != nullptr ? resource->GetObject() : nullptr;
    if (object == nullptr) return 0;
    state->classKey = object->GetClassKey();
    return reinterpret_cast<uintptr_t>(object);
}

CRenderSurfaceAttribute ResolvePair(uint32_t key, uint32_t value, ConfigureState* state) {
    switch (key) {
        case kSurfaceAttrColorFormat:
            if (value == 0) state->keepPalettes = true;
            return {key, value == kDisplayFormatNoKeep ? 0u : value};
        case kSurfaceAttrImageStream:
            return {key, ResolveImage(value, state)};
        case kSurfaceAttrPalette:
            return {key, ResolvePalette(value)};
        case kSurfaceAttrForwardTarget:
            return {key, ResolveObject(value, state)};
        default:
            return {key, value};
    }
}

}  // namespace

bool CRenderSurface::Configure(CInputStream* stream, uint32_t typeKey) {
    if (stream == nullptr || !IsSurfaceResourceType(typeKey)) return false;
    const uint32_t available = stream->Available();
    if (available == 0) return false;
    if (available % kPairBytes != 0 || available / kPairBytes > kMaxStoredPairs) {
        DebugPrintf("CRenderSurface: refused an attribute block of %u bytes\n", available);
        return false;
    }
    // Every pair is read before any image entry is opened: the image and
    // this resource's entry may share the archive's file position.
    const uint32_t count = available / kPairBytes;
    uint32_t stored[kMaxStoredPairs][2];
    for (uint32_t i = 0; i < count; ++i) {
        stored[i][0] = stream->ReadUInt32();
        stored[i][1] = stream->ReadUInt32();
    }
    if (stream->HasError()) return false;

    ConfigureState state;
    CRenderSurfaceAttribute list[kListCapacity] = {};
    uint32_t used = 0;
    for (; used < count; ++used) list[used] = ResolvePair(stored[used][0], stored[used][1], &state);
    if (state.imageFailed) return false;
    if (state.keepPalettes) list[used++] = {kSurfaceAttrKeepPalettes, 1};
    if (state.entryType != 0 && state.classKey != 0) return false;
    if (state.entryType != 0) {
        list[used++] = {kSurfaceAttrImageType, state.entryType};
    } else if (state.classKey != 0) {
        list[used++] = {kSurfaceAttrForwardClassKey, state.classKey};
    }
    return Create(list);
}
