#ifndef CCORE_H
#define CCORE_H

#include "ICCore.h"

// The core operations every platform shares: the direction requests, made
// out of GetDirection and the two SetDirection operations, and the
// platform answers that are the same everywhere.
class CCore : public ICCore {
public:
    bool QueryFlagA() override { return false; }
    bool GetPlatformText(CStrChar* out) override;
    bool QueryFlagB() override { return false; }
    uint32_t GetDirection() override { return m_direction; }
    // This platform cannot turn the screen: both refuse and change nothing.
    bool SetDirection(uint32_t direction) override;
    bool SetDirection2(uint32_t direction) override;

    bool RotateBy90() override { return SetDirection(RotateDirection90(GetDirection())); }
    bool RotateBy270() override { return SetDirection(RotateDirection270(GetDirection())); }
    bool RotateBy180() override { return SetDirection(RotateDirection180(GetDirection())); }
    bool SetDirectionSpecial() override { return SetDirection(kDirectionSpecial); }
    bool RotateBy90Second() override { return SetDirection2(RotateDirection90(GetDirection())); }
    bool RotateBy270Second() override { return SetDirection2(RotateDirection270(GetDirection())); }
    bool RotateBy180Second() override { return SetDirection2(RotateDirection180(GetDirection())); }
    bool SetDirectionSpecialSecond() override { return SetDirection2(kDirectionSpecial); }
};

#endif
