#include "MGLDecoderRoutines.h"

#include <cstdint>

#include "MGLRowRoutine.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace span_detail {

template RowRoutine ChooseNearestAs<texel_format::L8>(const MGLTextureSampler&, uint32_t);

}  // namespace span_detail
