#include "CResourceMedia.h"

#include "CMedia.h"

namespace {

bool LoadSound(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CMedia*>(payload)->Load(stream, typeKey);
}

}  // namespace

CMedia* CResourceMedia::GetMedia() const { return static_cast<CMedia*>(GetObject()); }

uint32_t CResourceMedia::GetSize() const { return GetMedia() != nullptr ? GetMedia()->GetSize() + 20 : 0; }

int32_t CResourceMedia::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CMedia(), LoadSound);
}
