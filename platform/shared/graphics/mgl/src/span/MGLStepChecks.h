#ifndef MGLSTEPCHECKS_H
#define MGLSTEPCHECKS_H

#include <cstdint>
#include <memory>

#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// What a walk over a host's rows asks after each of the host's steps,
// which may do anything a host may: delete the context, or let go of what
// the walk looked up at its start (the planes' rows, a textured call's
// sampler and its texels). Made with the walk, so that the guest regions'
// changes are those the walk looked its planes up in. The renderer's own
// fill steps with code of its own and walks without them (RowWalk).
class StepChecks {
public:
    enum class After {
        GoOn,     // nothing the walk looked up changed
        Ended,    // the context ended: the walk touches nothing more
        LetGo,    // the rows after the step are a walk's that looks them up again
    };

    // A textured call's rows read `sampler`; a flat call's none (null).
    StepChecks(MGLContext& context, const MGLTextureSampler* sampler)
        : m_context(context),
          m_sampler(sampler),
          m_changes(MGLContextCore::Of(context).GuestMemory().Changes()) {}
    StepChecks(const StepChecks&) = delete;
    StepChecks& operator=(const StepChecks&) = delete;

    // The host's step, and what the walk may do after it. The life is taken
    // before the first: without it, a context deleted there could not be
    // told from a live one.
    After Step(const MGLSpanRows& rows) {
        if (m_life == nullptr) m_life = m_context.LifeOf();
        rows.next(rows.fill);
        if (m_life->Ended()) return After::Ended;
        return StillLookedUp() ? After::GoOn : After::LetGo;
    }

private:
    bool StillLookedUp() const {
        if (m_sampler != nullptr) return m_sampler->StillCurrent();
        return MGLContextCore::Of(m_context).GuestMemory().Changes() == m_changes;
    }

    MGLContext& m_context;
    const MGLTextureSampler* const m_sampler;
    // The guest regions' changes when the walk looked its planes up.
    const uint64_t m_changes;
    std::shared_ptr<const MGLContext::Life> m_life;  // taken at the first step
};

}  // namespace span_detail

#endif
