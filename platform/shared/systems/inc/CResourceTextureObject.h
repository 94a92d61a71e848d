#ifndef CRESOURCETEXTUREOBJECT_H
#define CRESOURCETEXTUREOBJECT_H

#include "CResource.h"

// The resource of a renderer texture object. Such objects never load from
// data, and this platform makes none, so the resource is always refused.
class CResourceTextureObject : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x16F2C9F4;
    static constexpr uint32_t kTextureKind = 2;

    CResourceTextureObject() : CResource(kClassKey, "CResourceTextureObject") {}

    // Texture objects have no size to report: a programming error, 0.
    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;
};

#endif
