#ifndef CGRAPHICS2D_LITE_H
#define CGRAPHICS2D_LITE_H

#include "CBlitUtil.h"
#include "CColorEntry.h"
#include "CDrawCallHash.h"
#include "CRect.h"
#include "CSingleton.h"
#include "TCStack.h"

class CInterpolantFetcher;
class CRenderSurface;

// The immediate-mode 2D renderer everything on screen is drawn through. It
// keeps a small state (capabilities, blend mode, colour, a stack of
// translations, a clip rectangle, a vertex pointer) and turns each draw call
// into one blit: it derives the blit request from the state, finds the
// routine (remembering the last request), clips, and calls the routine on
// the graphics device's current surface.
class CGraphics2d_Lite : public CSingleton {
public:
    // The name key of the 2D-renderer interface, under which it is a singleton.
    static constexpr uint32_t kClassKey = 0x66E79740;
    static constexpr uint32_t kMode = 2;

    // Capabilities (Enable, Disable) and state groups (PushState, PopState).
    static constexpr uint32_t kCapAlpha = 0;
    static constexpr uint32_t kCapBlend = 1;
    static constexpr uint32_t kCapColorKey = 3;
    static constexpr uint32_t kGroupAlpha = 0;
    static constexpr uint32_t kGroupBlend = 1;  // blending and the blend mode
    static constexpr uint32_t kGroupColor = 2;
    static constexpr uint32_t kGroupColorKey = 3;

    // Blend modes: 0 constant alpha from the current colour (images), 2
    // per-channel blend (lines and rectangles).
    static constexpr uint32_t kBlendConstant = 0;
    static constexpr uint32_t kBlendChannels = 2;

    static constexpr uint32_t kOriginBottomLeft = 0;
    static constexpr uint32_t kOriginTopLeft = 1;

    static constexpr uint32_t kFlipX = 1;
    static constexpr uint32_t kFlipY = 2;

    // DrawArrays modes.
    static constexpr uint32_t kDrawLines = 1;
    static constexpr uint32_t kDrawNothing = 2;
    static constexpr uint32_t kDrawRectangles = 3;

    // Vertex element types: the name keys of "int8", "int16" and "fixed".
    static constexpr uint32_t kVertexInt8 = 0x2F978;
    static constexpr uint32_t kVertexInt16 = 0x3F9726;
    static constexpr uint32_t kVertexFixed = 0x30EE34;

    static constexpr uint32_t kStateDepth = 3;
    static constexpr uint32_t kMatrixDepth = 16;
    // Blit requests remembered with their routines: a frame mixes a few
    // (keyed images, fills, glyphs) in turn.
    static constexpr uint32_t kRoutineCacheSize = 4;

    // A 2D translation, 16.16 fixed point.
    struct Translation {
        int32_t x;
        int32_t y;
    };

    // One piece of an image for DrawImagePieces: its source rectangle and
    // where it goes, in whole pixels added to the current translation.
    struct ImagePiece {
        CRect source;
        int32_t x;
        int32_t y;
    };

    CGraphics2d_Lite();
    ~CGraphics2d_Lite() override;

    // The registered renderer, or null.
    static CGraphics2d_Lite* GetInstance();

    bool Open();
    void Close();
    // Only mode 2 exists.
    void SetMode(uint32_t mode);
    uint32_t GetMode() const { return kMode; }
    // Locks the current surface for the frame; the clip becomes the whole surface.
    void BeginFrame();
    void EndFrame();
    // Only the top-left origin is expected.
    void SetOrigin(uint32_t origin);
    // While non-zero, DrawImage draws nothing.
    void SuppressImages(uint32_t suppress) { m_imageSuppress = suppress; }
    // Kept for callers; drawing always goes to the device's current surface.
    void SetTarget(CRenderSurface* surface);
    CRenderSurface* GetTarget() const { return m_target; }

    void SetColor(uint32_t packedArgb);
    void SetColor(const RSBFormat_ARGB_fixed& color);
    void SetColor(int32_t a, int32_t r, int32_t g, int32_t b);
    const CColorEntry& GetColor() const { return m_colorStack.Top(); }
    void Enable(uint32_t capability);
    void Disable(uint32_t capability);
    void PushState(uint32_t group);
    void PopState(uint32_t group);
    void SetBlendMode(uint32_t mode);

