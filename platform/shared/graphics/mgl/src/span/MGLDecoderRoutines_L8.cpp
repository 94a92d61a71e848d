#include "MGLDecoderRoutines.h"

#include "MGLRowRoutine.h"
#include "MGLTexel.h"

namespace span_detail {

template struct DecoderRoutines<texel_format::L8>;

}  // namespace span_detail
