#include "MGLContext.h"

#include <cstring>

#include "CAssert.h"
#include "CGraphics.h"
#include "CMemory.h"
#include "MGLBufferSlots.h"
#include "MGLContextCore.h"
#include "MGLDebugFont.h"
#include "MGLHost.h"
#include "MGLTextureUnit.h"

namespace {

uint64_t NextSerial() {
    static uint64_t last = 0;
    return ++last;
}

}  // namespace

MGLContext::MGLContext() : m_serial(NextSerial()), m_core(std::make_unique<MGLContextCore>(*this)) {
    for (TextureUnit& unit : m_record.texture_units) ResetTextureUnit(unit);
    m_record.depthInterpolant = -1;
    m_record.fillMode = kFillPolygonFirst;
    MGLGuestMemory& memory = m_core->Mappings();
    m_recordGuest = memory.Map(&m_record, sizeof m_record);
    m_boundStateGuest = memory.Map(m_boundState.bytes, sizeof m_boundState.bytes);
    ResetMatrixStacks();
    ResetStack2d();
}

MGLContext::~MGLContext() {
    m_life->m_ended = true;
    UnbindPlanes();
    Release();
    DetachFromGraphics();
}

// What Init allocates, given back; the record keeps its other values and the
// render target stays bound.
void MGLContext::Release() {
    delete m_buffers;
    m_buffers = nullptr;
    if (m_pool != nullptr) {
        m_core->Mappings().Unmap(m_poolGuest);
        FreeMemory(m_pool);
    }
    m_pool = nullptr;
    m_poolWords = 0;
    m_poolGuest = 0;
    m_record.vertexPool = 0;
    m_record.vertexPoolLimit = 0;
    m_record.vertexPoolUsed = 0;
}

int32_t* MGLContext::Init(int32_t capacity) {
    if (Drawing()) {
        DebugPrintf("MGLContext: Init refused while a draw of the context is open");
        return nullptr;
    }
    Release();
    m_record.alphaRefval = 0;
    m_record.stencilRefval = 0;
    m_record.stencilMask = 0xFFFFFFFFu;
    m_record.wholePolygons = 0;
    m_record.screenSpace = 0;
    m_record.clipStage = m_record.fillStage = m_record.spareStage9112 = 0;
    m_record.projectStage = m_record.spareStage9120 = m_record.vertexHook = 0;
    MapTables();
    AttachToGraphics();
    m_record.spare3188[0] = m_record.spare3188[1] = 0;
    m_record.spare9128 = 0;
    m_record.wireframe = 0;
    m_record.spare9096 = 0;
    m_record.spare34736 = 0;
    m_record.spare34740 = kSpareWord34740;
    m_record.texture_units[0].filter_mode = 0;
    m_record.texture_units[0].texmode = 0;
    m_record.perspectiveGradients = 0;
    for (int32_t& channel : m_record.clearColor) channel = 0;
    m_record.clearStencil = 0;
    m_record.clearDepth = 0;
    m_record.depthWrite = 1;
    m_record.depthTest = 1;

    m_buffers = CreateBufferTable(&m_core->Mappings(), m_record.texture_units);
    if (m_buffers == nullptr || !MakeVertexPool(capacity)) {
        Release();
        return nullptr;
    }
    if (!InstallDebugFontSheets(*m_buffers)) DebugPrintf("MGLContext: no debug-font sheets");
    return m_pool;
}

