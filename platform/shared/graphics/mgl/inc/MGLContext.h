#ifndef MGLCONTEXT_H
#define MGLCONTEXT_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "CRenderSurfaceWatcher.h"
#include "MGLRecord.h"
#include "MGLShaderState.h"
#include "MatrixStack.h"

class BufferTable;
class CRenderSurface;
class MGLContextCore;
class MGLLookupTables;

// The software 3D renderer's context: the state record that span code sees
// (MGLRecord), and beside it what only the C++ side uses: the guest address
// space the record's pointer fields live in, the lookup tables, the buffer
// table, the vertex pool, the bound pipeline state and the planes of the
// render target.
//
// Per frame a host calls Reset (render target, matrices, registers, pool),
// then sets viewport and projection and calls UpdateProjection (Reset puts
// the modelview top back to orthographic, so the projection comes after it),
// binds states and textures, clears and draws.
//
// Every pointer field of the record holds a guest address. A context whose
// Init has not succeeded keeps no pool and no buffer table: clears, draws and
// buffer operations then do nothing.
//
// The guest memory never names freed pixels: the surface whose planes are
// bound tells the context when it changes them, which lets go of them at
// once, whatever is running (a host hook between a draw's polygons, or
// nothing).
//
// What the renderer's stages keep of a context (the guest memory, the
// lookup tables, the bound planes as the spans reach them, the span
// sampler) is its implementation part, MGLContextCore, which only the
// renderer's own sources declare.
class MGLContext final : private CRenderSurfaceWatcher {
public:
    static constexpr int32_t kRegisterCount = 128;
    static constexpr int32_t kTextureUnits = 8;
    // Pool words per vertex of capacity, and the largest capacity taken.
    static constexpr int32_t kPoolWordsPerVertex = 20;
    static constexpr int32_t kMaxPoolCapacity = 1 << 16;
    // Formats of the planes CreateBuffers makes, and the only stencil
    // format a surface may bring as a render target.
    static constexpr uint32_t kDepthBufferFormat = 0x520104;
    static constexpr uint32_t kStencilBufferFormat = 0x280101;
    static constexpr uint32_t kSurfaceStencilFormat = 0x550101;
    // Surface flag of a surface usable as a render target.
    static constexpr uint32_t kRenderTargetFlag = 0x800;
    // Edge records of the polygon fill hold this many interpolants.
    static constexpr int32_t kMaxEdgeInterpolants = 6;
    static constexpr int32_t kFillPolygonFirst = 1;
    static constexpr int32_t kFillPolygonLast = 2;
    static constexpr int32_t kFillTriangleLast = 4;
    static constexpr uint32_t kSpareWord34740 = 0x400000;

    // Outcode bits.
    static constexpr int32_t kOutRight = 1;
    static constexpr int32_t kOutLeft = 2;
    static constexpr int32_t kOutTop = 4;
    static constexpr int32_t kOutBottom = 8;
    static constexpr int32_t kOutNear = 16;
    static constexpr int32_t kOutFar = 32;

    // Words of a pipeline vertex the outcodes read and write.
    static constexpr int32_t kVertexInputW = 3;
    static constexpr int32_t kVertexEyeX = 4;
    static constexpr int32_t kVertexEyeY = 5;
    static constexpr int32_t kVertexEyeZ = 6;
    static constexpr int32_t kVertexW = 7;
    static constexpr int32_t kVertexOutcode = 8;

    enum class Plane : int32_t { Colour = 0, Depth = 1, Stencil = 2 };

    // A zeroed record with eight empty texture units, the tables built and
    // the record, the tables and the bound-state image mapped.
    MGLContext();
    // May run inside a draw of the context (host code the draw called
    // deletes it): the draw then ends without touching it again.
    ~MGLContext();
    MGLContext(const MGLContext&) = delete;
    MGLContext& operator=(const MGLContext&) = delete;

    // --- Lifecycle, registers, pipeline state ---

    // Start-up with a vertex pool of capacity x 20 words. Returns the pool,
    // null when it or the buffer table could not be made (the context then
    // stays inert) or the capacity is outside 1..kMaxPoolCapacity. A second
    // Init releases what the first one made; while a draw of the context is
    // open (a host hook calling in) it is refused: null, nothing changed,
    // since the draw still holds vertices of the pool.
    int32_t* Init(int32_t capacity);
    bool IsReady() const { return m_buffers != nullptr; }
    // Colour, depth and stencil planes of width x height in the buffer
    // table; returns the stencil slot (-1 when it could not be had).
    int32_t CreateBuffers(int32_t width, int32_t height, uint32_t colorFormat);
    // What outlives the context among those that draw into it: whether it
    // ended (the host deleted it) and how many draws of it are open. A draw
    // may be where the host deletes the context (from a hook it calls), so
    // the draw keeps this rather than the context, and asks it after each
    // call out before it touches the context again.
    class Life {
    public:
        bool Ended() const { return m_ended; }

