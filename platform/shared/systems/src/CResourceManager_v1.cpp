#include "CResourceManager_v1.h"

#include "CAggregateResource.h"
#include "CArrayInputStream.h"
#include "CAssert.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CResource.h"
#include "CResourceFactory.h"
#include "CStringToKey.h"
#include "StrFormat.h"

namespace {

// Composite image entries map to the image classes that read them.
constexpr uint32_t kCompositeSourceA = 0xA575942F;
constexpr uint32_t kCompositeSourceB = 0xB717945F;
constexpr uint32_t kCompositeSourceC = 0xE017CF77;
constexpr uint32_t kCompositeTargetA = 0x7CD69754;
constexpr uint32_t kCompositeTargetB = 0x107DD145;

bool IsPlaceholderText(uint32_t handle) { return (handle & 0x1FFF0000u) == 0x01FF0000u; }

}  // namespace

// The streams a new resource may be read from; the chosen one is `stream`.
struct CResourceManager_v1::Source {
    uint32_t type = 0;
    CInputStream* stream = nullptr;
    CBigFileResourceInputStream entryStream;
    CArrayInputStream arrayStream;
    // "0x%8.8x" of a handle: ten units and a terminator.
    WChar placeholder[12] = {};
};

CResourceManager_v1::~CResourceManager_v1() { ASSERT(TableDestroyed()); }

void CResourceManager_v1::Close() {
    ReleaseSelected();
    DestroyAll();
    CResourceManager::Close();
}

bool CResourceManager_v1::AddResource(CResource* resource) {
    if (resource == nullptr || resource->GetOwner() == this) return false;
    ASSERT(resource->GetOwner() == nullptr);
    resource->SetOwner(this);
    resource->AddRef();
    return CResourceManager::AddResource(resource);
}

bool CResourceManager_v1::RemoveResource(CResource* resource) {
    if (resource == nullptr || resource->GetOwner() != this) return false;
    resource->SetOwner(nullptr);
    ASSERT(resource->GetRefCount() >= 0);
    resource->ClearRefs();
    Table().Remove(resource->GetHandle());
    return true;
}

bool CResourceManager_v1::RemoveByHandle(uint32_t handle) {
    CResource* resource = Lookup(handle);
    return resource != nullptr && RemoveResource(resource);
}

int32_t CResourceManager_v1::CreateResource(CResource** outResource, uint32_t handle, uint32_t type,
                                            CInputStream* stream) {
    ASSERT(outResource != nullptr);
    if (outResource == nullptr) return kFailed;
    *outResource = nullptr;
    const uint32_t resolved = ResolveMetaHandle(handle);
    if (resolved == 0) {
        DebugPrintf("Unable to create resource: Handle is NULL (passed into method, or meta resolved)");
        return kFailed;
    }
    CResource* existing = Lookup(resolved);
    if (existing != nullptr) return ReloadExisting(existing, outResource, resolved);
    Source source;
    if (!ChooseSource(resolved, type, stream, source)) return kFailed;
    return CreateNew(outResource, resolved, source);
}

int32_t CResourceManager_v1::ReloadExisting(CResource* resource, CResource** outResource, uint32_t handle) {
    ASSERT(resource->GetHandle() == handle);
    if (resource->IsLoaded()) {
        resource->AddRef();
        *outResource = resource;
        return kAlreadyLoaded;
    }
    // Registered but not loaded: load it again into the same object. The
    // caller holds a reference only when that succeeds.
    Source source;
    if (!ChooseSource(handle, 0, nullptr, source)) return kFailed;
    if (source.stream == nullptr && !CResource::IsNameKeyHandle(handle) && !CResource::IsRuntimeHandle(handle)) {
        if (source.entryStream.OpenEntry(GetArchive(), handle, true)) source.stream = &source.entryStream;
    }
    const int32_t status = resource->Create(handle, source.stream, source.type);
    if (status == kFailed) return kFailed;
    resource->AddRef();
    *outResource = resource;
    return status;
}

