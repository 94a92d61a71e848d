#ifndef CRESOURCEDIB_H
#define CRESOURCEDIB_H

#include "CResource.h"

class CDIB;

// A BMP image loaded whole, headers, palette and rows.
class CResourceDIB : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x824D74F7;

    CResourceDIB() : CResource(kClassKey, "CResourceDIB") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CDIB* GetDIB() const;
};

#endif
