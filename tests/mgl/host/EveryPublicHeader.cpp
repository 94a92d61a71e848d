// A host's translation unit: compiled with the renderer's public include
// folder alone and every header of it included ahead of this file (the
// test passes each with -include), it must build. What the renderer keeps
// for its own steps must not be reachable from here: each of these, called
// by a host in the wrong order or at the wrong moment, reached freed memory
// or another context's table, or could leave the guest memory naming
// memory the host frees.

#include <cstdint>

#include "CTextureObject_MGL.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
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

static_assert(!ListsTexturesForHost<MGLContext>);
static_assert(!FollowsForHost<CTextureObject_MGL>);
static_assert(!FollowsSurfacesForHost<MGLContext>);
static_assert(!OpensDrawsForHost<MGLContext>);
static_assert(!RunsStagesForHost<RenderPoly>);
static_assert(!HandsOutRecordsForHost<BufferTable>);

}  // namespace
