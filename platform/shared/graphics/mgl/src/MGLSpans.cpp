#include "MGLSpans.h"

#include <cstdint>

#include "CColor.h"
#include "MGLContext.h"
#include "MGLDepthRule.h"
#include "MGLFixed.h"
#include "MGLRecordAtColumn.h"
#include "MGLRowLag.h"
#include "MGLRowRoutine.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
#include "MGLTextureSampler.h"

namespace {

using span_detail::DepthRule;
using span_detail::RowLag;
using span_detail::RowWalk;
using span_detail::SpanRow;
using span_detail::StoreHalf;
using span_detail::StoreWord;

// The flat colour of the draw colour in the target format; false for a
// format without a flat rule.
bool FlatPixel(const MGLRecord& s, uint32_t format, uint32_t* pixel) {
    const uint32_t r = static_cast<uint32_t>(s.drawColor[1]);
    const uint32_t g = static_cast<uint32_t>(s.drawColor[2]);
    const uint32_t b = static_cast<uint32_t>(s.drawColor[3]);
    if (format == RSBFormat_R5G6B5) {
        *pixel = ((b & 0xFFu) >> 3) | ((g & 0xFCu) << 3) | ((r & 0xF8u) << 8);
        return true;
    }
    if (format == RSBFormat_X8R8G8B8) {
        *pixel = b | g << 8 | r << 16 | 0xFF000000u;
        return true;
    }
    return false;
}

// The flat colour of a row the record is at.
void FlatRow(MGLRecord& s, const RowLag& lag, const SpanRow& row) {
    span_detail::SetInterpolants(s, lag, row.interpolants, row.xs);
    uint32_t pixel = 0;
    const bool hasColour = FlatPixel(s, row.format, &pixel);
    const DepthRule rule(s, row);
    int32_t depth = s.intp[0];
    const int32_t step = s.intp_dx[0];
    uint8_t* colourAt = row.colour;
    uint8_t* depthAt = row.depth;
    for (int32_t i = 0; i < row.count; ++i) {
        if (rule.Passes(depthAt, depth)) {
            rule.Write(depthAt, depth);
            if (hasColour && row.bpp == 2) StoreHalf(colourAt, pixel);
            if (hasColour && row.bpp == 4) StoreWord(colourAt, pixel);
        }
        colourAt += row.bpp;
        if (depthAt != nullptr) depthAt += row.zbpp;
        depth = WrapAdd(depth, step);
    }
}

void StayOnRow(void*) {}

// The one row of a span called for a row.
MGLSpanRows OneRow(const int32_t& x0, const int32_t& x1) {
    return MGLSpanRows{&x0, &x1, 1, StayOnRow, nullptr, nullptr};
}

}  // namespace

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsFlatDepth(context, OneRow(left, right));
}

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsTexturedPerspective(context, OneRow(left, right));
}

void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, false);
    while (walk.Next()) FlatRow(context.Record(), walk.Lag(), walk.Row());
}

// The sampler's row routine, chosen at the first row drawn, runs the rest.
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, true);
    MGLTextureSampler& sampler = context.SpanSampler();
    walk.StepSelfWhenApart(sampler);
    if (!walk.Next()) return;
    span_detail::RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
}
