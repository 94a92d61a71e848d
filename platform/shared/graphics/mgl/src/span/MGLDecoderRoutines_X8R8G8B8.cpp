#include "MGLDecoderRoutines.h"

#include "MGLRowRoutine.h"
#include "MGLTexel.h"

namespace span_detail {

template struct DecoderRoutines<texel_format::X8R8G8B8>;

}  // namespace span_detail
