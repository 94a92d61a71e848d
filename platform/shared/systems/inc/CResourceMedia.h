#ifndef CRESOURCEMEDIA_H
#define CRESOURCEMEDIA_H

#include "CResource.h"

class CMedia;

class CResourceMedia : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x4F7F1773;

    CResourceMedia() : CResource(kClassKey, "CResourceMedia") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CMedia* GetMedia() const;
};

#endif
