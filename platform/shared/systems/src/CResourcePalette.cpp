#include "CResourcePalette.h"

#include "CPalette.h"

namespace {

bool LoadColors(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CPalette*>(payload)->Load(&stream, typeKey);
}

}  // namespace

CPalette* CResourcePalette::GetPalette() const { return static_cast<CPalette*>(GetObject()); }

uint32_t CResourcePalette::GetSize() const { return GetPalette() != nullptr ? GetPalette()->GetCount() * 4 + 20 : 0; }

int32_t CResourcePalette::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CPalette(), LoadColors);
}
