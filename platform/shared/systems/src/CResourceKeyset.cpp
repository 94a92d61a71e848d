#include "CResourceKeyset.h"

#include "CKeyset.h"

namespace {

// A key set reads its own byte order from the stream; the type adds nothing.
bool LoadKeys(CClass* payload, CInputStream& stream, uint32_t) { return static_cast<CKeyset*>(payload)->Load(stream); }

}  // namespace

CKeyset* CResourceKeyset::GetKeyset() const { return static_cast<CKeyset*>(GetObject()); }

uint32_t CResourceKeyset::GetSize() const { return GetObject() != nullptr ? 12 : 0; }

int32_t CResourceKeyset::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CKeyset(), LoadKeys);
}
