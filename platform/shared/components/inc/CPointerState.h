#ifndef CPOINTERSTATE_H
#define CPOINTERSTATE_H

#include "CInputStateRecord.h"

// A current and a previous pointer state and a running time. The pointer
// events themselves are accepted without changing the state.
class CPointerState : public CInputStateRecord {
public:
    void Reset() override;
    void Update(uint32_t frameMs) override;
    void HandleEvent(uint32_t id, uint32_t value) override;

    uint8_t GetCurrent() const { return m_current; }
    uint8_t GetPrevious() const { return m_previous; }
    uint32_t GetTime() const { return m_time; }

protected:
    explicit CPointerState(uint32_t classKey) : CInputStateRecord(classKey) {}

private:
    bool IsListened(uint32_t id) const;

    uint8_t m_current = 0;
    uint8_t m_previous = 0;
    uint32_t m_time = 0;
};

#endif
