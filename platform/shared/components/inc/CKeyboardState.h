#ifndef CKEYBOARDSTATE_H
#define CKEYBOARDSTATE_H

#include "CInputStateRecord.h"

// Presses, releases and hold times of the 128 engine key codes, and how long
// the keyboard has been idle, per frame.
class CKeyboardState : public CInputStateRecord {
public:
    static constexpr uint32_t kClassKey = 0x6E69096C;
    static constexpr uint32_t kKeyCount = 128;
    static constexpr uint32_t kKeyPressed = 0xC7424BE6;
    static constexpr uint32_t kKeyReleased = 0x43A39818;

    struct Block {
        uint8_t pressCount[kKeyCount];
        uint8_t releaseCount[kKeyCount];
        uint8_t heldCount[kKeyCount];
        uint32_t heldTime[kKeyCount];
        uint8_t anyHeld;
    };

    CKeyboardState() : CInputStateRecord(kClassKey) {}

    void Reset() override;
    void Update(uint32_t frameMs) override;
    void HandleEvent(uint32_t id, uint32_t key) override;

    const Block& Current() const { return m_current; }
    const Block& Previous() const { return m_previous; }
    uint32_t GetIdleTime() const { return m_idleTime; }

protected:
    const uint32_t* ListenedIds() const override;

private:
    Block m_current = {};
    Block m_previous = {};
    uint32_t m_idleTime = 0;
};

#endif
