#ifndef CSCREEN_H
#define CSCREEN_H

#include "CClass.h"

// A full-screen mode of the game that the state machine runs and that
// names the state to go to next. The play world derives from it.
class CScreen : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x02642625;

    CScreen() : CClass(kClassKey) {}
    ~CScreen() override = default;

    virtual int32_t Load() { return 0; }
    virtual void Unload() {}
    virtual void OnFirstHook() {}
    virtual void OnSecondHook() {}
    virtual uint8_t HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2);
    virtual uint8_t Update(int32_t frameMs);
    virtual uint8_t Paint();
    // A value pending already stays: the first request wins.
    virtual void SetNextState(int32_t value);
    virtual int32_t GetNextState() const { return m_nextState; }
    virtual void ClearNextState() { m_nextState = 0; }

private:
    int32_t m_nextState = 0;
};

#endif
