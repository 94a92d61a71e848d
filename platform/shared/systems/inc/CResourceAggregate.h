#ifndef CRESOURCEAGGREGATE_H
#define CRESOURCEAGGREGATE_H

#include "CResource.h"

class CAggregateResource;

class CResourceAggregate : public CResource {
public:
    static constexpr uint32_t kClassKey = 0x35C14556;

    CResourceAggregate() : CResource(kClassKey, "CResourceAggregate") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;

    CAggregateResource* GetAggregate() const;
};

#endif
