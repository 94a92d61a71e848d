#ifndef CRESOURCETARGA_H
#define CRESOURCETARGA_H

#include "CResource.h"

class CTarga;

// The resource of a Targa image. No type key of the archive names it; it
// wraps images made elsewhere, or loads one from a caller's stream.
class CResourceTarga : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x4F664193;

    CResourceTarga() : CResource(kClassKey, "CResourceTarga", "CResource[ ??? ]") {}
    // Takes the image; loaded when it is not null.
    CResourceTarga(CTarga* image, uint32_t handle);

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CTarga* GetTarga() const;
};

#endif
