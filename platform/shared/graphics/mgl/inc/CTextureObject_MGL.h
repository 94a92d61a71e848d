#ifndef CTEXTUREOBJECT_MGL_H
#define CTEXTUREOBJECT_MGL_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CRenderSurfaceWatcher.h"
#include "CTextureObjectInterface.h"

class MGLContext;

// The software renderer's texture: an off-screen surface whose colour plane
// holds the texels (the host fills it through the surface), and sampling
// parameters set with OpenGL's parameter codes. Binding copies what the
// sampler needs into a texture unit of the context registered with the
// graphics device, the colour plane mapped into that context's guest memory
// so span code and the portable spans can read it. Each context keeps its
// own mapping per unit, so one texture may be bound in several contexts at
// once. A mapping lives until the next bind to the same unit of the same
// context or the texture's destruction, which also empties a unit still
// showing it, in whichever live context it went to; and it follows the
// surface, whose planes may be made anew meanwhile: the surface tells the
// texture, which brings every mapping to the new plane at once, so no
// guest memory names the old pixels once they may be freed.
class CTextureObject_MGL final : public CTextureObjectInterface, private CRenderSurfaceWatcher {
public:
    static constexpr uint32_t kType = 2;

    static constexpr uint32_t kMagFilter = 0x2800;
    static constexpr uint32_t kMinFilter = 0x2801;
    static constexpr uint32_t kWrapS = 0x2802;
    static constexpr uint32_t kWrapT = 0x2803;
    static constexpr uint32_t kNearest = 0x2600;
    static constexpr uint32_t kLinear = 0x2601;
    static constexpr uint32_t kNearestMipmapNearest = 0x2700;
    static constexpr uint32_t kLinearMipmapNearest = 0x2701;
    static constexpr uint32_t kNearestMipmapLinear = 0x2702;
    static constexpr uint32_t kLinearMipmapLinear = 0x2703;
    static constexpr uint32_t kRepeat = 0x2901;
    static constexpr uint32_t kClampToEdge = 0x812F;
    static constexpr int32_t kWrapRepeat = 1;
    static constexpr int32_t kWrapClamp = 2;
    static constexpr int32_t kFormatCount = 13;
    static constexpr uint32_t kNoFormat = 0xFFFFFFFFu;

    CTextureObject_MGL();
    ~CTextureObject_MGL() override;

    uint32_t GetType() const override { return kType; }
    // Units outside 0..7, a texture without created planes or without a
    // colour plane, and a device without a context change nothing. A plane
    // the sampler cannot read (rows not packed one after another from the
    // top: padded or bottom-up), or one that cannot be mapped, leaves the
    // unit empty, and the log says why.
    void BindToUnit(int32_t unit) override;
    void GetSurface(CRenderSurface** out) const override;
    void ReservedA() override {}
    void SetListParameter(uint32_t, uint32_t) override {}
    // Each (name, value) pair up to a name of 0 goes to SetListParameter, so
    // the list changes nothing.
    void SetParameterList(const uint32_t* list) override;
    // False (and an assertion) for a name, wrap value or filter pair the
    // texture does not know: filter and wrap keep their values, while a
    // rejected filter value stays stored as the last one set.
    bool SetParameter(uint32_t name, uint32_t value) override;
    void SetParameters(int32_t count, const uint32_t* names, const uint32_t* values) override;
    void ReservedB(uint32_t, uint32_t) override {}

    int32_t GetFilter() const { return m_filter; }
    int32_t GetWrap() const { return m_wrap; }
    uint32_t GetMinFilter() const { return m_minFilter; }
    uint32_t GetMagFilter() const { return m_magFilter; }

    // 0..10 for 1, 2, 4 .. 1024; 0 for anything else.
    static int32_t Log2OfPowerOfTwo(uint32_t n);
    // The renderer's texture format number of a pixel format, -1 for others.
    static int32_t TextureFormatIndex(uint32_t format);
    // Index of a format in the format list, kNoFormat when absent.
    static uint32_t FindTextureFormat(uint32_t format);
    // Entry i of the format list, kNoFormat past its end.
    static uint32_t GetTextureFormat(uint32_t i);

    // One debug line each: the name; the name and a value; the name, a 16.16
    // value in hex and as a decimal with three (truncated) fraction digits.
    static void PrintName(const char* name);
    static void PrintNameInt(const char* name, int32_t value);
    static void PrintNameFixed(const char* name, int32_t value);

private:
    // The context's implementation part lists the textures mapped in the
    // context, and has each follow its surface before a draw.
    friend class MGLContextCore;

    // The colour plane as a bind maps it: its pixels, the bytes of its rows
    // and what the unit copies of it. No pixels when there is no plane.
    struct PlaneShape {
        uint8_t* pixels = nullptr;
        size_t bytes = 0;  // 0 for rows the sampler cannot read
        int32_t pitch = 0;
        uint32_t format = 0;
        int32_t width = 0;
        int32_t height = 0;
        bool operator==(const PlaneShape&) const = default;
    };
    // What a bind left mapped in a context's guest memory.
    struct UnitMapping {
        uint64_t contextSerial = 0;
        int32_t unit = 0;
        uint32_t guest = 0;
        PlaneShape plane;
    };

    // Brings this texture's mappings in `context` to the colour plane the
    // surface has now (the surface calls for it, and a draw asks too). A
    // plane made anew (other pixels, size or format) is mapped in place of
    // the old one and a unit showing the old one shows the new one (its
    // filter and wrap modes as bound); without a plane it can map the
    // mapping goes and the unit is emptied. False once no mapping is left
    // in the context, which must then forget the texture.
    bool FollowSurface(MGLContext& context);
    void PlanesChanged(CRenderSurface& surface) override;
    void SurfaceEnding(CRenderSurface& surface) override;
    bool DeriveFilter();
    PlaneShape CurrentPlane() const;
    // Maps the plane into the context and makes the unit show it; false,
    // with nothing mapped, when it cannot be mapped.
    static bool MapIntoUnit(MGLContext& context, UnitMapping& mapping, const PlaneShape& plane);
    void ReleaseMapping(const UnitMapping& mapping);

    CRenderSurface* m_surface = nullptr;
    int32_t m_filter = 0;
    int32_t m_wrap = kWrapClamp;
    uint32_t m_minFilter = kNearest;
    uint32_t m_magFilter = kNearest;
    std::vector<UnitMapping> m_mappings;
};

#endif
