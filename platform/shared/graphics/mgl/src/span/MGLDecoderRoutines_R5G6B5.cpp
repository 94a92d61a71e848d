#include "MGLDecoderRoutines.h"

#include "MGLRowRoutine.h"
#include "MGLTexel.h"

namespace span_detail {

template struct DecoderRoutines<texel_format::R5G6B5>;

}  // namespace span_detail
