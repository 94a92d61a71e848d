#ifndef CPRIORITIZEDOBJECT_H
#define CPRIORITIZEDOBJECT_H

#include "CClass.h"

// A class-keyed object with a signed priority; registries order by it,
// higher values first.
class CPrioritizedObject : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xE9B2E9C7;
    static constexpr int32_t kDefaultPriority = 0x3FFFFFFF;

    CPrioritizedObject() : CClass(kClassKey) {}
    explicit CPrioritizedObject(uint32_t classKey, int32_t priority = kDefaultPriority)
        : CClass(classKey), m_priority(priority) {}

    int32_t GetPriority() const { return m_priority; }
    void SetPriority(int32_t priority) { m_priority = priority; }

private:
    int32_t m_priority = kDefaultPriority;
};

#endif
