#ifndef RENDERPOLYPIPELINE_H
#define RENDERPOLYPIPELINE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "MGLContextCore.h"
#include "MGLFixed.h"
#include "RenderPoly.h"

struct MGLRowStep;

// The implementation part of a RenderPoly: its stages (the draws choose
// them), what a draw keeps while it runs, and the fetchers and host routines
// bound. The RenderPoly's own operations (RenderPoly.h) are made of these
// steps; a host's translation unit never sees them.
class RenderPoly::Pipeline {
public:
    explicit Pipeline(MGLContext& context) : m_context(context), m_contextLife(context.LifeOf()) {}
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

private:
    friend class RenderPoly;

    // --- Stages (the draws choose them) ---

    void SelectPolygonStages3D();
    void SelectPolygonStages2D();
    // Clips, projects and fills a polygon of pool vertices. False when host
    // code it called ended this RenderPoly or its context (see DrawCall).
    bool RunClipStage(MGLVertexList& list);

    enum class ClipStage : uint8_t { None, Clip3D, Clip2D };
    enum class ProjectStage : uint8_t { None, Vertices, VerticesScaled };
    enum class FillStage : uint8_t { None, Polygon, TriangleFan, Outline };

    // What a draw call reads of the record once, when it starts.
    struct DrawLayout {
        int32_t interpolants = 0;        // 0..20
        int32_t extraInterpolants = 0;   // with the interpolants at most 20
        int32_t depthInterpolant = -1;   // -1 or one of the interpolants
        uint32_t depthScaledMask = 0;
        int32_t fillMode = MGLContext::kFillPolygonFirst;
        bool wireframe = false;
        bool perspective = false;
        int32_t poolUsed = 0;
        int32_t poolLimit = 0;           // never past the context's pool
        int32_t firstRow = 0;            // rows the fills hand to spans:
        int32_t endRow = 0;              // the scissor's inside the planes
        int64_t spanBudget = 0;          // interpreted instructions left
        bool spanBudgetSpent = false;
    };

    // Whether a draw of this RenderPoly is open, and whether host code the
    // draw called deleted the RenderPoly. The draw keeps it while it runs,
    // so it outlives a RenderPoly deleted from inside the draw.
    struct DrawState {
        bool open = false;
        bool polyEnded = false;
    };

    // Open while a draw call runs. The outermost one takes the layout, so
    // a host hook calling back into the fetch keeps the call's copy, and
    // holds the draw state and the context's draw open. Host code the draw
    // calls out to may delete this RenderPoly or its context: after each
    // call out (CallOut) the draw asks the states it holds, never `this`,
    // and once it has ended returns at once, touching neither again. A draw
    // that finds the context ended when it opens draws nothing. The draw
    // counts as open only once its set-up is done, so a set-up that throws
    // leaves none open. (Inline: a draw opens one for each polygon it clips.)
    class DrawCall {
    public:
        explicit DrawCall(Pipeline& poly) : m_state(poly.m_drawState.get()), m_contextLife(poly.m_contextLife.get()) {
            if (m_state->open) return;
            m_keptState = poly.m_drawState;
            m_open.emplace(poly.m_contextLife);
            if (!ContextEnded()) poly.BeginDraw();
            m_state->open = true;
        }
        ~DrawCall() {
            if (m_keptState) m_state->open = false;
        }
        DrawCall(const DrawCall&) = delete;
        DrawCall& operator=(const DrawCall&) = delete;

        bool ContextEnded() const { return m_contextLife->Ended(); }
        bool Ended() const { return m_state->polyEnded || ContextEnded(); }

    private:
        // Both held by the outermost call, further down the same stack.
        DrawState* m_state;
        const MGLContext::Life* m_contextLife;
        std::shared_ptr<DrawState> m_keptState;      // the outermost's
        std::optional<MGLContext::OpenDraw> m_open;  // the outermost's
    };

    // A fill's own left and right x of the row it is at (16.16 pixels),
    // each edge set up as the walk reaches it and stepped row by row.
    struct RowEnds {
        int32_t x[2] = {0, 0};
        int32_t slope[2] = {0, 0};

