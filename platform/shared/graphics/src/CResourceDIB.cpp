#include "CResourceDIB.h"

#include "CDIB.h"

namespace {

// The size the handset reported for an image resource, whatever the image.
constexpr uint32_t kReportedSize = 88;

bool LoadDIB(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CDIB*>(payload)->ReadFromStream(&stream, typeKey);
}

}  // namespace

CDIB* CResourceDIB::GetDIB() const { return static_cast<CDIB*>(GetObject()); }

uint32_t CResourceDIB::GetSize() const { return GetDIB() != nullptr ? kReportedSize : 0; }

int32_t CResourceDIB::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CDIB(), LoadDIB);
}
