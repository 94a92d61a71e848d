#ifndef MGLPLANEADDRESSING_H
#define MGLPLANEADDRESSING_H

#include <cstdint>

#include "MGLContextCore.h"

namespace span_detail {

// The rows of a plane a span call walks: those of the run its row pointer
// and stride start at the call, while the record's pointer is the run's
// row (the fill steps it by the stride), addressed directly; any other
// through RowSpan.
class PlaneAddressing {
public:
    PlaneAddressing(const MGLContext& context, MGLContext::Plane plane, uint32_t guest, int32_t stride)
        : m_plane(plane), m_run(MGLContextCore::Of(context).RunFrom(plane, guest, stride)) {}

    // The pointers of the call's rows from row k on step by `stride` from
    // `guest` (the record's, which the rows then no longer step): while
    // that is the run's stride and row k's pointer the run's, every row of
    // the run after it is the run's too, known without its pointer.
    void Follow(int32_t k, uint32_t guest, int32_t stride) {
        // Tested together: they hold or not for a whole draw, and a branch
        // on each, taken once a call, is mispredicted as often as not.
        const bool followed = (k < m_run.rows) & (stride == m_run.stride) & (guest == RunGuest(k));
        m_followed = followed ? m_run.rows : 0;
    }
    // Columns [x, x + count) of the call's row k, whose pointer guest()
    // gives.
    template <class Guest>
    uint8_t* Row(MGLContext& context, int32_t k, const Guest& guest, int32_t x, int32_t count) const {
        if (k < m_followed) return m_run.SpanInside(k, x, count);
        const uint32_t at = guest();
        if (k < m_run.rows && at == RunGuest(k)) return m_run.Span(k, x, count);
        return context.RowSpan(m_plane, at, x, count);
    }

private:
    uint32_t RunGuest(int32_t k) const {
        return m_run.guest + static_cast<uint32_t>(k) * static_cast<uint32_t>(m_run.stride);
    }

    MGLContext::Plane m_plane;
    MGLContextCore::PlaneRun m_run;
    int32_t m_followed = 0;  // rows below it are the run's
};

}  // namespace span_detail

#endif
