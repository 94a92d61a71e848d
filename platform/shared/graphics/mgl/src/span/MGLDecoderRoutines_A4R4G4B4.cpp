#include "MGLDecoderRoutines.h"

#include "MGLRowRoutine.h"
#include "MGLTexel.h"

namespace span_detail {

template struct DecoderRoutines<texel_format::A4R4G4B4>;

}  // namespace span_detail
