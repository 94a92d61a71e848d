#include "CCore.h"

#include "CStrChar.h"

bool CCore::GetPlatformText(CStrChar* out) {
    if (out != nullptr) out->Release();
    return false;
}

bool CCore::SetDirection(uint32_t) { return false; }

bool CCore::SetDirection2(uint32_t) { return false; }
