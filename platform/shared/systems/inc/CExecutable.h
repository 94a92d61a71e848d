#ifndef CEXECUTABLE_H
#define CEXECUTABLE_H

#include "CPrioritizedObject.h"

// An object a registry runs once per frame: its action fires when its period
// (16.16 seconds) has elapsed, a number of times or for ever, and it may
// delete itself once its repeats are used up.
class CExecutable : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0x3422838B;
    static constexpr uint32_t kRepeatForever = 0xFFFFFFFF;

    // Results of Update.
    enum UpdateResult : int32_t { kActive = 0, kFinished = 1, kDeleted = 2 };

    explicit CExecutable(uint32_t classKey = kClassKey, int32_t priority = kDefaultPriority)
        : CPrioritizedObject(classKey, priority) {}

    // The action.
    virtual void Execute() = 0;

    // Advances the executable by the ticker's frame time and fires it when
    // due. After kDeleted the object no longer exists.
    static int32_t Update(CExecutable* executable);

    uint32_t GetRepeats() const { return m_repeats; }
    void SetRepeats(uint32_t repeats) { m_repeats = repeats; }
    int32_t GetPeriod() const { return m_period; }
    void SetPeriod(int32_t period) { m_period = period; }
    int32_t GetElapsed() const { return m_elapsed; }
    bool GetAutoDelete() const { return m_autoDelete != 0; }
    void SetAutoDelete(bool autoDelete) { m_autoDelete = autoDelete ? 1 : 0; }
    bool IsInUpdate() const { return m_inUpdate != 0; }

private:
    void Fire();

    uint32_t m_repeats = kRepeatForever;
    int32_t m_period = 0;
    int32_t m_elapsed = 0;
    uint8_t m_inUpdate = 0;
    uint8_t m_autoDelete = 0;
};

#endif
