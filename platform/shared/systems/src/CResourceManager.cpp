#include "CResourceManager.h"

#include "CAssert.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CResource.h"
#include "CStringToKey.h"
#include "Utf8.h"

namespace {

// Reads count u32 values into a new array; null (and nothing allocated)
// when the stream cannot hold them.
uint32_t* ReadWords(CInputStream& stream, uint32_t count) {
    if (count == 0 || count > stream.Available() / 4) return nullptr;
    uint32_t* words = static_cast<uint32_t*>(MemAllocArrayOf(count, sizeof(uint32_t)));
    if (words == nullptr) return nullptr;
    for (uint32_t i = 0; i < count; ++i) words[i] = stream.ReadUInt32();
    return words;
}

}  // namespace

CResourceManager::CResourceManager(uint32_t classKey) : CPrioritizedObject(classKey) {}

CResourceManager::~CResourceManager() {
    ASSERT(TableDestroyed());
    FreeDirectory();
}

bool CResourceManager::Open(CBigFileReader* archive, int32_t buckets, uint32_t blocks, bool growable) {
    // Opened again, the resources and directory of the last archive go
    // first: the new table and directory would otherwise orphan them.
    Close();
    m_archive = archive;
    if (archive == nullptr || !m_resources.Init(buckets, blocks, growable) || !ReadDirectory()) {
        Close();
        return false;
    }
    return true;
}

void CResourceManager::Close() {
    m_resources.Destroy();
    m_archive = nullptr;
    FreeDirectory();
    m_selected = 0;
    m_stringKeyMode = 0;
}

void CResourceManager::FreeDirectory() {
    MemFreeArray(m_tableHandles);
    MemFreeArray(m_tableAttrs);
    MemFreeArray(m_tableNames);
    MemFreeArray(m_packs);
    MemFreeArray(m_meta);
    m_tableHandles = nullptr;
    m_tableAttrs = nullptr;
    m_tableNames = nullptr;
    m_packs = nullptr;
    m_meta = nullptr;
    m_tableCount = m_tableAttrBytes = m_tableNameBytes = 0;
    m_packCount = m_metaCount = 0;
}

// Every count is checked against what the entry still holds before
// anything is allocated for it, so a corrupt directory fails cleanly.
bool CResourceManager::ReadDirectory() {
    CBigFileResourceInputStream stream;
    if (!stream.OpenEntry(m_archive, kDirectoryId, true)) {
        DebugPrintf("Resource directory %u missing from the archive", kDirectoryId);
        return false;
    }
    m_metaCount = stream.ReadUInt32();
    if (m_metaCount != 0) {
        m_meta = ReadWords(stream, m_metaCount);
        if (m_meta == nullptr) {
            m_metaCount = 0;
            DebugPrintf("Resource directory: meta table does not fit");
            return false;
        }
    }
    m_tableCount = stream.ReadInt32();
    m_tableAttrBytes = stream.ReadInt32();
    m_tableNameBytes = stream.ReadInt32();
    if (m_tableCount > 0 && m_tableAttrBytes > 0 && !ReadStringTables(stream, stream.Available())) {
        DebugPrintf("Resource directory: string tables do not fit");
        return false;
    }
    m_packCount = stream.ReadUInt32();
    if (m_packCount != 0) {
        m_packs = ReadWords(stream, m_packCount);
        if (m_packs == nullptr) {
            m_packCount = 0;
            DebugPrintf("Resource directory: pack table does not fit");
            return false;
        }
    }
    return !stream.HasError();
}

