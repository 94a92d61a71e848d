#ifndef CSHADERINTERFACE_H
#define CSHADERINTERFACE_H

#include "CRenderSurfaceObject.h"

class CInputStream;
class COutputStream;

// A pixel-pipeline object as the resource system sees it: loaded from a
// stream under a tag, saved back, unloaded. Its class key is also the type
// key of shader resources.
class CShaderInterface : public CRenderSurfaceObject {
public:
    // CStringToKey("ICShader").
    static constexpr uint32_t kClassKey = 0xD65E722E;

    CShaderInterface() : CRenderSurfaceObject(kClassKey) {}
    ~CShaderInterface() override = default;

    virtual uint32_t GetType() const = 0;
    virtual void Reserved1() = 0;
    virtual bool Reserved2(uint32_t value) = 0;
    virtual void Unload() = 0;
    virtual bool Load(CInputStream* stream, uint32_t tag) = 0;
    virtual bool Save(COutputStream* stream, uint32_t tag) = 0;
    virtual uint32_t GetStatus() const = 0;
};

#endif
