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

    // A listener may stop listening, or be destroyed, while a message is
    // delivered to it or to another listener of the same list. These tell
    // the deliveries under way before the item, or the whole list, goes.
    static void ForgetListenerItem(const class CRegistry* listeners, const class CRegistryItem* item);
    static void ForgetListenerList(const class CRegistry* listeners);

protected:
    explicit CEvent(uint32_t classKey);
    void SetFields(CClass* sender, uint32_t id, uint32_t target);

private:
    // The walk of one delivery to every listener. Deliveries nest when a
    // listener delivers another message, so they form a stack.
    struct Delivery {
        const CRegistry* listeners;
        const CRegistryItem* current;
        // Where the walk resumes once the current item has gone.
        CRegistryItem* resume;
        bool currentGone;
        Delivery* outer;
    };

    void DeliverTo(class CRegistryItem* listenerItem);
    void DeliverToAll(CRegistry* listeners);

    static Delivery* s_deliveries;

    uint32_t m_id = 0;
    CClass* m_sender = nullptr;
    uint32_t m_target = 0;
    uint8_t m_handled = 0;
    uint8_t m_handledNow = 0;
};

#endif