    void LoadIdentity() { m_matrixStack.Top() = {0, 0}; }
    void SetMatrix(uint32_t kind, const Translation* matrix);
    void MultMatrix(uint32_t kind, const Translation* matrix);
    // Adds (dx, dy), 16.16, to the current translation; sums wrap.
    void Translate(int32_t dx, int32_t dy) {
        Translation& top = m_matrixStack.Top();
        top.x = static_cast<int32_t>(static_cast<uint32_t>(top.x) + static_cast<uint32_t>(dx));
        top.y = static_cast<int32_t>(static_cast<uint32_t>(top.y) + static_cast<uint32_t>(dy));
    }
    void PushMatrix();
    void PopMatrix();
    // Kind 0 and the current translation, each where asked for.
    void GetMatrixPointer(uint32_t* kind, const Translation** matrix) const;

    // Vertices for DrawArrays: 1 to 4 components of a type above; a stride
    // of 0 means packed.
    void VertexPointer(int32_t components, uint32_t typeKey, int32_t stride, const void* data);
    void ClearVertexPointer();

    // Applied at once inside a frame; BeginFrame resets it to the whole surface.
    void SetClip(const CRect& clip);
    void SetClip(int16_t x, int16_t y, int16_t width, int16_t height);
    const CRect* GetClip() const { return &m_clip; }
    const CRect& GetEffectiveClip() const { return m_effectiveClip; }

    // Vertex pairs from `first`: lines (mode 1) or filled rectangles between
    // two corners (mode 3).
    void DrawArrays(uint32_t mode, int32_t first, int32_t count);
    // The image's source rectangle (the whole image without one) at the
    // current translation, flipped by the flip code (1 x, 2 y, 3 both).
    void DrawImage(CRenderSurface* image, uint32_t flip, const CRect* source);
    // Each piece drawn as DrawImage draws it at the current translation moved
    // by the piece's position; the target and the image are looked at once
    // for all of them.
    void DrawImagePieces(CRenderSurface* image, uint32_t flip, const ImagePiece* pieces, int32_t count);
    // The whole current surface copied into `copy`, or `copy` copied back
    // onto it, pixel for pixel, whatever the clip and the capabilities; false,
    // copying nothing, unless `copy` has the surface's size and format.
    bool SaveTarget(CRenderSurface* copy);
    bool RestoreTarget(CRenderSurface* copy);

    // From Start to Stop every draw call (images, pieces, lines, rectangles,
    // a restored target) folds into a digest what decides its pixels: the
    // call and its arguments, the target, the state it draws in, and each
    // image with its change serial. Rehearsing, the calls draw nothing.
    void StartCallHash(CDrawCallHash::Mode mode) { m_callHash.Start(mode); }
    uint64_t StopCallHash() { return m_callHash.Stop(); }
    bool IsHashingCalls() const { return m_callHash.IsOn(); }
    CDrawCallHash::Mode PauseCallHash() { return m_callHash.Pause(); }
    void ResumeCallHash(CDrawCallHash::Mode mode) { m_callHash.Resume(mode); }

    // A run of text as a font lays it out: `layout` stands for everything
    // of the font that decides where its glyphs go, and is never the same
    // for two different fonts or two loads of one.
    struct TextRun {
        uint64_t layout;
        const void* text;
        size_t bytes;
        int32_t x;
        int32_t y;
        int32_t maxWidth;
        int32_t maxHeight;
    };
    // Digests, as one call, the glyph pieces of `image` that the run lays
    // out, so that the font need not lay them out to digest them; false when
    // they are only rehearsed or cannot be drawn.
    bool TakeText(CRenderSurface* image, const TextRun& run);

    bool Initialise();
    void Reset();
    // Forgets the remembered blit requests.
    bool DropBlitCache();

    bool IsOpen() const { return m_open != 0; }
    bool IsInitialised() const { return m_initialised != 0; }
    bool IsFrameOpen() const { return m_frameOpen != 0; }

private:
    // The capabilities a draw call runs with.
    struct DrawState {
        uint8_t colorKey;
        uint8_t alpha;
        uint8_t blend;
        uint32_t blendMode;
    };

