#include "CResourceTexture.h"

#include "CTexture.h"

namespace {

bool LoadTexture(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CTexture*>(payload)->LoadTGA(stream, typeKey);
}

}  // namespace

CResourceTexture::CResourceTexture(CTexture* texture, uint32_t handle) : CResourceTexture() { Wrap(texture, handle); }

CTexture* CResourceTexture::GetTexture() const { return static_cast<CTexture*>(GetObject()); }

// The size the handset reported for the texture object itself.
uint32_t CResourceTexture::GetSize() const { return GetTexture() != nullptr ? 24 : 0; }

int32_t CResourceTexture::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CTexture(), LoadTexture);
}
