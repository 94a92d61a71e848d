#include "CResourceTextureObject.h"

#include "CAssert.h"
#include "RendererHooks.h"

namespace {

// Texture objects are made empty and filled by the renderer, never from a stream.
bool RefuseTextureData(CClass*, CInputStream&, uint32_t) { return false; }

}  // namespace

uint32_t CResourceTextureObject::GetSize() const {
    ASSERT(false);
    return 0;
}

// Without an object from the platform nothing can be held, so the resource
// fails instead of counting as loaded with no payload.
int32_t CResourceTextureObject::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    CClass* object = CreateTextureObject(kTextureKind, 0);
    ASSERT(object != nullptr);
    return BuildPayload(handle, stream, typeKey, object, RefuseTextureData);
}
