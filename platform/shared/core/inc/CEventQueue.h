#ifndef CEVENTQUEUE_H
#define CEVENTQUEUE_H

#include "EngineTypes.h"

// One queued engine event: its id (the hash of the event's name) and two
// arguments. Pointer events carry the button in arg1 and x | y << 16 in arg2.
struct CAppEvent {
    uint32_t id = 0;
    uint32_t arg1 = 0;
    uint32_t arg2 = 0;
};

// The shell's store of events between frames. Events are appended at any
// time and read by index during the dispatch pass; the count is read again
// at every step, so events posted during the pass go out in the same pass.
// The storage stays across passes and only grows when a frame queues more
// events than any before.
class CEventQueue {
public:
    static constexpr int32_t kInitialCapacity = 500;

    CEventQueue() = default;
    virtual ~CEventQueue();

    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;

    // An event that finds no room and no memory to grow into is dropped;
    // the queued ones stay intact.
    void Post(uint32_t id, uint32_t arg1, uint32_t arg2);
    int32_t GetCount() const { return m_count; }
    int32_t GetCapacity() const { return m_capacity; }
    // Event `index`, or a record of zeros outside [0, count).
    void GetAt(CAppEvent* outEvent, int32_t index) const;
    // Empties the queue and keeps the storage.
    void Reset() { m_count = 0; }
    // Empties the queue and frees the storage.
    void Clear();

private:
    bool Grow();

    CAppEvent* m_entries = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
};

#endif
