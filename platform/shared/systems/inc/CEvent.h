#ifndef CEVENT_H
#define CEVENT_H

#include "CExecutable.h"

// A one-shot, self-deleting executable whose action delivers it to the
// listeners of its id: every listener, highest priority first and in
// listening order among equals, or only the one named by the target.
class CEvent : public CExecutable {
public:
    static constexpr uint32_t kClassKey = 0x02720394;
    // Id of the event registry in the application's root registry.
    static constexpr uint32_t kEventRegistryId = 0xF762DDF9;

    CEvent();
    CEvent(CClass* sender, uint32_t id, uint32_t target, int32_t period, uint32_t repeats);

    void Execute() override;

    uint32_t GetId() const { return m_id; }
    CClass* GetSender() const { return m_sender; }
    uint32_t GetTarget() const { return m_target; }
    bool WasHandled() const { return m_handled != 0; }
    bool IsHandledNow() const { return m_handledNow != 0; }

protected:
    explicit CEvent(uint32_t classKey);
    void SetFields(CClass* sender, uint32_t id, uint32_t target);

private:
    void DeliverTo(class CRegistryItem* listenerItem);

    uint32_t m_id = 0;
    CClass* m_sender = nullptr;
    uint32_t m_target = 0;
    uint8_t m_handled = 0;
    uint8_t m_handledNow = 0;
};

#endif
