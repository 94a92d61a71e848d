#ifndef MGLFLATCALLSTATE_H
#define MGLFLATCALLSTATE_H

#include <cstdint>

#include "CColor.h"
#include "MGLContext.h"
#include "MGLDepthWork.h"
#include "MGLFixed.h"
#include "MGLRecordAtColumn.h"
#include "MGLRowLag.h"
#include "MGLSpanRow.h"
#include "PixelLayout.h"

namespace span_detail {

// What the flat rows of a span call share, read once: the draw colour in
// the target's format, the depth work and the depth's step along a row,
// none of which the fill's steps change. The pixels' stores go through
// byte pointers, after which the record would be read again at each row.
// The depth plane, and with it the depth work, is the call's: every row
// drawn has one, or none has.
class FlatCallState {
public:
    FlatCallState(const MGLRecord& s, const SpanRow& row)
        : m_hasColour(FlatPixel(s, row.format, &m_pixel)),
          m_depth(s, row),
          m_depthStep(s.intp_dx[0]),
          m_tested(m_hasColour && row.bpp == 2 && m_depth.test && m_depth.write &&
                   row.zbpp == static_cast<int32_t>(kDepthBytes)) {}

    // The row the record is `lag` behind. Its interpolants are left in the
    // record by the walk (RowWalk), as no pixel reads them.
    void Draw(const MGLRecord& s, const RowLag& lag, const SpanRow& row) const {
        const int32_t depth = InterpolantAt(s, lag, 0, row.interpolants, row.xs);
        if (m_tested) {
            DrawTested(row, depth);
        } else {
            DrawAny(row, depth);
        }
    }

private:
    // The flat colour of the draw colour in the target format; false for
    // a format without a flat colour.
    static bool FlatPixel(const MGLRecord& s, uint32_t format, uint32_t* pixel) {
        const uint32_t r = static_cast<uint32_t>(s.drawColor[1]);
        const uint32_t g = static_cast<uint32_t>(s.drawColor[2]);
        const uint32_t b = static_cast<uint32_t>(s.drawColor[3]);
        if (format == RSBFormat_R5G6B5) {
            *pixel = pixel_layout::kR5G6B5.Packed(0, r & 0xFFu, g & 0xFFu, b & 0xFFu);
            return true;
        }
        if (format == RSBFormat_X8R8G8B8) {
            *pixel = b | g << 8 | r << 16 | 0xFF000000u;
            return true;
        }
        return false;
    }

    // r5g6b5 pixels over depth words that are tested and written, the
    // commonest rows: the strides fixed and no switch looked at per pixel.
    void DrawTested(const SpanRow& row, int32_t depth) const {
        uint8_t* colour = row.colour;
        uint8_t* depthAt = row.depth;
        for (int32_t i = 0; i < row.count; ++i) {
            if (DepthWork::Nearer(depthAt, depth)) {
                StoreWord(depthAt, static_cast<uint32_t>(depth));
                StoreHalf(colour, m_pixel);
            }
            colour += 2;
            depthAt += kDepthBytes;
            depth = WrapAdd(depth, m_depthStep);
        }
    }
    void DrawAny(const SpanRow& row, int32_t depth) const {
        uint8_t* colourAt = row.colour;
        uint8_t* depthAt = row.depth;
        for (int32_t i = 0; i < row.count; ++i) {
            if (m_depth.Passes(depthAt, depth)) {
                m_depth.Write(depthAt, depth);
                if (m_hasColour && row.bpp == 2) StoreHalf(colourAt, m_pixel);
                if (m_hasColour && row.bpp == 4) StoreWord(colourAt, m_pixel);
            }
            colourAt += row.bpp;
            if (depthAt != nullptr) depthAt += row.zbpp;
            depth = WrapAdd(depth, m_depthStep);
        }
    }

    uint32_t m_pixel = 0;
    bool m_hasColour;
    DepthWork m_depth;
    int32_t m_depthStep;
    bool m_tested;
};

}  // namespace span_detail

#endif