void MGLContext::MapTables() {
    m_record.recipTableSizeM1 = MGLLookupTables::kTableSizeM1;
    m_record.sqrtTableSizeM1 = MGLLookupTables::kTableSizeM1;
    if (m_record.recipTable != 0) return;  // mapped by an earlier Init
    // Every projection, edge slope and divide of the context computes
    // through the tables: span code may read them, never change them.
    auto map = [this](const void* table, size_t bytes) { return m_core->Mappings().MapReadOnly(table, bytes); };
    const MGLLookupTables& tables = m_core->m_tables;
    m_record.recipTable = map(tables.RecipTable(), sizeof(uint16_t) * MGLLookupTables::kTableSize);
    m_record.recipTable4 = map(tables.RecipTable4(), sizeof(int32_t) * MGLLookupTables::kTableSize);
    m_record.recipShiftTable = map(tables.RecipShiftTable(), MGLLookupTables::kTableSize);
    m_record.cosTable = map(tables.CosTable(), sizeof(uint16_t) * MGLLookupTables::kCosEntries);
    m_record.sqrtTable = map(tables.SqrtTable(), sizeof(int32_t) * MGLLookupTables::kTableSize);
}

bool MGLContext::MakeVertexPool(int32_t capacity) {
    if (capacity < 1 || capacity > kMaxPoolCapacity) {
        DebugPrintf("MGLContext: refused a vertex pool for %d vertices", capacity);
        return false;
    }
    const int32_t words = capacity * kPoolWordsPerVertex;
    const size_t bytes = static_cast<size_t>(words) * sizeof(int32_t);
    m_pool = static_cast<int32_t*>(MemAllocRaw(bytes));
    if (m_pool == nullptr) {
        DebugPrintf("MGLContext: no memory for a vertex pool of %d words", words);
        return false;
    }
    std::memset(m_pool, 0, bytes);
    m_poolWords = words;
    m_poolGuest = m_core->Mappings().Map(m_pool, bytes);
    m_record.vertexPool = m_poolGuest;
    m_record.vertexPoolLimit = words;
    return true;
}

void MGLContext::AttachToGraphics() {
    CGraphics* graphics = MGLHost::Graphics();
    if (graphics != nullptr) graphics->SetRendererContext(this);
}

// No device may keep a context that is gone, the one installed now or one
// installed when the context attached (it may be installed again): a later
// texture bind would write into freed memory.
void MGLContext::DetachFromGraphics() { CGraphics::ForgetRendererContext(this); }

int32_t MGLContext::CreateBuffers(int32_t width, int32_t height, uint32_t colorFormat) {
    if (m_buffers == nullptr) return -1;
    m_record.colorBuffer = m_buffers->AllocBuffer(width, height, colorFormat, 0);
    m_record.depthBuffer = m_buffers->AllocBuffer(width, height, kDepthBufferFormat, 0);
    m_record.stencilBuffer = m_buffers->AllocBuffer(width, height, kStencilBufferFormat, 0);
    return m_record.stencilBuffer;
}

void MGLContext::Reset() {
    BindRenderTarget();
    ResetMatrixStacks();
    std::memset(m_record.regs, 0, sizeof m_record.regs);
    std::memset(m_record.CPUregs, 0, sizeof m_record.CPUregs);
    m_record.vertexPool = m_poolGuest;
    m_record.vertexPoolLimit = m_poolWords;
    m_record.vertexPoolUsed = 0;
    m_record.polys_considered = m_record.polys_drawn = m_record.spans_shaded = m_record.pixels_shaded = 0;
    m_record.pixels_failed_depth = m_record.verts_xformed = m_record.polys_subdivided = m_record.pieces_drawn = 0;
}

// Indices are compared unsigned, so a negative one is out of range too.
void MGLContext::SetRegister(int32_t i, int32_t v) {
    if (static_cast<uint32_t>(i) < kRegisterCount) m_record.regs[i] = v;
}

void MGLContext::SetRegister3(int32_t i, int32_t a, int32_t b, int32_t c) {
    if (static_cast<uint32_t>(i) >= kRegisterCount - 2) return;
    m_record.regs[i] = a;
    m_record.regs[i + 1] = b;
    m_record.regs[i + 2] = c;
}

void MGLContext::SetRegister4(int32_t i, int32_t a, int32_t b, int32_t c, int32_t d) {
    if (static_cast<uint32_t>(i) >= kRegisterCount - 3) return;
    m_record.regs[i] = a;
    m_record.regs[i + 1] = b;
    m_record.regs[i + 2] = c;
    m_record.regs[i + 3] = d;
}

