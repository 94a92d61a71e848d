#include "CGraphics.h"

#include <algorithm>

#include "BlitTable.h"
#include "CAssert.h"
#include "CRenderSurface.h"

namespace {
const char kBlitterSetName[] = "CBlit 1.0";
}

CGraphics* CGraphics::s_instance = nullptr;

CGraphics::CGraphics() : CSingleton(kClassKey) {
    // A second device fails to register and is never the instance.
    if (CSingleton::GetInstance(kClassKey) == this) s_instance = this;
    LiveDevices().push_back(this);
}

CGraphics::~CGraphics() {
    ASSERT(m_initialised == 0);
    ASSERT(m_open == 0);
    if (s_instance == this) s_instance = nullptr;
    std::erase(LiveDevices(), this);
}

std::vector<CGraphics*>& CGraphics::LiveDevices() {
    static std::vector<CGraphics*> live;
    return live;
}

uint64_t CGraphics::NextSerial() {
    static uint64_t next = 0;
    return ++next;
}

bool CGraphics::IsLive(const CGraphics* device) {
    const std::vector<CGraphics*>& live = LiveDevices();
    return std::find(live.begin(), live.end(), device) != live.end();
}

// A device's SetCurrentSurface is its own code, which may make or delete
// devices: the walk is over the devices live as it starts, each asked
// again before it is reached, by its serial too, since a device made
// where a deleted one lay is not that one.
void CGraphics::ReleaseSurface(const CRenderSurface* surface) {
    struct Known {
        CGraphics* device;
        uint64_t serial;
    };
    std::vector<Known> known;
    known.reserve(LiveDevices().size());
    for (CGraphics* device : LiveDevices()) known.push_back(Known{device, device->m_serial});
    for (const Known& each : known) {
        CGraphics* device = each.device;
        if (!IsLive(device) || device->m_serial != each.serial) continue;
        const CRenderSurface* current =
            device->IsOpen() ? device->GetCurrentSurface() : device->CGraphics::GetCurrentSurface();
        if (current == surface) device->SetCurrentSurface(nullptr);
    }
}

void CGraphics::ForgetRendererContext(const void* context) {
    for (CGraphics* device : LiveDevices()) {
        if (device->m_rendererContext == context) device->m_rendererContext = nullptr;
    }
}

void CGraphics::Clear(uint32_t mask) {
    if (m_currentSurface == nullptr) return;
    m_currentSurface->Clear(mask, &m_clearColor.fixed, static_cast<uint32_t>(m_clearDepth), m_clearStencil);
}

void CGraphics::SetClearColor(uint32_t packedArgb) { m_clearColor.SetPacked(packedArgb); }

void CGraphics::SetClearColor(const RSBFormat_ARGB_fixed& color) { m_clearColor.SetFixed(color); }

void CGraphics::SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) { m_clearColor.SetChannels(a, r, g, b); }

void CGraphics::SetClearDepth(int32_t depth) { m_clearDepth = depth; }

void CGraphics::SetClearStencil(uint32_t stencil) { m_clearStencil = stencil; }

const CGraphicsInfo* CGraphics::GetInfo(uint32_t id) const { return id == kInfoId ? &m_info : nullptr; }

const CStrChar* CGraphics::GetName(uint32_t id) const { return id == kInfoId ? &m_name : nullptr; }

bool CGraphics::Init() {
    m_name = kBlitterSetName;
    m_info.id = kInfoId;
    m_info.name = &m_name;
    for (uint32_t& limit : m_info.limits) limit = kInfoLimit;
    RegisterBlitters();
    m_initialised = 1;
    return true;
}

void CGraphics::Shutdown() {
    m_name.Release();
    m_info = {0, nullptr, {0, 0, 0, 0, 0, 0, 0, 0}};
    m_initialised = 0;
}

// The registry keeps its entries for the life of the process; registering
// again finds the set already there and adds nothing.
void CGraphics::RegisterBlitters() { RegisterBlitTable(); }
