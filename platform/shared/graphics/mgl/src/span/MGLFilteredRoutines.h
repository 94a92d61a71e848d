#ifndef MGLFILTEREDROUTINES_H
#define MGLFILTEREDROUTINES_H

#include <cstdint>

#include "MGLContext.h"
#include "MGLQuadLanesRule.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

// Whether a level or the palette the sampler may read lies in the record.
inline bool ReadsRecord(MGLTextureSampler& sampler, const MGLRecord& s) {
    const auto* record = reinterpret_cast<const uint8_t*>(&s);
    return !sampler.ReadsApartFrom(record, record + sizeof(MGLRecord));
}

// The short rows share one rule without a memo; each long row has its
// rule, and memo, made for it. A memo leaves the quads' addresses in the
// record at the row's end only, so where the sampler may read the record
// every row samples without one: each sample then reads the texels after
// its quad's addresses are in the record, as a row of one pixel does.
template <class Decoder, TextureFilter Mode, StoreFormat Stores>
struct FilteredRoutines {
    template <TextureWrap Wrap>
    static void Run(RowWalk& walk, MGLTextureSampler& sampler) {
        using Short = FilteredRule<Decoder, Wrap, Mode, false, Stores>;
        const SpanRow& row = walk.Row();
        if (ReadsRecord(sampler, walk.Context().Record())) {
            TexturedRow::RunRows<Short>(walk, sampler, row);
        } else {
            TexturedRow::RunRows<Short, FilteredRule<Decoder, Wrap, Mode, true, Stores>>(walk, sampler, row);
        }
    }
};

}  // namespace span_detail

#endif