bool CResourceManager_v1::ChooseSource(uint32_t handle, uint32_t type, CInputStream* stream, Source& source) {
    source.type = type;
    if (CResource::IsNameKeyHandle(handle) || CResource::IsRuntimeHandle(handle)) {
        source.stream = stream;
        return true;
    }
    if (IsComposite(handle)) return ChooseCompositeSource(handle, source);
    if (IsPackEntry(handle)) {
        if (stream != nullptr) {
            source.stream = stream;
            return true;
        }
        if (GetStringKeyMode() != 0 && IsPlaceholderText(handle)) {
            ChoosePlaceholderSource(handle, source);
            return true;
        }
        return ChoosePackSource(handle, source);
    }
    source.type = BigFileTypeOfHandle(GetArchive(), handle);
    if (!source.entryStream.OpenEntry(GetArchive(), handle, true)) return false;
    source.stream = &source.entryStream;
    return true;
}

// A composite names an image entry, a word and a palette entry in three
// consecutive meta slots. No loader reads the descriptor such an image
// would need, so only the checks that can refuse it early are made and the
// request fails with a clear line.
bool CResourceManager_v1::ChooseCompositeSource(uint32_t handle, Source& source) {
    const uint32_t index = handle & 0x7FFF;
    if (index + 2 >= GetMetaCount()) return false;
    const uint32_t imageType = BigFileTypeOfHandle(GetArchive(), GetMeta(index));
    if (imageType == kCompositeSourceA) {
        source.type = kCompositeTargetA;
    } else if (imageType == kCompositeSourceB || imageType == kCompositeSourceC) {
        source.type = kCompositeTargetB;
    } else {
        return false;
    }
    DebugPrintf("Unable to create resource 0x%.8x: composite images have no reader", handle);
    return false;
}

void CResourceManager_v1::ChoosePlaceholderSource(uint32_t handle, Source& source) {
    const int32_t units = FormatWide(source.placeholder, u"0x%8.8x", handle);
    source.arrayStream.Open(source.placeholder, static_cast<uint32_t>(units > 0 ? units : 0) * sizeof(WChar));
    source.stream = &source.arrayStream;
    source.type = kWideTextType;
}

bool CResourceManager_v1::ChoosePackSource(uint32_t handle, Source& source) {
    const uint32_t packHandle = FindPackForHandle(handle);
    CResource* pack = nullptr;
    if (packHandle == 0 || !GetResource(packHandle, &pack)) {
        DebugPrintf("Unable to create resource 0x%.8x: its pack is not loaded", handle);
        return false;
    }
    CClass* payload = pack->GetObject();
    if (payload == nullptr || payload->GetClassKey() != CAggregateResource::kClassKey) return false;
    const CAggregateResource* aggregate = static_cast<const CAggregateResource*>(payload);
    if (!source.entryStream.OpenFromPack(aggregate, handle, true)) return false;
    source.stream = &source.entryStream;
    source.type = aggregate->GetEntryWord(handle);
    return true;
}

int32_t CResourceManager_v1::CreateNew(CResource** outResource, uint32_t handle, Source& source) {
    CResource* resource = nullptr;
    if (!CResourceFactory::Get()->Create(source.type, &resource) || resource == nullptr) {
        DebugPrintf("Unable to create resource 0x%.8x: no resource class for type 0x%.8x", handle, source.type);
        return kFailed;
    }
    const int32_t status = resource->Create(handle, source.stream, source.type);
    // A resource that failed to load is never handed out.
    if (status == kFailed || !AddResource(resource)) {
        delete resource;
        return kFailed;
    }
    *outResource = resource;
    return status;
}

int32_t CResourceManager_v1::CreateFromWideName(const CResourceDescriptor& descriptor, CResource** outResource) {
    const uint32_t key = CStringToKey::TagKey(CStringToKey::FromWide(descriptor.wideName, false), 0);
    return CreateResource(outResource, key, descriptor.type, descriptor.stream);
}

int32_t CResourceManager_v1::CreateFromName(const CResourceDescriptor& descriptor, CResource** outResource) {
    return CreateResource(outResource, StringToKey(descriptor.name), descriptor.type, descriptor.stream);
}

int32_t CResourceManager_v1::CreateFromDescriptor(const CResourceDescriptor& descriptor, CResource** outResource) {
    return CreateResource(outResource, descriptor.handle, descriptor.type, descriptor.stream);
}

int32_t CResourceManager_v1::CreateByHandle(uint32_t handle, CResource** outResource) {
    return CreateResource(outResource, handle, 0, nullptr);
}