    private:
        friend class MGLContext;
        int32_t m_openDraws = 0;
        bool m_ended = false;
    };
    std::shared_ptr<Life> LifeOf() const { return m_life; }
    // Binds the render target, resets the 3x4 matrix stacks, registers,
    // vertex pool (its limit too: the pool is the host's) and statistics.
    void Reset();

    // Out-of-range indices (negative ones too) change nothing and read 0.
    void SetRegister(int32_t i, int32_t v);
    void SetRegister3(int32_t i, int32_t a, int32_t b, int32_t c);
    void SetRegister4(int32_t i, int32_t a, int32_t b, int32_t c, int32_t d);
    int32_t GetRegister(int32_t i) const;

    // Angle in 1/1024 of a turn; results in 16.16.
    void SinCos(int32_t angle, int32_t* cosine, int32_t* sine) const;

    // Makes a copy of the state current (so the shader may unload it
    // meanwhile), or clears the binding for null. A state whose interpolant
    // counts, depth interpolant or fill mode the record cannot hold is bound
    // as no state, and false is returned.
    bool BindShaderState(const MGLShaderState* state);
    // Clears the binding and empties texture unit `unit`.
    void UnbindShader(int32_t unit);
    // Host address of the bound span code (MGLShaderState::kCodeBytes long),
    // null when none is bound.
    const uint8_t* SpanCode() const { return m_record.spanCode != 0 ? m_boundState.Code() : nullptr; }

    // --- Matrix stacks, viewport, projection ---

    void ResetMatrixStacks();
    MatrixStack ModelviewStack() { return MatrixStack(m_record.modelviewStack); }
    MatrixStack TextureStack() { return MatrixStack(m_record.textureStack); }
    MatrixStack AuxStack() { return MatrixStack(m_record.auxStack); }
    MatrixStack2d Stack2d() { return MatrixStack2d(m_record.matrixStack2d); }
    // Pushes refuse a full stack (20 entries), pops the last entry.
    bool PushModelview() { return ModelviewStack().Push(); }
    bool PopModelview() { return ModelviewStack().Pop(); }
    bool PushTexture() { return TextureStack().Push(); }
    bool PopTexture() { return TextureStack().Pop(); }
    bool PushAux() { return AuxStack().Push(); }
    bool PopAux() { return AuxStack().Pop(); }
    // Pushes the modelview stack, then translates (when given) and rotates
    // (when given) its new top. False when the stack was full (nothing changes).
    bool PushTransform(const Matrix3x3* rotation, const int32_t* translation);
    // Pushes top x m^-1 for a rigid m (orthonormal 3x3, translation).
    bool PushInverseTransform(const Matrix3x4& m);

    // Viewport and scissor in pixels; depth range arguments in 16.16, kept
    // with 27 fraction bits (a far value of 1.0 or more saturates). The
    // scissor is the viewport's part inside the bound planes (the viewport
    // itself while none is bound), and is bounded again at each bind.
    void SetViewport(int32_t x, int32_t y, int32_t w, int32_t h, int32_t n, int32_t f);
    // Projection volume in 16.16 eye space; set the flag of the modelview top.
    void SetOrtho(int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f);
    void SetFrustum(int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f);
    // Derives the viewport transform, and the clip bounds when the low byte
    // of `withClipBounds` is non-zero.
    void UpdateProjection(uint32_t withClipBounds);

    // --- Render target, clears, texture units ---

    // Takes the planes of the graphics device's current surface. False,
    // with the bound planes as they were, without a device or surface, for
    // a surface that is no render target or whose stencil plane has another
    // format than kSurfaceStencilFormat.
    bool BindRenderTarget();
    // Colour and depth buffers over the size of slot `colorBuffer`.
    void Clear();
    // Each clears at most w x h pixels of the bound plane, row by row with
    // its pitch, never past its own size. The colour clear packs
    // `clearColor` in the plane's format (nothing for a format without a
    // clear rule) and returns that format, 0 without a colour buffer.
    uint32_t ClearColorPlane(int32_t w, int32_t h);
    void ClearDepthPlane(int32_t w, int32_t h);
    void ClearStencilPlane(int32_t w, int32_t h);
    // Mirrors a slot of the context's own table into unit `unit` (0..7); a
    // negative slot or another table changes nothing. The unit is emptied
    // when the table frees, resizes, reformats or reblocks the slot, or ends.
    void BindBufferToUnit(int32_t unit, int32_t slot, const BufferTable& table);
    // Lowest unit mirroring slot `id`, -1 when none.
    int32_t FindTextureUnit(int32_t id) const;

