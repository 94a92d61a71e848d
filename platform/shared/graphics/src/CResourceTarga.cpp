#include "CResourceTarga.h"

#include "CTarga.h"

namespace {

bool LoadTarga(CClass* payload, CInputStream& stream, uint32_t) { return static_cast<CTarga*>(payload)->Load(stream); }

}  // namespace

CResourceTarga::CResourceTarga(CTarga* image, uint32_t handle) : CResourceTarga() { Wrap(image, handle); }

CTarga* CResourceTarga::GetTarga() const { return static_cast<CTarga*>(GetObject()); }

// The size the handset reported for the image object itself.
uint32_t CResourceTarga::GetSize() const { return GetTarga() != nullptr ? 28 : 0; }

int32_t CResourceTarga::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CTarga(), LoadTarga);
}
