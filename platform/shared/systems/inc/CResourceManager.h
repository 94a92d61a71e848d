#ifndef CRESOURCEMANAGER_H
#define CRESOURCEMANAGER_H

#include "CHash.h"
#include "CPrioritizedObject.h"

class CBigFileReader;
class CInputStream;
class CResource;

// Describes one resource to create: its type key, an optional stream to
// load it from, and what names it (a handle, a narrow or a wide name,
// depending on the operation). Lists end with an entry whose name part is
// 0 or null.
struct CResourceDescriptor {
    uint32_t type;
    CInputStream* stream;
    uint32_t handle;
    const char* name;
    const WChar* wideName;
};

// Turns 32-bit resource handles into loaded, reference-counted resources.
//
// Handle layout, tested in this order: bit 31 a name key; bit 30 (bit 31
// clear) a run-time id; bits 24-28 = 6 with bits 16-23 = 1 a meta alias
// (bits 0-14 index the meta table) or with bits 16-23 = 0 a composite image
// (three meta entries); bit 29 an entry of a pack (bits 16-23 select it, 255
// the selected string table); otherwise a plain archive entry.
//
// The directory is archive entry 271: the meta table, the string tables'
// handles, attributes and names, and the pack handles.
class CResourceManager : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0x7F5DF373;
    static constexpr uint32_t kDirectoryId = 271;

    // Results of creation.
    enum CreateResult : int32_t { kFailed = 0, kCreatedEmpty = 1, kLoaded = 3, kAlreadyLoaded = 4 };

    ~CResourceManager() override;

    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    virtual bool Open(CBigFileReader* archive, int32_t buckets, uint32_t blocks, bool growable);
    virtual void Close();
    virtual bool AddResource(CResource* resource);
    virtual bool RemoveResource(CResource* resource);
    virtual bool RemoveByHandle(uint32_t handle);
    virtual int32_t CreateResource(CResource** outResource, uint32_t handle, uint32_t type, CInputStream* stream) = 0;
    virtual int32_t CreateFromWideName(const CResourceDescriptor& descriptor, CResource** outResource) = 0;
    virtual int32_t CreateFromName(const CResourceDescriptor& descriptor, CResource** outResource) = 0;
    virtual int32_t CreateFromDescriptor(const CResourceDescriptor& descriptor, CResource** outResource) = 0;
    virtual int32_t CreateByHandle(uint32_t handle, CResource** outResource) = 0;
    virtual bool CreateWideNameList(const CResourceDescriptor* descriptors) = 0;
    virtual bool CreateNameList(const CResourceDescriptor* descriptors) = 0;
    virtual bool CreateDescriptorList(const CResourceDescriptor* descriptors) = 0;
    virtual bool CreateHandleList(const uint32_t* handles) = 0;
    virtual bool GetResourceByName(const char* name, CResource** outResource);
    virtual bool GetResource(uint32_t handle, CResource** outResource);
    virtual bool ReleaseResource(CResource** resource) = 0;
    virtual bool ReleaseByName(const char* name) = 0;
    virtual bool ReleaseByHandle(uint32_t handle) = 0;
    virtual bool ReleaseHandleList(const uint32_t* handles) = 0;
    virtual bool ReleaseByNameCopy(const char* name) = 0;
    virtual bool DestroyByHandle(uint32_t handle) = 0;
    virtual bool DestroyAll() = 0;
    virtual bool DestroyHandleList(const uint32_t* handles) = 0;

    // Selects string table i (0 <= i < count) and loads it.
    bool SelectStringTable(int32_t index);
    void ReleaseSelected();
    uint32_t GetSelectedStringTable() const { return m_selected; }
    void SetStringKeyMode(uint8_t flag) { m_stringKeyMode = flag; }
    uint8_t GetStringKeyMode() const { return m_stringKeyMode; }

    uint32_t FindPackForHandle(uint32_t handle) const;
    uint32_t ResolveMetaHandle(uint32_t handle) const;
    static uint32_t BigFileTypeOfHandle(const CBigFileReader* archive, uint32_t handle);

    int32_t GetStringTableCount() const { return m_tableCount; }
    uint32_t GetStringTableHandle(int32_t index) const;
    // Attribute bytes and UTF-16 name row (tableNameBytes units) of table i.
    const uint8_t* GetStringTableAttributes(int32_t index) const;
    const WChar* GetStringTableName(int32_t index) const;
    uint32_t GetMetaCount() const { return m_metaCount; }
    uint32_t GetMeta(uint32_t index) const { return index < m_metaCount ? m_meta[index] : 0; }
    CBigFileReader* GetArchive() const { return m_archive; }

    static bool IsMetaAlias(uint32_t handle) { return (handle & 0x1FFF0000u) == 0x06010000u; }
    static bool IsComposite(uint32_t handle) { return (handle & 0x1FFF0000u) == 0x06000000u; }
    static bool IsPackEntry(uint32_t handle) { return (handle & 0x20000000u) != 0; }

protected:
    explicit CResourceManager(uint32_t classKey = kClassKey);

    // The resource of the handle in the table, or null.
    CResource* Lookup(uint32_t handle) const;
    CHash& Table() { return m_resources; }
    bool TableDestroyed() const { return m_resources.GetBucketCount() == 0; }

private:
    bool ReadDirectory();
    bool ReadStringTables(CInputStream& stream, uint32_t available);
    void FreeDirectory();

    CHash m_resources;
    CBigFileReader* m_archive = nullptr;
    uint32_t m_selected = 0;
    int32_t m_tableCount = 0;
    int32_t m_tableAttrBytes = 0;
    int32_t m_tableNameBytes = 0;
    uint32_t* m_tableHandles = nullptr;
    uint8_t* m_tableAttrs = nullptr;
    WChar* m_tableNames = nullptr;
    uint32_t m_packCount = 0;
    uint32_t* m_packs = nullptr;
    uint32_t m_metaCount = 0;
    uint32_t* m_meta = nullptr;
    uint8_t m_stringKeyMode = 0;
};

#endif