        void SetUp(const MGLLookupTables& tables, bool left, int32_t y, const int32_t* a, const int32_t* b);
        void Step() {
            x[0] = WrapAdd(x[0], slope[0]);
            x[1] = WrapAdd(x[1], slope[1]);
        }
        int32_t Left() const { return x[1] < x[0] ? x[1] : x[0]; }
        int32_t Right() const { return x[1] < x[0] ? x[0] : x[1]; }
    };

    // Rows of a triangle fill gathered for the bound portable span, which
    // draws them in one call. A row's ends do not depend on what the span
    // does, so rows can be handed to it ahead; the record is stepped after
    // each, by the span.
    struct RowBatch {
        static constexpr int32_t kRows = 32;
        int32_t left[kRows];
        int32_t right[kRows];
        int32_t count = 0;

        bool Full() const { return count == kRows; }
        void Add(int32_t l, int32_t r) {
            left[count] = l;
            right[count] = r;
            ++count;
        }
    };

    // One clip pass's bound: inside means value < bound (high) or value >=
    // bound (low); the bound is the limit scaled by a vertex word.
    struct ClipBound {
        int32_t coordinate;
        int32_t scaleWord;
        int32_t limit;
        bool high;
        bool nearFar;
    };

    // --- Pool and assembly helpers ---
    bool ContextEnded() const { return m_contextLife->Ended(); }
    // The context's implementation part, which the stages draw with.
    MGLContextCore& Core() const { return MGLContextCore::Of(m_context); }
    void BeginDraw();
    // Calls host code from inside a draw; false when it ended this
    // RenderPoly or its context meanwhile: the caller then returns false at
    // once, and so on up to the draw.
    template <typename Routine, typename... Args>
    bool CallOut(const Routine& routine, Args&&... args) {
        const DrawState& state = *m_drawState;
        const MGLContext::Life& contextLife = *m_contextLife;
        routine(std::forward<Args>(args)...);
        return !state.polyEnded && !contextLife.Ended();
    }
    // False, with a line in the log, while a draw is open.
    bool MayReplaceRoutine(const char* routine) const;
    int32_t Stride() const { return kWordInterpolants + m_layout.interpolants; }
    int32_t* TakeVertices(int64_t count);
    int32_t* PoolVertex(int32_t* first, int32_t index) const;
    void Transform3D(int32_t* vertex, const Matrix3x4& top);
    // These, and every step between a draw and a call out, say false when
    // the draw ended under them.
    bool CallHook(int32_t* vertex, int32_t n);
    bool SubmitPolygon(MGLVertexList& list);
    bool SubmitAssembled(int32_t count, int32_t firstNew, const int32_t* elements, const Matrix3x4& top);
    int32_t* FetchStripVertex(int32_t* first, int32_t vertexIndex, int32_t element);
    bool FetchFits(const CInterpolantFetcher& fetcher, bool split) const;
    // FetchVertex inside a draw call that is open already.
    void FetchInDraw(const CInterpolantFetcher& fetcher, int32_t* vertex, uint32_t n);
    // RunClipStage inside a draw call that is open already, and goes on.
    bool ClipInDraw(MGLVertexList& list);
    void ApplyTextureMatrix(int32_t* words);

    // --- Lines ---
    bool SetUpLine(MGLLineRecord& record);
    // num / den between 0 and kClipParameterOne (32 fraction bits).
    static constexpr int64_t kClipParameterOne = int64_t{1} << 32;
    int64_t ClipParameter(int64_t num, int64_t den) const;
    // out = from + t (to - from) for the interpolants and words 4, 5, 3, 7
    // (and 6 with `withZ`).
    void Interpolate(int32_t* out, const int32_t* from, const int32_t* to, int64_t t, bool withZ) const;
    void ClipEdgeNearFar(int32_t* a, int32_t* b);
    void ClipLineXY(int32_t* a, int32_t* b, int32_t c, int32_t lo, int32_t hi);
    bool ClipLine(int32_t* a, int32_t* b, bool withNearFar);
    void LinePixel(const int32_t* v, int32_t* x, int32_t* y) const;
    bool FinishLine(const int32_t* a, const int32_t* b, bool screenBounds, const LineRoutine& line);
    void Transform2D(int32_t* vertex, const Matrix2x3& top, uint32_t flipY);

