#ifndef CRESOURCESTRWCHAR_H
#define CRESOURCESTRWCHAR_H

#include "CResource.h"

class CStrWChar;

class CResourceStrWChar : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x012B7B64;

    CResourceStrWChar() : CResource(kClassKey, "CResourceStrWChar") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CStrWChar* GetStrWChar() const;
};

#endif
