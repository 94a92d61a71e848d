#include "CResourceAggregate.h"

#include "CAggregateResource.h"

namespace {

bool LoadPack(CClass* payload, CInputStream& stream, uint32_t typeKey) {
    return static_cast<CAggregateResource*>(payload)->Load(stream, typeKey);
}

}  // namespace

CAggregateResource* CResourceAggregate::GetAggregate() const {
    return static_cast<CAggregateResource*>(GetObject());
}

uint32_t CResourceAggregate::GetSize() const { return GetObject() != nullptr ? 32 : 0; }

int32_t CResourceAggregate::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, new CAggregateResource(), LoadPack);
}
