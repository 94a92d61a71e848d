#include "CMouseState.h"

const uint32_t* CMouseState::ListenedIds() const {
    static const uint32_t kIds[] = {kAppFocus,  kAppResume, kFocusChange, 0x8251B8DE /* MouseMove */,
                                    0x8918794C /* MouseButtonDown */, 0x52A91971 /* MouseButtonUp */,
                                    0x7B8428CD /* MouseButtonDoubleClick */, 0};
    return kIds;
}
