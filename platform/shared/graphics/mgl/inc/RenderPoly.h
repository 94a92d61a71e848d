#ifndef RENDERPOLY_H
#define RENDERPOLY_H

#include <cstdint>
#include <functional>
#include <memory>

#include "CInterpolantFetcher.h"
#include "MGLContext.h"

struct MGLSpanRows;

// A list of pipeline vertices: the polygon being drawn and the clipper's
// working lists. The vertices are host pointers into the context's pool.
struct MGLVertexList {
    static constexpr int32_t kCapacity = 15;
    int32_t count = 0;
    int32_t* v[kCapacity] = {};

    bool Append(int32_t* vertex) {
        if (count >= kCapacity) return false;
        v[count++] = vertex;
        return true;
    }
};

// What a host line routine receives for each segment. The pixel pointer is
// the host address of the first pixel, null when that pixel lies outside the
// colour buffer; from a first pixel inside it, dx and dy never lead out of it.
struct MGLLineRecord {
    int32_t destStride;
    uint8_t* firstPixel;
    uint32_t colorFormat;
    const uint32_t* packedColorField;
    int32_t dx;
    int32_t dy;
    uint32_t packedColor;
    int32_t bytesPerPixel;
};

// The fields a native span routine needs the record to describe, as a
// pipeline state's keys would.
struct MGLNativeSpanLayout {
    int32_t numInterpolants;
    int32_t numExtraInterpolants;
    int32_t depthInterpolant;  // -1: no depth
    uint32_t depthScaledMask;
    int32_t fillMode;          // 1-2 polygon fill, 3-4 triangle fill
};

// The polygon pipeline of a renderer context: vertex fetch and primitive
// assembly, the stage chain (clip, project, fill) and the span dispatch,
// with what only the C++ side keeps: the vertex-stream fetchers, the
// per-vertex hook, the vertex lists, the chosen stages and a native span
// routine that may stand in for a pipeline state's span code.
//
// Pipeline vertex words (16.16 unless said): 0-3 input x, y, z, w; 4-6 eye
// x, y, z; 7 w; 8 outcode; 9, 10 pixel x, y; 11 depth (27 fraction bits);
// 14 on: the interpolants.
//
// Every draw takes its vertices from the context's pool and draws nothing
// when they do not fit. Bad counts, indices past the vertex range and
// fetch destinations past a vertex draw nothing rather than touch memory
// outside the pool; every pixel access goes through the guest address space.
//
// Span code may write any field of the record. A draw call therefore takes
// the vertex layout, the pool's fill level and limit (bounded by the pool
// the context allocated), the fill mode and the rows it may fill (bounded
// by the bound planes) once when it starts, and keeps to that copy until it
// ends. Interpreted span code gets a budget of instructions per call: each
// fill adds, before its first row, a share for each row and each pixel it
// will fill; code that spends the budget ends the call.
class RenderPoly {
public:
    static constexpr int32_t kWordInputW = 3;
    static constexpr int32_t kWordX = 4;
    static constexpr int32_t kWordY = 5;
    static constexpr int32_t kWordZ = 6;
    static constexpr int32_t kWordW = 7;
    static constexpr int32_t kWordOutcode = 8;
    static constexpr int32_t kWordPixelX = 9;
    static constexpr int32_t kWordPixelY = 10;
    static constexpr int32_t kWordDepth = 11;
    static constexpr int32_t kWordInterpolants = 14;
    static constexpr int32_t kAttribFetcherCount = 10;
    static constexpr int32_t kOutcodeMask = 63;

    using VertexHook = std::function<void(int32_t* vertex, int32_t n)>;
    using NativeSpan = std::function<void(MGLContext& context, uint32_t r1, uint32_t r2)>;
    using PortableSpan = void (*)(MGLContext& context, uint32_t r1, uint32_t r2);
    using PortableRowsSpan = void (*)(MGLContext& context, const MGLSpanRows& rows);
    using PolygonObserver = std::function<void(const MGLVertexList& polygon)>;
    using LineRoutine = std::function<void(const MGLLineRecord& line, int32_t x, int32_t y)>;

