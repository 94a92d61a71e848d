#ifndef ICCORE_H
#define ICCORE_H

#include "CClass.h"

class CStrChar;

// The engine's interface to the platform services that are neither files,
// sound nor graphics: ending the program, opening a web address, the screen
// direction, soft-key mapping and a few platform settings the game reads.
class ICCore : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x02D75845;

    // Screen directions, in turning order; kDirectionSpecial asks for the
    // platform's own choice.
    static constexpr uint32_t kFirstDirection = 1;
    static constexpr uint32_t kLastDirection = 4;
    static constexpr uint32_t kDirectionSpecial = 5;

    ICCore() : CClass(kClassKey) {}
    ~ICCore() override = default;

    virtual void Exit() = 0;
    virtual bool OpenUrl(const WChar* url) = 0;
    virtual bool QueryFlagA() = 0;
    virtual bool GetPlatformText(CStrChar* out) = 0;
    virtual bool QueryFlagB() = 0;
    virtual uint32_t GetDirection() = 0;
    virtual bool SetDirection(uint32_t direction) = 0;
    virtual bool SetDirection2(uint32_t direction) = 0;
    virtual bool RotateBy90() = 0;
    virtual bool RotateBy270() = 0;
    virtual bool RotateBy180() = 0;
    virtual bool SetDirectionSpecial() = 0;
    virtual bool RotateBy90Second() = 0;
    virtual bool RotateBy270Second() = 0;
    virtual bool RotateBy180Second() = 0;
    virtual bool SetDirectionSpecialSecond() = 0;
    // What a soft key (engine key) means on this platform.
    virtual uint32_t MapSoftKey(uint32_t engineKey) = 0;

    // The direction a quarter, three quarters or half a turn on; 0 (and a
    // failed check) for anything but 1 to 4.
    static uint32_t RotateDirection90(uint32_t direction);
    static uint32_t RotateDirection270(uint32_t direction);
    static uint32_t RotateDirection180(uint32_t direction);

    // Settings the game copies or obeys.
    uint8_t GetSettingByte() const { return m_settingByte; }
    bool IsSoundAllowed() const { return m_soundAllowed != 0; }
    uint8_t GetSecondFlag() const { return m_secondFlag; }

protected:
    uint8_t m_settingByte = 3;
    uint8_t m_soundAllowed = 1;
    uint8_t m_secondFlag = 1;
    uint32_t m_direction = kFirstDirection;
};

// The process-wide core object: published by the application shell for the
// life of the application, null outside it.
ICCore* GetCore();
void SetCore(ICCore* core);

#endif