    // --- Clipping ---
    bool ClipPolygon3D(MGLVertexList& list);
    bool ClipPolygon2D(MGLVertexList& list);
    bool OutcodesReject(const MGLVertexList& list, int32_t* orCodes) const;
    bool ClipPlanePair(const MGLVertexList& in, MGLVertexList& out, int32_t c, int32_t lo, int32_t hi);
    bool ClipNearFar(const MGLVertexList& in, MGLVertexList& out);
    bool ClipPass(const MGLVertexList& in, MGLVertexList& out, const ClipBound& bound);
    bool EmitClippedVertex(MGLVertexList& list, const int32_t* a, const int32_t* b, int64_t num, int64_t den,
                           const ClipBound& bound, int32_t boundValue);

    // --- Projection and fill ---
    const MGLVertexList& Project(const MGLVertexList& list, bool scaled);
    void ProjectVertex(const int32_t* v, int32_t* out, bool scaled) const;
    bool SharedVertex(const int32_t* v) const;
    bool Fill(const MGLVertexList& list);
    bool ScanConvertPolygon(const MGLVertexList& list);
    void SetupEdge(int32_t y, const int32_t* a, const int32_t* b, int32_t* edge, int32_t* step) const;
    bool RasterizeTriangle(const MGLVertexList& list);
    bool WalkRowCalls(const MGLVertexList& list, int32_t top, int32_t y0);
    void SetUpPlaneTerms(const MGLVertexList& list, int32_t y0, int32_t area);
    void SetUpGradients(int32_t y0);
    void StepPlaneTerms();
    void StepRow();
    static void StepRowOf(void* poly);
    void FlushRows(RowBatch& batch);
    MGLRowStep RowStepOf() const;
    void DrawPolygonOutline(const MGLVertexList& list, int32_t r, int32_t g, int32_t b);
    void StartRows(int32_t y);
    void NextRow();
    void AddSpanBudget(const MGLVertexList& list, int32_t top, int32_t y0);
    bool CallSpan(uint32_t r1, uint32_t r2);
    void InterpretSpan(uint32_t r1, uint32_t r2);
    static int32_t EdgeSlope(const MGLLookupTables& tables, int32_t delta, int32_t height);
    static int32_t TopVertex(const MGLVertexList& list);

    MGLContext& m_context;
    std::shared_ptr<MGLContext::Life> m_contextLife;
    CInterpolantFetcher m_positionFetcher;
    CInterpolantFetcher m_indexFetcher;
    CInterpolantFetcher m_attribFetchers[kAttribFetcherCount];
    int32_t m_attribFetcherCount = 0;
    VertexHook m_vertexHook;
    PolygonObserver m_observer;
    NativeSpan m_nativeSpan;
    // The fill's own form of the bound routine when it is one of
    // MGLSpans.h, called without the wrapper's indirection; null otherwise.
    PortableSpan m_portableSpan = nullptr;
    // Its routine for the rows of a triangle at once.
    PortableRowsSpan m_portableRows = nullptr;

    DrawLayout m_layout;
    std::shared_ptr<DrawState> m_drawState = std::make_shared<DrawState>();
    ClipStage m_clipStage = ClipStage::None;
    ProjectStage m_projectStage = ProjectStage::None;
    FillStage m_fillStage = FillStage::None;

    MGLVertexList m_poly;
    MGLVertexList m_clipListA;
    MGLVertexList m_clipListB;
    MGLVertexList m_clipScratch;
    // Pool words in use when the current polygon entered the clip stage:
    // vertices from there on were made by the clipper for it alone.
    int32_t m_clipStart = 0;
    // The projected polygon: the clipped one's vertices, but copies in
    // m_projected of those the scaling projection would change while other
    // polygons of the call (strips, indexed draws) still share them.
    MGLVertexList m_projectedList;
    int32_t m_projected[MGLVertexList::kCapacity][kWordInterpolants + MGLRecord::kInterpolantWords] = {};
};

#endif
