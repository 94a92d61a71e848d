#ifndef RENDERERHOOKS_H
#define RENDERERHOOKS_H

#include "EngineTypes.h"

class CClass;

// The platform's factories for objects of a hardware renderer. This
// platform has none: both answer null for every argument, so the resources
// that would wrap such objects are refused.
CClass* CreateTextureObject(uint32_t kind, uint32_t options);
CClass* CreateShaderObject(uint32_t kind);

#endif
