#ifndef MGLOWNSPANS_H
#define MGLOWNSPANS_H

#include <cstdint>

#include "MGLSpans.h"

class MGLContext;

// The portable spans as the renderer's own fill calls them. The public
// routines (MGLSpans.h) first bring the target and the textures to their
// surfaces, as a draw does, since a host may call them from anywhere (from
// a surface's tell, before the context is told); a fill did so when its
// draw began, and whatever lets go of the planes since has told the
// context, which watches them, before the fill goes on.
namespace span_detail {

void OwnFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1);
void OwnTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1);
void OwnRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows);
void OwnRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows);

}  // namespace span_detail

#endif
