#ifndef CRESOURCEPALETTE_H
#define CRESOURCEPALETTE_H

#include "CResource.h"

class CPalette;

class CResourcePalette : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x625FA174;

    CResourcePalette() : CResource(kClassKey, "CResourcePalette") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CPalette* GetPalette() const;
};

#endif
