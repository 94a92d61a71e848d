#include "RendererHooks.h"

CClass* CreateTextureObject(uint32_t, uint32_t) { return nullptr; }

CClass* CreateShaderObject(uint32_t) { return nullptr; }
