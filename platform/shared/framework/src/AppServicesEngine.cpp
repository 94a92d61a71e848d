#include "AppServices.h"

#include "CAppBase.h"
#include "CAppProperties.h"
#include "CCrc32.h"
#include "CGameData.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CGraphics_WinMobile.h"
#include "CRandGen.h"
#include "CRenderSurface.h"
#include "ServiceGetter.h"

namespace {

// The creation step of services that are plain engine objects: a new one,
// which registers itself, or null when memory is exhausted.
template <typename Service>
struct ConstructedService {
    static Service* Create() { return new Service(); }
};

struct RendererService {
    static CGraphics2d_Lite* Create() { return CreateGraphics2d(); }
};

// Width and height of the current surface, both 0 when there is none.
void GetCurrentSurfaceSize(uint32_t* width, uint32_t* height) {
    *width = 0;
    *height = 0;
    CGraphics* graphics = GetGraphics();
    CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    if (surface == nullptr || !surface->GetSize(width, height)) {
        *width = 0;
        *height = 0;
    }
}

}  // namespace

CGraphics* GetGraphics() {
    return FindOrCreateService<CGraphics, CGraphics_WinMobile>();
}

CGraphics2d_Lite* GetGraphics2d() {
    return FindOrCreateService<CGraphics2d_Lite, RendererService>();
}

CRandGen* GetRandom() {
    return FindOrCreateService<CRandGen, ConstructedService<CRandGen>>();
}

CCrc32* GetCrc32() {
    return FindOrCreateService<CCrc32, ConstructedService<CCrc32>>();
}

CAppProperties* GetPropertyTable() {
    return FindOrCreateService<CAppProperties, ConstructedService<CAppProperties>>();
}

CGameData* GetGameData() {
    return FindOrCreateService<CGameData, ConstructedService<CGameData>>();
}

CResourceManager* GetAppResourceManager() {
    CAppBase* app = GetApp();
    return app != nullptr ? app->GetResourceManager() : nullptr;
}

int32_t GetScreenWidth() {
    uint32_t width;
    uint32_t height;
    GetCurrentSurfaceSize(&width, &height);
    return static_cast<int32_t>(width);
}

int32_t GetScreenHeight() {
    uint32_t width;
    uint32_t height;
    GetCurrentSurfaceSize(&width, &height);
    return static_cast<int32_t>(height);
}
