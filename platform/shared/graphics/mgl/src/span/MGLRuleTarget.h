#ifndef MGLRULETARGET_H
#define MGLRULETARGET_H

#include <cstdint>

#include "CColor.h"

namespace span_detail {

// The format a texel rule stores: one of the target formats with a store
// rule of its own, fixed for the rule's rows (r5g6b5, the common one, for the
// filtered rows), or the row's format looked at for each pixel (which stores
// nothing where the format has no store rule).
enum class RuleTarget : uint32_t {
    RowFormat = 0,
    R5G6B5 = RSBFormat_R5G6B5,
    X8R8G8B8 = RSBFormat_X8R8G8B8,
    X14R6G6B6 = RSBFormat_X14R6G6B6,
};

// The pixel format a rule's target fixes; 0 for the row's format.
constexpr uint32_t FormatOf(RuleTarget target) { return static_cast<uint32_t>(target); }

}  // namespace span_detail

#endif
