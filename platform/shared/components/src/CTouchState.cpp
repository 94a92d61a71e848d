#include "CTouchState.h"

const uint32_t* CTouchState::ListenedIds() const {
    static const uint32_t kIds[] = {kAppFocus,  kAppResume, kFocusChange, 0x35C43E56 /* TouchBegan */,
                                    0x35CB8F1C /* TouchMoved */, 0x35C38D1C /* TouchEnded */,
                                    0x5707B968 /* TouchCanceled */, 0};
    return kIds;
}
