// The application's answers to the framework: which resource class holds a
// type of payload, whether a message id wants an index, the device's key
// table.

#include "CGameApp.h"

#include "CAssert.h"
#include "CResourceAggregate.h"
#include "CResourceBinary.h"
#include "CResourceDIB.h"
#include "CResourceKeyset.h"
#include "CResourceMedia.h"
#include "CResourcePalette.h"
#include "CResourceRenderSurface.h"
#include "CResourceShader.h"
#include "CResourceStrWChar.h"

#include <typeinfo>

namespace {

template <typename Resource>
CResource* NewResource() {
    return new Resource();
}

struct ResourceType {
    uint32_t typeKey;
    CResource* (*create)();
};

constexpr ResourceType kResourceTypes[] = {
    {0x40546F85, &NewResource<CResourcePalette>},
    {0x40547DA2, &NewResource<CResourcePalette>},
    {0xA6EFB9A2, &NewResource<CResourcePalette>},
    {0x43735EB4, &NewResource<CResourceStrWChar>},
    {0xF686AADC, &NewResource<CResourceStrWChar>},
    {0x521B2402, &NewResource<CResourceAggregate>},
    {0x69E4C505, &NewResource<CResourceAggregate>},
    {0x374F8659, &NewResource<CResourceBinary>},
    {0xF4E02223, &NewResource<CResourceBinary>},
    {0x027B32F1, &NewResource<CResourceMedia>},
    {0x2FD9AA54, &NewResource<CResourceMedia>},
    {0x2FD9B34A, &NewResource<CResourceMedia>},
    {0x32FD8642, &NewResource<CResourceMedia>},
    {0x32FD99E1, &NewResource<CResourceMedia>},
    {0xFD878582, &NewResource<CResourceMedia>},
    {0xFD8A7754, &NewResource<CResourceMedia>},
    {0xFD94B3C1, &NewResource<CResourceMedia>},
    {0x107DD145, &NewResource<CResourceDIB>},
    {0xB717945F, &NewResource<CResourceDIB>},
    {0x69E5D35C, &NewResource<CResourceKeyset>},
    {0xD65E722E, &NewResource<CResourceShader>},
    {0x59F4BC59, &NewResource<CResourceRenderSurface>},
    {0x59EFBC42, &NewResource<CResourceRenderSurface>},
    {0x59F4BC42, &NewResource<CResourceRenderSurface>},
    {0xE179EFBE, &NewResource<CResourceRenderSurface>},
    {0xE179F4BE, &NewResource<CResourceRenderSurface>},
    {0x9F4BC472, &NewResource<CResourceRenderSurface>},
};

}  // namespace

CResource* CGameApp::CreateResource(uint32_t typeKey) {
    for (const ResourceType& type : kResourceTypes) {
        if (type.typeKey == typeKey) return type.create();
    }
    ASSERT(false);
    DebugPrintf("no resource class serves type 0x%08X", typeKey);
    return nullptr;
}

// No message registry gets an index of its own.
bool CGameApp::GetEventRegistryParams(uint32_t id, int32_t* bucketRequest, uint32_t* blocksPerChunk) {
    ASSERT(id != 0);
    if (bucketRequest != nullptr) *bucketRequest = 0;
    if (blocksPerChunk != nullptr) *blocksPerChunk = 0;
    return false;
}

const DeviceKeyMapping* CGameApp::GetDeviceKeyTable(int32_t* outCount) const {
    return m_device.GetRemapTable(outCount);
}

// Asked many times a frame: the exact type is checked first, which costs no
// walk through the class hierarchy.
CGameApp* GetGameApp() {
    CAppBase* app = GetApp();
    if (app == nullptr) return nullptr;
    if (typeid(*app) == typeid(CGameApp)) return static_cast<CGameApp*>(app);
    return dynamic_cast<CGameApp*>(app);
}
