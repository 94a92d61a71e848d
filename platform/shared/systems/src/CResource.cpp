#include "CResource.h"

#include "CAppBase.h"
#include "CAssert.h"
#include "CResourceManager.h"

#include <cstring>

CResource::CResource(uint32_t classKey, const char* name, const char* logName)
    : CPrioritizedObject(classKey), m_name(name), m_logName(logName != nullptr ? logName : name) {
    Reset();
}

CResource::~CResource() {
    FreePayload();
    if (m_owner != nullptr) m_owner->RemoveResource(this);
}

void CResource::FreePayload() {
    if (m_refCount != 0) {
        DebugPrintf("Warning, %s hnd:0x%.8x is being destroyed with refCnt:%i", m_name, m_handle, m_refCount);
    }
    delete m_payload;
    m_payload = nullptr;
    m_loaded = 0;
}

void CResource::Reset() {
    ASSERT(m_payload == nullptr);
    m_handle = 0;
    m_refCount = 0;
    SetPriority(kDefaultPriority);
}

int32_t CResource::DropRef() {
    if (m_refCount > 0) --m_refCount;
    return m_refCount;
}

uint32_t CResource::CountLeadingZeros(uint32_t handle) {
    uint32_t zeros = 0;
    for (uint32_t bit = 0x80000000u; bit != 0 && (handle & bit) == 0; bit >>= 1) ++zeros;
    return zeros;
}

void CResource::LogCreation(const CResource* resource, bool success, int32_t status, const CInputStream* stream) {
    const uint32_t handle = resource->GetHandle();
    const char* how = "";
    if (status == kCreatedEmpty) how = "default construction only";
    if (status == kFromBigFile) how = "from bigfile";
    const bool viaBigFile = !IsNameKeyHandle(handle) && !IsRuntimeHandle(handle);
    if (status == kLoadedFromStream) {
        DebugPrintf("%s%s hnd:0x%.8x from input stream:0x0%.8llx%s", success ? "Created " : "Unable to create ",
                    resource->GetLogName(), handle,
                    static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(stream)),
                    viaBigFile ? " (by way of bigfile)" : "");
        return;
    }
    DebugPrintf("%s%s hnd:0x%.8x %s", success ? "Created " : "Unable to create ", resource->GetLogName(), handle, how);
}

int32_t CResource::BuildPayload(uint32_t handle, CInputStream* stream, uint32_t typeKey, CClass* payload,
                                PayloadLoader load) {
    ASSERT(m_loaded == 0 && m_payload == nullptr);
    if (m_payload != nullptr) FreePayload();
    m_handle = handle;
    if (payload == nullptr) return kFailed;
    m_payload = payload;
    bool success = true;
    int32_t status = kCreatedEmpty;
    if (stream != nullptr) {
        success = load(payload, *stream, typeKey);
        status = success ? kLoadedFromStream : kFailed;
    }
    LogCreation(this, success, status, stream);
    if (!success) {
        FreePayload();
        return kFailed;
    }
    m_loaded = 1;
    return status;
}

void CResource::Wrap(CClass* payload, uint32_t handle) {
    m_payload = payload;
    m_handle = handle;
    m_loaded = payload != nullptr ? 1 : 0;
}

int32_t CResource::CreateAndAdd(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    const int32_t status = Create(handle, stream, typeKey);
    CAppBase* app = GetApplication();
    CResourceManager* manager = app != nullptr ? app->GetResourceManager() : nullptr;
    if (status != kFailed && manager != nullptr && manager->AddResource(this)) return status;
    FreePayload();
    return kFailed;
}
