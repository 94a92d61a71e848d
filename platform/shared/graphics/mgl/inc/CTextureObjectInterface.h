#ifndef CTEXTUREOBJECTINTERFACE_H
#define CTEXTUREOBJECTINTERFACE_H

#include "CRenderSurfaceObject.h"

class CRenderSurface;

// A texture as the graphics layer sees it: a surface of texels with
// sampling parameters, bound to the renderer's texture units.
class CTextureObjectInterface : public CRenderSurfaceObject {
public:
    // CStringToKey("ICTextureObject").
    static constexpr uint32_t kClassKey = 0xFCF6EC76;

    CTextureObjectInterface() : CRenderSurfaceObject(kClassKey) {}
    ~CTextureObjectInterface() override = default;

    virtual uint32_t GetType() const = 0;
    virtual void BindToUnit(int32_t unit) = 0;
    virtual void GetSurface(CRenderSurface** out) const = 0;
    virtual void ReservedA() = 0;
    virtual void SetListParameter(uint32_t name, uint32_t value) = 0;
    virtual void SetParameterList(const uint32_t* list) = 0;
    virtual bool SetParameter(uint32_t name, uint32_t value) = 0;
    virtual void SetParameters(int32_t count, const uint32_t* names, const uint32_t* values) = 0;
    virtual void ReservedB(uint32_t a, uint32_t b) = 0;
};

#endif
