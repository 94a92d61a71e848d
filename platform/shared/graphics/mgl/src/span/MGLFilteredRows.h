#ifndef MGLFILTEREDROWS_H
#define MGLFILTEREDROWS_H

#include <cstdint>

#include "MGLContext.h"
#include "MGLQuadTexel.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
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
template <class Decoder, TextureFilter Mode, RuleTarget Target>
struct FilteredRows {
    template <TextureWrap Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        using Short = FilteredRule<Decoder, Wrap, Mode, false, Target>;
        const SpanRow& row = rows.Row();
        if (ReadsRecord(sampler, rows.Walk().context.Record())) {
            TexturedRow::RunRows<Short>(rows, sampler, row);
        } else {
            TexturedRow::RunRows<Short, FilteredRule<Decoder, Wrap, Mode, true, Target>>(rows, sampler, row);
        }
    }
};

}  // namespace span_detail

#endif
