#include "WinCeDDraw.h"

#include "HostDirectDraw.h"
#include "HostDisplay.h"

HRESULT DirectDrawCreate(const GUID* driver, IDirectDraw** directDraw, void* outer) {
    if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (driver != nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
    if (HostDisplay::ShouldFail(HostDDrawCall::DirectDrawCreate)) return DDERR_NODIRECTDRAWHW;
    HostDirectDraw* made = HostDirectDraw::Create();
    if (made == nullptr) return DDERR_OUTOFMEMORY;
    *directDraw = made;
    return DD_OK;
}
