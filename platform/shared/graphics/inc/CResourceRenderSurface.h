#ifndef CRESOURCERENDERSURFACE_H
#define CRESOURCERENDERSURFACE_H

#include "CResource.h"

class CRenderSurface;

// An image as the game names it: a render surface configured from the
// attribute pairs of its entry. The type key chooses the kind of surface;
// only the off-screen kinds exist on this platform.
class CResourceRenderSurface : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x23441AF5;

    CResourceRenderSurface() : CResource(kClassKey, "CResourceRenderSurface") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CRenderSurface* GetSurface() const;
};

#endif
