#ifndef CRESOURCEMANAGER_V1_H
#define CRESOURCEMANAGER_V1_H

#include "CResourceManager.h"

class CArrayInputStream;
class CBigFileResourceInputStream;

// The resource manager of the application: creates resources through the
// resource factory from the archive, packs or callers' streams, counts their
// references and releases them.
class CResourceManager_v1 : public CResourceManager {
public:
    static constexpr uint32_t kClassKey = 0xDF375FA4;
    // Type key of wide text, which placeholder texts are loaded as.
    static constexpr uint32_t kWideTextType = 0x43735EB4;

    CResourceManager_v1() : CResourceManager(kClassKey) {}
    ~CResourceManager_v1() override;

    void Close() override;
    bool AddResource(CResource* resource) override;
    bool RemoveResource(CResource* resource) override;
    bool RemoveByHandle(uint32_t handle) override;
    int32_t CreateResource(CResource** outResource, uint32_t handle, uint32_t type, CInputStream* stream) override;
    int32_t CreateFromWideName(const CResourceDescriptor& descriptor, CResource** outResource) override;
    int32_t CreateFromName(const CResourceDescriptor& descriptor, CResource** outResource) override;
    int32_t CreateFromDescriptor(const CResourceDescriptor& descriptor, CResource** outResource) override;
    int32_t CreateByHandle(uint32_t handle, CResource** outResource) override;
    bool CreateWideNameList(const CResourceDescriptor* descriptors) override;
    bool CreateNameList(const CResourceDescriptor* descriptors) override;
    bool CreateDescriptorList(const CResourceDescriptor* descriptors) override;
    bool CreateHandleList(const uint32_t* handles) override;
    bool GetResource(uint32_t handle, CResource** outResource) override;
    bool ReleaseResource(CResource** resource) override;
    bool ReleaseByName(const char* name) override;
    bool ReleaseByHandle(uint32_t handle) override;
    bool ReleaseHandleList(const uint32_t* handles) override;
    bool ReleaseByNameCopy(const char* name) override;
    bool DestroyByHandle(uint32_t handle) override;
    bool DestroyAll() override;
    bool DestroyHandleList(const uint32_t* handles) override;

private:
    // Where a new resource's data comes from.
    struct Source;

    bool ChooseSource(uint32_t handle, uint32_t type, CInputStream* stream, Source& source);
    bool ChooseCompositeSource(uint32_t handle, Source& source);
    bool ChoosePackSource(uint32_t handle, Source& source);
    void ChoosePlaceholderSource(uint32_t handle, Source& source);
    int32_t CreateNew(CResource** outResource, uint32_t handle, Source& source);
    int32_t ReloadExisting(CResource* resource, CResource** outResource, uint32_t handle);
    typedef int32_t (CResourceManager_v1::*DescriptorCreator)(const CResourceDescriptor&, CResource**);
    bool CreateList(const CResourceDescriptor* descriptors, DescriptorCreator create, bool wide, bool narrow);
    typedef bool (CResourceManager_v1::*HandleAction)(uint32_t);
    bool ForHandleList(const uint32_t* handles, HandleAction action);
};

#endif
