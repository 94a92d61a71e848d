// What the renderer keeps for its own steps is out of a host's reach: each
// of these, called by a host in the wrong order or at the wrong moment,
// reached freed memory or another context's table, or could leave the
// guest memory naming memory the host frees. A host that includes
// every public header still cannot name them, so this file stops compiling
// as soon as one of them is public again.

#include <cstdint>

#include "CTextureObject_MGL.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLTextureSampler.h"
#include "RenderPoly.h"

// Filling a unit from any table, or emptying one, is the context's and the
// texture's to do.
#if __has_include("MGLTextureUnit.h")
#error "the texture unit's plumbing is reachable from a host"
#endif

namespace {

template <typename Context>
concept ListsTexturesForHost = requires(Context& context, CTextureObject_MGL* texture) {
    context.AttachTexture(texture);
} || requires(Context& context, CTextureObject_MGL* texture) { context.DetachTexture(texture); };

template <typename Texture>
concept FollowsForHost = requires(Texture& texture, MGLContext& context) { texture.FollowSurface(context); };

template <typename Context>
concept KeepsSamplerForHost = requires(Context& context) { context.KeepSpanSampler(true); } ||
                              requires(Context& context) { context.KeptSpanSampler(); };

template <typename Context>
concept FollowsSurfacesForHost = requires(Context& context) { context.FollowSurfaces(); } ||
                                 requires(Context& context) { context.ForgetVanishedTarget(); };

template <typename Context>
concept OpensDrawsForHost = requires { typename Context::OpenDraw; } ||
                            requires(const Context& context) { context.Serial(); } ||
                            requires { Context::Live(uint64_t{1}); };

// What the guest memory names must stay alive until it is unmapped.
template <typename Context>
concept MapsForHost = requires(Context& context, uint8_t* pixels) { context.GuestMemory().Map(pixels, 1); } ||
                      requires(Context& context) { context.GuestMemory().Unmap(1); } ||
                      requires(Context& context) { context.Mappings(); };

template <typename Poly>
concept RunsStagesForHost = requires(Poly& poly, MGLVertexList& list) { poly.RunClipStage(list); } ||
                            requires(Poly& poly) { poly.SelectPolygonStages3D(); } ||
                            requires(Poly& poly) { poly.SelectPolygonStages2D(); };

static_assert(!ListsTexturesForHost<MGLContext>);
static_assert(!FollowsForHost<CTextureObject_MGL>);
static_assert(!KeepsSamplerForHost<MGLContext>);
static_assert(!FollowsSurfacesForHost<MGLContext>);
static_assert(!OpensDrawsForHost<MGLContext>);
static_assert(!MapsForHost<MGLContext>);
static_assert(!RunsStagesForHost<RenderPoly>);

}  // namespace
