#ifndef CINPUTSTATERECORD_H
#define CINPUTSTATERECORD_H

#include "CSingleton.h"

class CEvent;
class CEventListener;

// Common base of the input-state singletons: follows a list of engine events
// through its own listener and is advanced once per frame.
class CInputStateRecord : public CSingleton {
public:
    // Events that clear every input state.
    static constexpr uint32_t kAppFocus = 0x6740942F;
    static constexpr uint32_t kAppResume = 0x75424363;
    static constexpr uint32_t kFocusChange = 0x518E1A3B;

    explicit CInputStateRecord(uint32_t classKey) : CSingleton(classKey) {}
    ~CInputStateRecord() override;

    // Starts listening for the record's events, then resets; false when the
    // listener cannot be made.
    bool Init();
    virtual void Reset() = 0;
    virtual void Update(uint32_t frameMs) = 0;
    virtual void HandleEvent(uint32_t id, uint32_t value) = 0;

protected:
    // The zero-terminated ids the record listens for.
    virtual const uint32_t* ListenedIds() const = 0;
    static bool IsResetEvent(uint32_t id) { return id == kAppFocus || id == kAppResume || id == kFocusChange; }

private:
    static bool OnMessage(CEvent* message, CEventListener* listener);

    CEventListener* m_listener = nullptr;
};

#endif