bool CResourceManager_v1::CreateList(const CResourceDescriptor* descriptors, DescriptorCreator create, bool wide,
                                     bool narrow) {
    ASSERT(descriptors != nullptr);
    if (descriptors == nullptr) return false;
    bool allCreated = true;
    for (const CResourceDescriptor* d = descriptors;; ++d) {
        const bool ended = wide ? d->wideName == nullptr : narrow ? d->name == nullptr : d->handle == 0;
        if (ended) break;
        CResource* resource = nullptr;
        if ((this->*create)(*d, &resource) == kFailed) allCreated = false;
    }
    return allCreated;
}

bool CResourceManager_v1::CreateWideNameList(const CResourceDescriptor* descriptors) {
    return CreateList(descriptors, &CResourceManager_v1::CreateFromWideName, true, false);
}

bool CResourceManager_v1::CreateNameList(const CResourceDescriptor* descriptors) {
    return CreateList(descriptors, &CResourceManager_v1::CreateFromName, false, true);
}

bool CResourceManager_v1::CreateDescriptorList(const CResourceDescriptor* descriptors) {
    return CreateList(descriptors, &CResourceManager_v1::CreateFromDescriptor, false, false);
}

bool CResourceManager_v1::CreateHandleList(const uint32_t* handles) {
    if (handles == nullptr) return false;
    bool allCreated = true;
    for (; *handles != 0; ++handles) {
        CResource* resource = nullptr;
        if (CreateByHandle(*handles, &resource) == kFailed) allCreated = false;
    }
    return allCreated;
}

bool CResourceManager_v1::GetResource(uint32_t handle, CResource** outResource) {
    ASSERT(outResource != nullptr);
    if (outResource == nullptr) return false;
    *outResource = nullptr;
    const uint32_t resolved = ResolveMetaHandle(handle);
    CResource* resource = resolved != 0 ? Lookup(resolved) : nullptr;
    if (resource == nullptr || !resource->IsLoaded()) return false;
    ASSERT(resource->GetHandle() == resolved);
    *outResource = resource;
    return true;
}

bool CResourceManager_v1::ReleaseResource(CResource** resource) {
    ASSERT(resource != nullptr && *resource != nullptr);
    if (resource == nullptr || *resource == nullptr || (*resource)->GetHandle() == 0) return false;
    CResource* target = *resource;
    if (target->DropRef() == 0) {
        Table().Remove(target->GetHandle());
        target->SetOwner(nullptr);
        delete target;
        *resource = nullptr;
    }
    return true;
}

bool CResourceManager_v1::ReleaseByName(const char* name) { return ReleaseByHandle(StringToKey(name)); }

bool CResourceManager_v1::ReleaseByNameCopy(const char* name) { return ReleaseByHandle(StringToKey(name)); }

bool CResourceManager_v1::ReleaseByHandle(uint32_t handle) {
    CResource* resource = Lookup(handle);
    if (resource == nullptr) return false;
    ASSERT(resource->GetHandle() == handle);
    return ReleaseResource(&resource);
}

// The first handle is acted on even when it is 0; the list ends at the
// first 0 after it. The answer is the last action's.
bool CResourceManager_v1::ForHandleList(const uint32_t* handles, HandleAction action) {
    if (handles == nullptr) return false;
    bool result = (this->*action)(handles[0]);
    for (const uint32_t* handle = handles + 1; *handle != 0; ++handle) result = (this->*action)(*handle);
    return result;
}

bool CResourceManager_v1::ReleaseHandleList(const uint32_t* handles) {
    return ForHandleList(handles, &CResourceManager_v1::ReleaseByHandle);
}

bool CResourceManager_v1::DestroyByHandle(uint32_t handle) {
    ASSERT(handle != 0);
    CResource* resource = Lookup(handle);
    if (resource != nullptr) {
        ASSERT(resource->GetHandle() == handle);
        delete resource;
    }
    return true;
}

bool CResourceManager_v1::DestroyHandleList(const uint32_t* handles) {
    return ForHandleList(handles, &CResourceManager_v1::DestroyByHandle);
}

bool CResourceManager_v1::DestroyAll() {
    CHash& table = Table();
    for (int32_t bucket = 0; bucket < table.GetBucketCount(); ++bucket) {
        CHashNode* node = table.GetBucket(bucket);
        while (node != nullptr) {
            CHashNode* next = node->next;
            CResource* resource = reinterpret_cast<CResource*>(node->value);
            ASSERT(resource != nullptr);
            // The destructor removes the resource's own entry.
            delete resource;
            node = next;
        }
    }
    return true;
}
