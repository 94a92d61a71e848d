#ifndef CEVENTLISTENER_H
#define CEVENTLISTENER_H

#include "CPrioritizedObject.h"

class CEvent;
class CEventListener;
class CRegistry;
class CRegistryItem;

// Returns true when it handled the message; delivery goes on either way.
typedef bool (*CEventCallback)(CEvent* message, CEventListener* listener);

// A named callback bound to an owner, registered per message id in the
// application's event registry.
class CEventListener : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0xA4303BB2;

    CEventListener() : CPrioritizedObject(kClassKey) {}
    ~CEventListener() override;

    CEventListener(const CEventListener&) = delete;
    CEventListener& operator=(const CEventListener&) = delete;

    bool Bind(uint32_t nameKey, CClass* owner, CEventCallback callback);
    void Unbind();

    // False when the application has no event registry.
    static bool Listen(CEventListener* listener, uint32_t id, int32_t priority);
    static bool AddToMessageRegistry(CEventListener* listener, uint32_t id, int32_t priority);
    // `ids` ends with 0 and holds at least one id.
    static bool ListenList(CEventListener* listener, const uint32_t* ids, int32_t priority);
    static void UnlistenList(CEventListener* listener, const uint32_t* ids);
    static void Unlisten(CEventListener* listener, uint32_t id);
    static void UnlistenAll(CEventListener* listener);

    // The application's event registry and the listeners of one message id;
    // null when missing.
    static CRegistry* GetEventRegistry();
    static CRegistry* FindMessageRegistry(uint32_t id, CRegistryItem** outItem);

    CClass* GetOwner() const { return m_owner; }
    uint32_t GetNameKey() const { return m_nameKey; }
    bool Call(CEvent* message) { return m_callback != nullptr && m_callback(message, this); }

private:
    static CRegistry* CreateMessageRegistry(CRegistry* events, uint32_t id);
    // Removes the listener's own items (others may share its name key).
    static void RemoveFrom(CRegistry* events, CRegistryItem* messageItem, const CEventListener* listener);

    CClass* m_owner = nullptr;
    uint32_t m_nameKey = 0;
    CEventCallback m_callback = nullptr;
};

#endif