bool CResourceManager::ReadStringTables(CInputStream& stream, uint32_t available) {
    const uint64_t tables = static_cast<uint64_t>(m_tableCount);
    const uint64_t nameBytes = m_tableNameBytes > 0 ? static_cast<uint64_t>(m_tableNameBytes) : 0;
    const uint64_t needed = tables * (4 + static_cast<uint64_t>(m_tableAttrBytes) + nameBytes);
    if (needed > available) return false;
    m_tableHandles = ReadWords(stream, static_cast<uint32_t>(tables));
    m_tableAttrs = static_cast<uint8_t*>(MemAllocArray(static_cast<size_t>(tables * m_tableAttrBytes)));
    const size_t rowUnits = static_cast<size_t>(nameBytes) + 1;
    m_tableNames = static_cast<WChar*>(MemAllocArray(static_cast<size_t>(tables) * rowUnits * sizeof(WChar)));
    uint8_t* scratch = static_cast<uint8_t*>(MemAllocArray(static_cast<size_t>(nameBytes) + 1));
    const bool allocated = m_tableHandles != nullptr && m_tableAttrs != nullptr && m_tableNames != nullptr &&
                           scratch != nullptr;
    ASSERT(allocated);
    if (allocated) {
        stream.Read(m_tableAttrs, static_cast<uint32_t>(tables * m_tableAttrBytes));
        for (uint64_t table = 0; table < tables; ++table) {
            stream.Read(scratch, static_cast<uint32_t>(nameBytes));
            WChar* row = m_tableNames + table * rowUnits;
            row[0] = 0;
            Utf8ToWide(scratch, static_cast<uint32_t>(nameBytes), row, static_cast<uint32_t>(rowUnits));
        }
    }
    MemFreeArray(scratch);
    return allocated && !stream.HasError();
}

uint32_t CResourceManager::GetStringTableHandle(int32_t index) const {
    return index >= 0 && index < m_tableCount && m_tableHandles != nullptr ? m_tableHandles[index] : 0;
}

const uint8_t* CResourceManager::GetStringTableAttributes(int32_t index) const {
    if (index < 0 || index >= m_tableCount || m_tableAttrs == nullptr) return nullptr;
    return m_tableAttrs + static_cast<size_t>(index) * m_tableAttrBytes;
}

const WChar* CResourceManager::GetStringTableName(int32_t index) const {
    if (index < 0 || index >= m_tableCount || m_tableNames == nullptr) return nullptr;
    const size_t rowUnits = static_cast<size_t>(m_tableNameBytes > 0 ? m_tableNameBytes : 0) + 1;
    return m_tableNames + static_cast<size_t>(index) * rowUnits;
}

bool CResourceManager::AddResource(CResource* resource) {
    ASSERT(resource != nullptr && resource->GetHandle() != 0);
    if (resource == nullptr) return false;
    return m_resources.Insert(resource->GetHandle(), reinterpret_cast<uintptr_t>(resource));
}

bool CResourceManager::RemoveResource(CResource* resource) {
    return resource != nullptr && RemoveByHandle(resource->GetHandle());
}

bool CResourceManager::RemoveByHandle(uint32_t handle) {
    m_resources.Remove(handle);
    return true;
}

CResource* CResourceManager::Lookup(uint32_t handle) const {
    uintptr_t value = 0;
    return m_resources.Find(handle, &value) ? reinterpret_cast<CResource*>(value) : nullptr;
}

bool CResourceManager::GetResourceByName(const char* name, CResource** outResource) {
    return GetResource(StringToKey(name), outResource);
}

bool CResourceManager::GetResource(uint32_t handle, CResource** outResource) {
    ASSERT(outResource != nullptr);
    if (outResource == nullptr) return false;
    *outResource = Lookup(handle);
    return *outResource != nullptr;
}

bool CResourceManager::SelectStringTable(int32_t index) {
    ReleaseSelected();
    if (index < 0 || index >= m_tableCount || m_tableHandles == nullptr) return false;
    m_selected = m_tableHandles[index];
    CResource* table = nullptr;
    return CreateByHandle(m_selected, &table) != kFailed;
}

void CResourceManager::ReleaseSelected() {
    if (m_selected != 0) ReleaseByHandle(m_selected);
    m_selected = 0;
}

uint32_t CResourceManager::FindPackForHandle(uint32_t handle) const {
    if (!IsPackEntry(handle)) return 0;
    const uint32_t pack = (handle >> 16) & 0xFF;
    if (pack == 0xFF) return m_selected;
    for (uint32_t i = 0; i < m_packCount; ++i) {
        if ((m_packs[i] & 0x7FFF) == pack) return m_packs[i];
    }
    return 0;
}

uint32_t CResourceManager::ResolveMetaHandle(uint32_t handle) const {
    if (CResource::IsNameKeyHandle(handle) || CResource::IsRuntimeHandle(handle) || !IsMetaAlias(handle)) {
        return handle;
    }
    return GetMeta(handle & 0x7FFF);
}

uint32_t CResourceManager::BigFileTypeOfHandle(const CBigFileReader* archive, uint32_t handle) {
    return archive != nullptr ? archive->GetEntryTypeWord(handle) : 0;
}
