#ifndef CRESOURCESHADER_H
#define CRESOURCESHADER_H

#include "CResource.h"

// The resource of a renderer shader. The platform makes no shader objects,
// so every shader resource is refused.
class CResourceShader : public CResource {
public:
    static constexpr uint32_t kClassKey = 0xE61C2A06;
    // The kind of shader object a shader resource asks the platform for.
    static constexpr uint32_t kShaderKind = 2;

    CResourceShader() : CResource(kClassKey, "CResourceShader") {}

    uint32_t GetSize() const override;
    int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) override;
};

#endif
