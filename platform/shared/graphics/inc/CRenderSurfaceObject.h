#ifndef CRENDERSURFACEOBJECT_H
#define CRENDERSURFACEOBJECT_H

#include "CClass.h"

// The common root of render surfaces and of the 3D renderer's shader and
// texture objects: owners delete any of them through this class, and each
// subclass names its kind by the class key it passes.
class CRenderSurfaceObject : public CClass {
public:
    ~CRenderSurfaceObject() override = default;

    CRenderSurfaceObject(const CRenderSurfaceObject&) = delete;
    CRenderSurfaceObject& operator=(const CRenderSurfaceObject&) = delete;

protected:
    explicit CRenderSurfaceObject(uint32_t classKey) : CClass(classKey) {}
};

#endif
