#ifndef CRESOURCETEXTURE_H
#define CRESOURCETEXTURE_H

#include "CResource.h"

class CTexture;

// The resource of a texture image: a Targa image or a stored texture block,
// told apart by the type key. No type key of the archive names it.
class CResourceTexture : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x660AB014;

    CResourceTexture() : CResource(kClassKey, "CResourceTexture") {}
    // Takes the texture; loaded when it is not null.
    CResourceTexture(CTexture* texture, uint32_t handle);

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CTexture* GetTexture() const;
};

#endif
