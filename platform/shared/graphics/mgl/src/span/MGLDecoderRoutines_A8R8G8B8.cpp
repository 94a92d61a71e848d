#include "MGLDecoderRoutines.h"

#include <cstdint>

#include "MGLRowRoutine.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace span_detail {

template RowRoutine ChooseFilteredAs<texel_format::A8R8G8B8>(const MGLTextureSampler&, uint32_t);
template RowRoutine ChooseNearestAs<texel_format::A8R8G8B8>(const MGLTextureSampler&, uint32_t);

}  // namespace span_detail
