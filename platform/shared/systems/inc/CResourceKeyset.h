#ifndef CRESOURCEKEYSET_H
#define CRESOURCEKEYSET_H

#include "CResource.h"

class CKeyset;

class CResourceKeyset : public CResource {
public:
    static constexpr uint32_t kClassKey = 0xE790BD00;

    CResourceKeyset() : CResource(kClassKey, "CResourceKeyset") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CKeyset* GetKeyset() const;
};

#endif