int32_t MGLContext::GetRegister(int32_t i) const {
    return static_cast<uint32_t>(i) < kRegisterCount ? m_record.regs[i] : 0;
}

void MGLContext::SinCos(int32_t angle, int32_t* cosine, int32_t* sine) const {
    m_core->m_tables.SinCos(angle, cosine, sine);
}

const MGLLookupTables& MGLContext::Tables() const { return m_core->m_tables; }

bool MGLContext::BindShaderState(const MGLShaderState* state) {
    if (state == nullptr) {
        ClearBinding();
        return true;
    }
    if (!StateFitsRecord(*state)) {
        DebugPrintf("MGLContext: a state with %u + %u interpolants, depth key %d/%u and fill mode %u cannot be "
                    "bound; bound as no state",
                    state->GetKey(MGLShaderState::kKeyInterpolants),
                    state->GetKey(MGLShaderState::kKeyExtraInterpolants),
                    static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyHasDepthInterpolant)),
                    state->GetKey(MGLShaderState::kKeyDepthInterpolant), state->GetKey(MGLShaderState::kKeyFillMode));
        ClearBinding();
        return false;
    }
    m_boundState = *state;
    m_record.spanCode = m_boundStateGuest + MGLShaderState::kCodeOffset;
    m_record.spanCodeDirect = 0;
    m_record.numInterpolants = static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyInterpolants));
    m_record.numExtraInterpolants = static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyExtraInterpolants));
    m_record.depthScaledMask = state->GetKey(MGLShaderState::kKeyDepthScaledMask);
    m_record.shaderKey28 = state->GetKey(MGLShaderState::kKeyShader28);
    const int32_t hasDepth = static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyHasDepthInterpolant));
    m_record.depthInterpolant =
        hasDepth < 0 ? -1
                     : static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyDepthInterpolant)) -
                           MGLShaderState::kDepthInterpolantBias;
    m_record.fillMode = static_cast<int32_t>(state->GetKey(MGLShaderState::kKeyFillMode));
    return true;
}

// The keys index fixed arrays of the record: edge records of six
// interpolants for the polygon fill, twenty plane terms for the triangle
// fill, and the depth interpolant among the first ones.
bool MGLContext::StateFitsRecord(const MGLShaderState& state) {
    auto key = [&state](int32_t n) { return int64_t{static_cast<int32_t>(state.GetKey(n))}; };
    const int64_t interpolants = key(MGLShaderState::kKeyInterpolants);
    const int64_t extra = key(MGLShaderState::kKeyExtraInterpolants);
    const int64_t fillMode = key(MGLShaderState::kKeyFillMode);
    if (fillMode < kFillPolygonFirst || fillMode > kFillTriangleLast) return false;
    if (interpolants < 0 || extra < 0 || interpolants + extra > MGLRecord::kInterpolantWords) return false;
    if (fillMode <= kFillPolygonLast && interpolants > kMaxEdgeInterpolants) return false;
    if (key(MGLShaderState::kKeyHasDepthInterpolant) < 0) return true;
    const int64_t depth = key(MGLShaderState::kKeyDepthInterpolant) - MGLShaderState::kDepthInterpolantBias;
    return depth >= 0 && depth < interpolants;
}

void MGLContext::ClearBinding() {
    m_record.spanCode = 0;
    m_record.spanCodeDirect = 0;
    m_record.numInterpolants = 0;
    m_record.numExtraInterpolants = 0;
    m_record.depthInterpolant = -1;
    m_record.depthScaledMask = 0;
    m_record.shaderKey28 = 0;
    m_record.fillMode = kFillPolygonFirst;
}

void MGLContext::UnbindShader(int32_t unit) {
    if (static_cast<uint32_t>(unit) < kTextureUnits) ResetTextureUnit(m_record.texture_units[unit]);
    ClearBinding();
}
