#include "MGLDecoderRoutines.h"

#include "MGLRowRoutine.h"
#include "MGLTexel.h"

namespace span_detail {

template struct DecoderRoutines<texel_format::A1R5G5B5>;

}  // namespace span_detail
