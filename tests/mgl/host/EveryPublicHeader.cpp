// A host's translation unit: compiled with the renderer's public include
// folder alone and every header of it included ahead of this file (the
// test passes each with -include), it must build, with the routines a host
// calls at its end. What the renderer keeps for its own steps must not be
// reachable from here: each of these, called by a host in the wrong order
// or at the wrong moment, reached freed memory or another context's table,
// or could leave the guest memory naming memory the host frees.

#include <cstdint>
#include <cstdio>

#include "CTextureObject_MGL.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLDisassembler.h"
#include "MGLSpans.h"
#include "RenderPoly.h"

#if __has_include("MGLContextCore.h") || __has_include("MGLTextureUnit.h") || __has_include("MGLTextureSampler.h")
#error "a stage of the renderer is on a host's include path"
#endif

namespace {

template <typename Context>
concept ListsTexturesForHost = requires(Context& context, CTextureObject_MGL* texture) {
    context.AttachTexture(texture);
} || requires(Context& context, CTextureObject_MGL* texture) { context.DetachTexture(texture); };

template <typename Texture>
concept FollowsForHost = requires(Texture& texture, MGLContext& context) { texture.FollowSurface(context); };

template <typename Context>
concept FollowsSurfacesForHost = requires(Context& context) { context.FollowSurfaces(); } ||
                                 requires(Context& context) { context.ForgetVanishedTarget(); };

template <typename Context>
concept OpensDrawsForHost = requires { typename Context::OpenDraw; } ||
                            requires { Context::Live(uint64_t{1}); };

template <typename Poly>
concept RunsStagesForHost = requires(Poly& poly, MGLVertexList& list) { poly.RunClipStage(list); } ||
                            requires(Poly& poly) { poly.SelectPolygonStages3D(); } ||
                            requires(Poly& poly) { poly.SelectPolygonStages2D(); };

// A slot's record bounds every pixel access of the slot; its block is the
// table's to replace.
template <typename Table>
concept HandsOutRecordsForHost = requires(Table& table) { table.Slot(0); } ||
                                 requires(Table& table) { table.UsedSlot(0); } ||
                                 requires(Table& table) { table.AdoptBlock(0, {}); };

// What a host does with the routines it is given: a tool prints span code a
// word at a time, each branch to a label of its own, and a native span
// samples a unit.
[[maybe_unused]] void PrintSpanCode(const uint32_t* code, int32_t words, bool polygonNames) {
    char mnemonic[16];
    char operands[64];
    for (int32_t i = 0; i < words; ++i) {
        DisassembleSpanCode(code[i], i, mnemonic, sizeof mnemonic, operands, sizeof operands, polygonNames);
        std::printf(".L%d: %s %s ; %s\n", i, mnemonic, operands, ConditionName(static_cast<int32_t>(code[i] >> 28)));
    }
}

[[maybe_unused]] void SampledSpan(MGLContext& context, uint32_t x0, uint32_t x1) {
    RSBFormat_ARGB_fixed colour{};
    SampleTexture(context, 0, static_cast<int32_t>(x0), static_cast<int32_t>(x1), 0, &colour);
}

static_assert(!ListsTexturesForHost<MGLContext>);
static_assert(!FollowsForHost<CTextureObject_MGL>);
static_assert(!FollowsSurfacesForHost<MGLContext>);
static_assert(!OpensDrawsForHost<MGLContext>);
static_assert(!RunsStagesForHost<RenderPoly>);
static_assert(!HandsOutRecordsForHost<BufferTable>);

}  // namespace
