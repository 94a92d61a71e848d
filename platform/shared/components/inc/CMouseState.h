#ifndef CMOUSESTATE_H
#define CMOUSESTATE_H

#include "CPointerState.h"

class CMouseState : public CPointerState {
public:
    static constexpr uint32_t kClassKey = 0x2504D19D;

    CMouseState() : CPointerState(kClassKey) {}

protected:
    const uint32_t* ListenedIds() const override;
};

#endif
