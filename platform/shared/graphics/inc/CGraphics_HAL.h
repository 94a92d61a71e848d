#ifndef CGRAPHICS_HAL_H
#define CGRAPHICS_HAL_H

#include "CGraphics.h"

// A device that hands the window surface's work to a back-end device (the
// platform's driver) while it clears software surfaces itself. The platform
// subclass creates, owns and sets the back end.
class CGraphics_HAL : public CGraphics {
public:
    static constexpr uint32_t kBackEndInfoId = 1;

    ~CGraphics_HAL() override = default;

    // The back end's current surface.
    CRenderSurface* GetCurrentSurface() const override;
    void SetCurrentSurface(CRenderSurface* surface) override;
    void BeginFrame() override;
    void EndFrame() override;
    void Clear(uint32_t mask) override;
    void SetClearColor(uint32_t packedArgb) override;
    void SetClearColor(const RSBFormat_ARGB_fixed& color) override;
    void SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) override;
    void SetClearDepth(int32_t depth) override;
    void SetClearStencil(uint32_t stencil) override;
    const CGraphicsInfo* GetInfo(uint32_t id) const override;
    const CStrChar* GetName(uint32_t id) const override;

    CGraphicsInterface* GetBackEnd() const { return m_backEnd; }

protected:
    CGraphics_HAL() = default;

    void SetBackEnd(CGraphicsInterface* backEnd) { m_backEnd = backEnd; }

private:
    // Reports a missing back end; the forwarding operations need one.
    bool HasBackEnd() const;
    // The back end's current surface when it is drawn by the driver (not a
    // software surface), else null.
    CRenderSurface* DriverSurface() const;

    CGraphicsInterface* m_backEnd = nullptr;
};

#endif
