#ifndef CRENDERSURFACE_H
#define CRENDERSURFACE_H

#include <vector>

#include "CGenUtil.h"
#include "CRenderSurfaceWatcher.h"
#include "ICRenderSurface.h"

class CRenderSurfaceBuffer;
struct CRenderSurfaceLoadParams;

// The common part of every render surface: a flag word, up to three pixel
// planes (colour, depth, stencil) and an optional 256-colour palette. A
// surface may instead forward to another surface, which then stands in for
// its colour plane, and which it watches: a forwarder whose target is
// destroyed stands for nothing from then on. Watchers are told whenever the
// planes change, and when the surface goes.
class CRenderSurface : public ICRenderSurface, private CRenderSurfaceWatcher {
public:
    // Flag word.
    static constexpr uint32_t kFlagOffScreen = 0x1;
    static constexpr uint32_t kFlagOnScreen = 0x2;
    static constexpr uint32_t kFlagDoubleBuffered = 0x4;
    static constexpr uint32_t kFlagPresentGroupA = 0x8;
    static constexpr uint32_t kFlagPresentGroupB = 0x10;
    static constexpr uint32_t kFlagPresentVariant1 = 0x20;
    static constexpr uint32_t kFlagPresentVariant2 = 0x40;
    static constexpr uint32_t kFlagSoftware = 0x100;
    static constexpr uint32_t kFlagWindow = 0x200;
    static constexpr uint32_t kFlagCapability = 0x400;
    static constexpr uint32_t kFlagBuffering1 = 0x800;
    static constexpr uint32_t kFlagBuffering2 = 0x1000;
    static constexpr uint32_t kFlagPowerOfTwo = 0x4000;
    static constexpr uint32_t kFlagExtendedColor = 0x8000;
    static constexpr uint32_t kFlagColorRequested = 0x10000;
    static constexpr uint32_t kFlagDepthRequested = 0x20000;
    static constexpr uint32_t kFlagStencilRequested = 0x80000;
    static constexpr uint32_t kFlagForwarding = 0x400000;
    static constexpr uint32_t kFlagOwnsPalette = 0x800000;
    static constexpr uint32_t kLockBits = 0x7000000;
    static constexpr uint32_t kFlagCreated = 0x80000000;
    // What Destroy keeps: the kind, presentation and buffering bits.
    static constexpr uint32_t kFlagsKeptByDestroy = 0x1B7B;

    static constexpr uint32_t kPlaneColor = 0;
    static constexpr uint32_t kPlaneDepth = 1;
    static constexpr uint32_t kPlaneStencil = 2;
    static constexpr uint32_t kPlaneCount = 3;

    // Clear masks.
    static constexpr uint32_t kClearColor = 0x10000;
    static constexpr uint32_t kClearDepth = 0x20000;
    static constexpr uint32_t kClearStencil = 0x40000;

    ~CRenderSurface() override;

    bool Configure(CInputStream* stream, uint32_t typeKey) override;
    void Destroy() override;
    void MakeCurrent() override;
    bool IsLocked() const override { return (m_flags & kLockBits) != 0; }
    uint32_t GetFormat() const override;
    bool GetSize(uint32_t* width, uint32_t* height) const override;
    bool GetDesc(CRenderSurfaceDesc* desc) const override;

    // Stops being the current surface of any device that has it.
    void ReleaseCurrent();
    // Fills the planes the mask selects with the given values through the
    // registered fill routines; a plane without a routine keeps its pixels.
    void Clear(uint32_t mask, const RSBFormat_ARGB_fixed* color, uint32_t depth, uint32_t stencil);

    // The colour plane, then the depth and stencil planes of the non-zero
    // formats. A null palette lets a loader allocate one that the surface
    // then owns; a given palette is only borrowed. Explicit pixels or pitch
    // cannot be combined with load parameters.
    bool CreatePlanes(const uint32_t formats[kPlaneCount], uint16_t width, uint16_t height, uint32_t* palette,
                      const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode, int16_t pitch, void* pixels);
    // Depth and stencil planes of zeroed memory for the non-zero formats.
    void CreateAuxPlanes(const uint32_t formats[kPlaneCount], uint16_t width, uint16_t height);
    void ReleasePlanes();
    // Makes this surface stand for `target` (a render surface, as its class
    // key says), with depth and stencil planes of its own. From the
    // target's destruction on the surface answers as one without planes.
    bool CreateForwarding(const uint32_t formats[kPlaneCount], CClass* target, uint32_t targetClassKey,
                          uint32_t* palette);

    // Plane index of a buffer type (0 colour, 1 depth, 2 stencil); others
    // are reported and give 0.
    static uint32_t BufferTypeToIndex(uint32_t type);