    // The destination of one draw call, locked.
    struct Target {
        CRenderSurface* surface;
        uint8_t* pixels;
        int32_t pitch;
        uint32_t width;
        uint32_t height;
        uint32_t format;
        int32_t tx;
        int32_t ty;
    };

    bool InitStacks();
    void ReleaseStacks();
    // Locks the current surface; false (nothing locked) without pixels.
    // Inside a frame the surface locked by BeginFrame is taken as it is.
    bool LockTarget(Target* target) const;
    void UnlockTarget(const Target& target) const;
    uint8_t* PixelAt(const Target& target, int32_t x, int32_t y) const;
    // False, with the warning printed, for an arrangement no routine serves.
    bool CheckState(uint32_t colorFormat, bool primitive, DrawState* state) const;
    BlitRoutine FindRoutine(uint32_t sourceFormat, uint32_t destFormat, const DrawState& state, uint32_t kind);
    // What every piece of one image drawn on one target in the current
    // state shares, the image's pixels locked for reading among them.
    struct ImageDraw {
        uint32_t width;
        uint32_t height;
        BlitRoutine routine;
        uint8_t* pixels;
        int32_t pitch;
        uint32_t bytesPerPixel;
    };

    // False, drawing nothing, for an image that cannot be drawn in the
    // current state; else its size, the routine that draws it and its
    // pixels, locked for reading until the caller unlocks the image.
    bool PrepareImage(const Target& target, CRenderSurface* image, ImageDraw* draw);
    void DrawImageOnTarget(const Target& target, CRenderSurface* image, uint32_t flip, const CRect* source);
    void DrawImagePiece(const Target& target, CRenderSurface* image, const ImageDraw& draw, uint32_t flip,
                        const CRect* source);
    bool CopyWithTarget(CRenderSurface* copy, bool intoCopy);
    // Digests a draw call on the target (when the hash is on) and notes the
    // change it makes; false when the call is only rehearsed.
    bool TakeCall(uint64_t call, const Target& target);
    // The image, its flip and the bytes of its source rectangles.
    void HashImage(const CRenderSurface* image, uint32_t flip, const void* sources, size_t bytes);
    void HashVertices(int32_t first, int32_t count);
    void CopyRows(const Target& target, uint8_t* pixels, int32_t pitch, bool intoCopy);
    bool SetupFetcher(CInterpolantFetcher* fetcher) const;
    void DrawPrimitives(const Target& target, uint32_t mode, int32_t first, int32_t count);
    void DrawLine(const Target& target, BlitRoutine routine, const int32_t* from, const int32_t* to);
    void DrawRectangle(const Target& target, BlitRoutine routine, const int32_t* from, const int32_t* to);
    void RecomputeEffectiveClip();

    uint8_t m_open = 0;
    uint8_t m_initialised = 0;
    uint8_t m_frameOpen = 0;
    uint32_t m_origin = kOriginTopLeft;
    uint32_t m_imageSuppress = 0;
    CRenderSurface* m_target = nullptr;
    TCStack<uint8_t> m_alphaStack;
    TCStack<uint8_t> m_blendStack;
    TCStack<uint32_t> m_blendModeStack;
    TCStack<CColorEntry> m_colorStack;
    TCStack<uint8_t> m_colorKeyStack;
    int32_t m_vertexComponents = 0;
    uint32_t m_vertexType = 0;
    int32_t m_vertexStride = 0;
    const void* m_vertexData = nullptr;
    CRect m_clip;
    CRect m_effectiveClip;
    TCStack<Translation> m_matrixStack;
    BlitEntry m_requests[kRoutineCacheSize] = {};
    uint32_t m_nextRequest = 0;
    uint32_t m_lastRequest = 0;
    // The surface BeginFrame locked, while the frame is open; null when
    // that lock gave no pixels.
    Target m_frameTarget = {nullptr, nullptr, 0, 0, 0, 0, 0, 0};
    CDrawCallHash m_callHash;
};

#endif
