#ifndef CTOUCHSTATE_H
#define CTOUCHSTATE_H

#include "CPointerState.h"

class CTouchState : public CPointerState {
public:
    static constexpr uint32_t kClassKey = 0x35D4D00D;

    CTouchState() : CPointerState(kClassKey) {}

protected:
    const uint32_t* ListenedIds() const override;
};

#endif