    uint32_t GetFlags() const { return m_flags; }
    const uint32_t* GetPalette() const { return m_palette; }
    // No pixel of an off-screen surface's colour plane is its format's colour
    // key, so that a keyed copy of it writes every pixel. Looked at once, and
    // again after the pixels were handed out for writing.
    bool IsOpaque();
    // None once the surface is being destroyed: its watchers are told of
    // the end while its planes still stand, and none may take them up anew.
    CRenderSurfaceBuffer* GetPlane(uint32_t index) const {
        return index < kPlaneCount && !m_ending ? m_planes[index] : nullptr;
    }
    ICRenderSurface* GetForwardTarget() const { return IsForwarding() ? m_forwardTarget : nullptr; }

    // A watcher is told after every change of the planes until it is taken
    // off; one added twice is told once.
    void AddWatcher(CRenderSurfaceWatcher* watcher);
    void RemoveWatcher(CRenderSurfaceWatcher* watcher);

    // A number taken anew from one counter for all surfaces whenever the
    // colour plane's pixels may change (creation, a lock for writing, a
    // noted draw), so that no two states of any surfaces share one, even
    // when a freed surface's memory comes back as another. A surface that
    // stands for another cannot follow its pixels and answers a new number
    // every time. Serials start at 1.
    uint64_t GetChangeSerial() const { return IsForwarding() ? NextSerial() : m_changeSerial; }
    // For writers into pixels handed out by a lock that let them note their
    // own changes.
    void NoteChange() {
        m_changeSerial = NextSerial();
        ForgetOpacity();
    }

    // Open over a change of the planes, by the surface or by a plane's own
    // buffer: the watchers are told when the outermost one closes, so that
    // a surface made anew in steps (its old planes let go of, new ones
    // made) is seen once, whole. The pixels let go of meanwhile are freed
    // only once every watcher has been told: a watcher told first may run
    // code that reaches through another one not told yet. Over no surface
    // it does nothing; over one being destroyed (which tells its end
    // instead) it tells nothing.
    class PlaneChange {
    public:
        explicit PlaneChange(CRenderSurface* surface) : m_surface(surface) {
            if (surface != nullptr) ++surface->m_openChanges;
        }
        ~PlaneChange() {
            if (m_surface != nullptr && --m_surface->m_openChanges == 0) m_surface->CloseChange();
        }
        PlaneChange(const PlaneChange&) = delete;
        PlaneChange& operator=(const PlaneChange&) = delete;

    private:
        CRenderSurface* m_surface;
    };

protected:
    CRenderSurface() = default;

    bool IsForwarding() const { return (m_flags & kFlagForwarding) != 0; }
    void AddFlags(uint32_t bits) { m_flags |= bits; }
    void RemoveFlags(uint32_t bits) { m_flags &= ~bits; }
    void ForgetOpacity() { m_opacity = kOpacityUnknown; }
    // Every lock except one that only reads, or whose writer notes its changes.
    void NoteWriteLock(uint32_t lockFlags) {
        if ((lockFlags & (kLockRead | kLockNotedWrites)) == 0) NoteChange();
    }

private:
    // A plane hands over the pixel block it lets go of, to be freed once
    // the change is told.
    friend class CRenderSurfaceBuffer;
    void RetirePixels(void* block);
    // The outermost change closes: tell it, then free what it let go of,
    // unless a tell is still under way or a watcher deleted the surface.
    void CloseChange();
    void FreeRetired();

    bool FillDescFlags(CRenderSurfaceDesc* desc) const;
    bool FillDescPlanes(CRenderSurfaceDesc* desc) const;
    // Fills one plane's pixels with a value of `valueFormat`.
    void FillPlane(const CRenderSurfaceBuffer* plane, uint8_t* pixels, int32_t pitch, uint32_t valueFormat,
                   const void* value) const;

    static uint64_t NextSerial() { return ++s_lastSerial; }
    // A tell under way, kept on the teller's stack so that it can still be
    // read once a watcher deleted the surface; tells nest when a watcher
    // changes the planes again.
    struct Telling {
        bool ended;
        Telling* outer;
    };
    // False when a watcher deleted the surface while it was told.
    bool TellWatchers(void (CRenderSurfaceWatcher::*tell)(CRenderSurface&));
    // The forward target's planes are read anew at every call.
    void PlanesChanged(CRenderSurface&) override {}
    void SurfaceEnding(CRenderSurface& surface) override;
    void StopForwarding();

    enum Opacity : uint8_t { kOpacityUnknown, kOpacityOpaque, kOpacityKeyed };
    Opacity ScanOpacity();

    uint32_t m_flags = 0;
    Opacity m_opacity = kOpacityUnknown;
    uint32_t* m_palette = nullptr;
    CRenderSurfaceBuffer* m_planes[kPlaneCount] = {nullptr, nullptr, nullptr};
    CRenderSurface* m_forwardTarget = nullptr;
    inline static uint64_t s_lastSerial = 0;
    uint64_t m_changeSerial = NextSerial();
    std::vector<CRenderSurfaceWatcher*> m_watchers;
    uint32_t m_openChanges = 0;
    Telling* m_telling = nullptr;
    // Pixel blocks let go of by the planes, freed once their change is told.
    std::vector<void*> m_retired;
    bool m_ending = false;
};

#endif
