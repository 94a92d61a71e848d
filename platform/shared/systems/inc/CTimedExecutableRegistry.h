#ifndef CTIMEDEXECUTABLEREGISTRY_H
#define CTIMEDEXECUTABLEREGISTRY_H

#include "CExecutableRegistry.h"

class CProfiler;

// A profiler timer: an executable registry that counts events and derives
// a rate each time it runs.
class CTimedExecutableRegistry : public CExecutableRegistry {
public:
    static constexpr uint32_t kClassKey = 0x67490FA9;

    CTimedExecutableRegistry() : CTimedExecutableRegistry(0, 0, 0, 1000) {}
    CTimedExecutableRegistry(uint32_t a, uint32_t b, uint32_t c, int32_t reload);

    void Execute() override;
    // rate = count / 100 in 16.16; the countdown reloads once count reaches b.
    virtual void Sample();

    void CountEvent() { ++m_count; }
    int32_t GetCount() const { return m_count; }
    int32_t GetLastCount() const { return m_lastCount; }
    int32_t GetRate() const { return m_rate; }
    int32_t GetCountdown() const { return m_countdown; }
    int32_t GetDepth() const { return m_depth; }
    CTimedExecutableRegistry* GetParent() const { return m_parent; }
    CProfiler* GetOwner() const { return m_owner; }

private:
    friend class CProfiler;

    CProfiler* m_owner = nullptr;
    CTimedExecutableRegistry* m_parent = nullptr;
    int32_t m_depth = 0;
    uint32_t m_a;
    uint32_t m_b;
    uint32_t m_c;
    int32_t m_count = 0;
    int32_t m_lastCount = 0;
    int32_t m_rate = 0;
    int32_t m_reload;
    int32_t m_countdown = 0;
};

#endif
