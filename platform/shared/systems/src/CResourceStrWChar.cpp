#include "CResourceStrWChar.h"

#include "CStrWChar.h"

namespace {

bool LoadText(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CStrWChar*>(payload)->LoadFromStream(stream, typeKey);
}

}  // namespace

CStrWChar* CResourceStrWChar::GetStrWChar() const { return static_cast<CStrWChar*>(GetObject()); }

uint32_t CResourceStrWChar::GetSize() const {
    return GetStrWChar() != nullptr ? static_cast<uint32_t>(GetStrWChar()->GetLength()) * 2 + 4 : 0;
}

int32_t CResourceStrWChar::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CStrWChar(), LoadText);
}