    explicit RenderPoly(MGLContext& context);
    // May run inside a draw of this RenderPoly (host code it called deletes
    // it): the draw then ends without touching it again.
    ~RenderPoly();
    RenderPoly(const RenderPoly&) = delete;
    RenderPoly& operator=(const RenderPoly&) = delete;

    // The context may end first (the host deletes it, between draws or from
    // inside one): from then on the draws draw nothing, the set-up calls
    // below that reach the record change nothing, and Context() is null.
    MGLContext* Context();

    // --- Host set-up ---

    CInterpolantFetcher& PositionFetcher();
    CInterpolantFetcher& IndexFetcher();
    // Fetcher i (0..9); out-of-range indices give the last one.
    CInterpolantFetcher& AttribFetcher(int32_t i);
    // How many attribute fetchers FetchAttributes runs (clamped to 0..10).
    void SetAttribFetcherCount(int32_t count);
    // The host routines below are called from inside a draw, and may call
    // back in; one replaced meanwhile would be destroyed in the middle of
    // its own call. So while a draw of this RenderPoly is open none of them
    // is replaced: the setter says false and changes nothing.
    //
    // Called by the 3D polygon draws after each vertex is transformed and
    // outcoded, with the call's running vertex number.
    bool SetVertexHook(VertexHook hook);
    // Sees each assembled polygon before the clip stage.
    bool SetPolygonObserver(PolygonObserver observer);

    // Binds a native span routine in place of span code: the record gets the
    // layout's fields as BindShaderState would set them from a state, and
    // spanCodeDirect = 1, which the fill stages read as "call the native
    // routine". A layout the record cannot hold binds no state and gives
    // false. Binding a pipeline state afterwards goes back to span code.
    // Refused (false, nothing changed) while a draw is open, as above.
    bool BindNativeSpan(NativeSpan span, const MGLNativeSpanLayout& layout);

    void SetScreenSpace(bool flag);
    void SetWholePolygons(bool flag);

    // --- Vertex fetch ---

    // Fills the vertex's words from element n of the fetcher's stream.
    void FetchVertex(const CInterpolantFetcher& fetcher, int32_t* vertex, uint32_t n);
    // Runs every attribute fetcher on one vertex.
    void FetchAttributes(int32_t* vertex, uint32_t n);
    // Transforms and outcodes n consecutive vertices of the record's full
    // stride (with the extra interpolants).
    void TransformVertexArray(int32_t* vertices, int32_t n);

    // --- 3D draws ---

    // polygonCount polygons of n (3..15) vertices from consecutive elements;
    // vertexCount must be n x polygonCount.
    void DrawPolygons(int32_t n, int32_t vertexCount, int32_t polygonCount);
    // vertexCount elements transformed once; polygon p uses the vertices the
    // index fetcher gives for p x n + j. A polygon naming a vertex past
    // vertexCount is skipped.
    void DrawIndexedPolygons(int32_t n, int32_t vertexCount, int32_t polygonCount);
    // A strip (a fan when stripFan is 1) over count elements; an element of
    // negative input w starts a new strip.
    void DrawTriangleStrip(int32_t count);
    // Quads (even k, odd k, odd k+1, even k+1) over count elements.
    void DrawQuadStrip(int32_t count);
    // Independent segments from element pairs, clipped and handed to the line routine.
    void DrawLines3D(int32_t pairCount, const LineRoutine& line);

    // --- Screen-space draws (top of the 2D stack, optional y flip) ---

    void DrawScreenRect(int32_t w, int32_t h, const int32_t attrA[4], const int32_t attrB[4], bool flipY);
    void DrawPolygon2D(int32_t first, int32_t count, uint32_t flipY);
    void DrawRects2D(int32_t first, int32_t count, uint32_t flipY);
    void DrawLines2D(int32_t first, int32_t count, const LineRoutine& line, uint32_t flipY);

    // Interpreted span work a draw call allows per row, and per pixel of
    // the row on top.
    static constexpr int64_t kSpanBudgetPerRow = 4096;
    static constexpr int64_t kSpanBudgetPerPixel = 256;

private:
    // The stages, the state a draw keeps and the host routines bound: the
    // implementation part, which only the renderer's own sources declare.
    class Pipeline;
    std::unique_ptr<Pipeline> m_pipeline;
};

#endif
