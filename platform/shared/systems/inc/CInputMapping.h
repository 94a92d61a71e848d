#ifndef CINPUTMAPPING_H
#define CINPUTMAPPING_H

#include "CExecutable.h"

// An executable that turns platform input into game messages sent to a
// target listener (0 = every listener).
class CInputMapping : public CExecutable {
public:
    static constexpr uint32_t kClassKey = 0x0BF096F5;

    explicit CInputMapping(uint32_t classKey = kClassKey) : CExecutable(classKey) {}

    uint32_t GetTarget() const { return m_target; }

private:
    uint32_t m_target = 0;
};

#endif
