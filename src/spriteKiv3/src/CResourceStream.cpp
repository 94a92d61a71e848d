#include "CResourceStream.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CBinary.h"
#include "CMemory.h"
#include "CResource.h"
#include "CResourceManager.h"

namespace {

// The raw bytes a resource holds, or null when it holds none.
const CBinary* BinaryOf(const CResource* resource) {
    const CClass* object = resource->GetObject();
    if (object == nullptr || object->GetClassKey() != CBinary::kClassKey) return nullptr;
    return static_cast<const CBinary*>(object);
}

}  // namespace

CResourceStream::CResourceStream(uint32_t resourceId) : m_resourceId(resourceId) {
    CResourceManager* manager = GetAppResourceManager();
    CResource* resource = nullptr;
    if (manager == nullptr || manager->CreateByHandle(resourceId, &resource) == CResourceManager::kFailed ||
        resource == nullptr) {
        DebugPrintf("CResourceStream: resource 0x%08X is not available", resourceId);
        SetError();
        return;
    }
    m_resource = resource;
    const CBinary* binary = BinaryOf(resource);
    if (binary == nullptr || !Open(binary->GetData(), binary->GetSize())) {
        DebugPrintf("CResourceStream: resource 0x%08X holds no raw data", resourceId);
        ReleaseResource();
        SetError();
    }
}

CResourceStream::~CResourceStream() { ReleaseResource(); }

void CResourceStream::ReleaseResource() {
    if (m_resource == nullptr) return;
    Close();
    m_resource = nullptr;
    CResourceManager* manager = GetAppResourceManager();
    if (manager != nullptr) manager->ReleaseByHandle(m_resourceId);
}

void CResourceStream::ReadString(char** out) {
    const bool swap = GetSwapBytes();
    SetSwapBytes(1);
    const uint16_t length = ReadUInt16();
    SetSwapBytes(swap ? 1 : 0);
    char* text = static_cast<char*>(MemAlloc(static_cast<size_t>(length) + 1));
    *out = text;
    if (text == nullptr) {
        Skip(length);
        return;
    }
    Read(text, length);
    text[length] = '\0';
}
