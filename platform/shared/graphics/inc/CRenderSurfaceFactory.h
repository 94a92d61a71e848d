#ifndef CRENDERSURFACEFACTORY_H
#define CRENDERSURFACEFACTORY_H

#include "EngineTypes.h"

class CRenderSurface;

// Kinds of surface the factory makes.
constexpr uint32_t kRenderSurfaceKindWindow = 1;
constexpr uint32_t kRenderSurfaceKindOffScreen = 2;

// A new, not yet created render surface, or null when this platform cannot
// make one of that kind. Kind 2 gives an off-screen software surface when
// buffering is 0 and the capabilities carry no driver (neither 2 nor 3).
CRenderSurface* CreateRenderSurface(uint32_t kind, uint32_t buffering, uint32_t capabilities);

#endif
