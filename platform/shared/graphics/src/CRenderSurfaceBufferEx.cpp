#include "CRenderSurfaceBufferEx.h"

CRenderSurfaceBufferEx::CRenderSurfaceBufferEx(CRenderSurface* owner) : CRenderSurfaceBuffer(owner) {
    SetFlags(static_cast<uint16_t>(GetFlags() | kFlagExtended));
}
