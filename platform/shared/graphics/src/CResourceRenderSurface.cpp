#include "CResourceRenderSurface.h"

#include "CRenderSurface.h"
#include "CRenderSurfaceFactory.h"

namespace {

constexpr uint32_t kReportedSize = 8;

// Surface kind and format code of each render-surface type key.
struct SurfaceType {
    uint32_t typeKey;
    uint32_t kind;
    uint32_t format;
};

constexpr SurfaceType kSurfaceTypes[] = {
    {0x59EFBC42, kRenderSurfaceKindOffScreen, 1}, {0x59F4BC42, kRenderSurfaceKindWindow, 1},
    {0x59F4BC59, kRenderSurfaceKindWindow, 2},    {0x9F4BC472, kRenderSurfaceKindWindow, 3},
    {0xE179EFBE, kRenderSurfaceKindOffScreen, 0}, {0xE179F4BE, kRenderSurfaceKindWindow, 0},
};

const SurfaceType* FindSurfaceType(uint32_t typeKey) {
    for (const SurfaceType& type : kSurfaceTypes) {
        if (type.typeKey == typeKey) return &type;
    }
    return nullptr;
}

bool ConfigureSurface(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CRenderSurface*>(payload)->Configure(&stream, typeKey);
}

}  // namespace

CRenderSurface* CResourceRenderSurface::GetSurface() const { return static_cast<CRenderSurface*>(GetObject()); }

uint32_t CResourceRenderSurface::GetSize() const { return GetSurface() != nullptr ? kReportedSize : 0; }

int32_t CResourceRenderSurface::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    const SurfaceType* type = FindSurfaceType(typeKey);
    CRenderSurface* surface = type != nullptr ? CreateRenderSurface(type->kind, 0, type->format) : nullptr;
    return BuildPayload(handle, stream, typeKey, surface, ConfigureSurface);
}
