#ifndef MGLFILLSPANS_H
#define MGLFILLSPANS_H

#include <cstdint>

#include "MGLSpans.h"

class MGLContext;

namespace span_detail {

// The portable spans (MGLSpans.h) as the renderer's own fill calls them:
// the same pixels and record, for rows whose steps are the fill's own
// code, which runs no host code. Their walks ask nothing after a step
// (StepChecks): the draw checked what it draws into before its first row,
// and nothing between its rows can change it.
void FillSpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1);
void FillSpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1);
void FillRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows);
void FillRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows);

}  // namespace span_detail

#endif
