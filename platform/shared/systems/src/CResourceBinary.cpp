#include "CResourceBinary.h"

#include "CBinary.h"

namespace {

bool LoadBinary(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CBinary*>(payload)->Load(stream, typeKey);
}

}  // namespace

CBinary* CResourceBinary::GetBinary() const { return static_cast<CBinary*>(GetObject()); }

// The sizes are those the handset reported; callers compare them with
// budgets made for it.
uint32_t CResourceBinary::GetSize() const { return GetBinary() != nullptr ? GetBinary()->GetSize() + 20 : 0; }

int32_t CResourceBinary::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CBinary(), LoadBinary);
}
