#ifndef CRESOURCEBINARY_H
#define CRESOURCEBINARY_H

#include "CResource.h"

class CBinary;

class CResourceBinary : public CResource {
public:
    static constexpr uint32_t kClassKey = 0xE70DDE7D;

    CResourceBinary() : CResource(kClassKey, "CResourceBinary") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CBinary* GetBinary() const;
};

#endif