    // --- Access ---

    MGLRecord& Record() { return m_record; }
    const MGLRecord& Record() const { return m_record; }
    // What the matrices' rotations and divides read.
    const MGLLookupTables& Tables() const;
    BufferTable* Buffers() { return m_buffers; }
    const BufferTable* Buffers() const { return m_buffers; }
    int32_t* VertexPool() { return m_pool; }
    // Words of the vertex pool Init allocated, whatever the record says.
    int32_t PoolWords() const { return m_poolWords; }

    // The bound planes, for a native span to find the pixels of the rows
    // the record names.
    //
    // Host pixels of a bound plane's row 0, null when the plane is absent.
    uint8_t* PlanePixels(Plane plane) const;
    // Pixel-format id of a bound plane, 0 when the plane is absent.
    uint32_t PlaneFormat(Plane plane) const;
    // Bytes from one row of a bound plane to the next, as the surface has it.
    int32_t PlanePitch(Plane plane) const;
    // Columns and rows of a bound plane, 0 when the plane is absent.
    int32_t PlaneWidth(Plane plane) const;
    int32_t PlaneHeight(Plane plane) const;
    // Columns and rows that every bound plane has; 0 without planes.
    int32_t TargetWidth() const;
    int32_t TargetHeight() const;
    // Host address of `count` pixels from column x of row y of a bound
    // plane; null unless all of them lie inside it.
    uint8_t* PlaneSpan(Plane which, int32_t x, int32_t y, int32_t count) const;
    // The plane row whose first pixel has guest address `rowGuest`, -1 when
    // no row of the bound plane starts there.
    int32_t PlaneRowOf(Plane plane, uint32_t rowGuest) const;
    // PlaneSpan of the row PlaneRowOf finds.
    uint8_t* RowSpan(Plane which, uint32_t rowGuest, int32_t x, int32_t count);

private:
    // The implementation part reaches what the context keeps (the record,
    // the bindings, the pool) to map, sample and follow surfaces; RenderPoly
    // holds a draw of it open.
    friend class MGLContextCore;
    friend class RenderPoly;

    // Open over a draw of the context, by whatever draws into it: the pool
    // and the buffer table stay while any is open. It closes on the life
    // it was opened on, whether the context is still there or not.
    class OpenDraw {
    public:
        explicit OpenDraw(std::shared_ptr<Life> life) : m_life(std::move(life)) {
            ++m_life->m_openDraws;
        }
        ~OpenDraw() { --m_life->m_openDraws; }
        OpenDraw(const OpenDraw&) = delete;
        OpenDraw& operator=(const OpenDraw&) = delete;
        bool ContextEnded() const { return m_life->m_ended; }

    private:
        std::shared_ptr<Life> m_life;
    };

    // Before anything reaches the bound planes: they are the device's
    // current surface's as bound, or they are let go of (the surface or its
    // planes may be gone), and nothing is drawn into until the next bind.
    void ForgetVanishedTarget();

    static constexpr int32_t kPlaneCount = 3;

    bool Drawing() const { return m_life->m_openDraws > 0; }
    void Release();
    void MapTables();
    bool MakeVertexPool(int32_t capacity);
    void AttachToGraphics();
    void DetachFromGraphics();
    void ClearBinding();
    static bool StateFitsRecord(const MGLShaderState& state);

    void ResetStack2d();
    void SetProjection(int32_t mode, int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f);
    void UpdatePerspective(bool withClipBounds);
    void UpdateOrthographic(bool withClipBounds);
    void FinishProjection(int32_t mode);
    void BoundScissor();
    int32_t ViewportOffset(int32_t origin, int32_t size, int32_t low, int32_t high) const;

    void PlanesChanged(CRenderSurface& surface) override;
    void SurfaceEnding(CRenderSurface& surface) override;
    void UnbindPlanes();

    uint64_t m_serial;
    std::unique_ptr<MGLContextCore> m_core;
    MGLRecord m_record{};
    MGLShaderState m_boundState;
    uint32_t m_recordGuest = 0;
    uint32_t m_boundStateGuest = 0;
    BufferTable* m_buffers = nullptr;
    int32_t* m_pool = nullptr;
    int32_t m_poolWords = 0;
    uint32_t m_poolGuest = 0;
    // The surface the planes are bound from, watched while any is bound.
    CRenderSurface* m_targetSurface = nullptr;
    std::shared_ptr<Life> m_life = std::make_shared<Life>();
};

#endif
