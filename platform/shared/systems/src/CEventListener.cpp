#include "CEventListener.h"

#include "CAppBase.h"
#include "CAssert.h"
#include "CEvent.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"

CEventListener::~CEventListener() { Unbind(); }

bool CEventListener::Bind(uint32_t nameKey, CClass* owner, CEventCallback callback) {
    ASSERT(m_nameKey == 0);
    m_nameKey = nameKey;
    m_owner = owner;
    m_callback = callback;
    return true;
}

void CEventListener::Unbind() {
    if (m_nameKey != 0) UnlistenAll(this);
    m_nameKey = 0;
    m_owner = nullptr;
    m_callback = nullptr;
}

CRegistry* CEventListener::GetEventRegistry() {
    CRegistry* root = GetAppRegistry();
    if (root == nullptr) return nullptr;
    CRegistryItem* item = nullptr;
    if (!root->Find(0, CEvent::kEventRegistryId, &item) || item == nullptr) return nullptr;
    return static_cast<CRegistry*>(item->GetObject());
}

CRegistry* CEventListener::FindMessageRegistry(uint32_t id, CRegistryItem** outItem) {
    CRegistry* events = GetEventRegistry();
    if (events == nullptr) return nullptr;
    CRegistryItem* item = nullptr;
    if (!events->Find(0, id, &item) || item == nullptr) return nullptr;
    if (outItem != nullptr) *outItem = item;
    return static_cast<CRegistry*>(item->GetObject());
}

bool CEventListener::Listen(CEventListener* listener, uint32_t id, int32_t priority) {
    return AddToMessageRegistry(listener, id, priority);
}

CRegistry* CEventListener::CreateMessageRegistry(CRegistry* events, uint32_t id) {
    CRegistry* listeners = new CRegistry();
    ASSERT(listeners != nullptr);
    if (listeners == nullptr) return nullptr;
    int32_t buckets = 0;
    uint32_t blocks = 0;
    CAppBase* app = GetApplication();
    if (app != nullptr && app->GetEventRegistryParams(id, &buckets, &blocks)) {
        listeners->SetQueryAccelerator(new CRegistryAccelerateHandleQuery(buckets, blocks, true));
    }
    CRegistryItem* item = events->NewItem(id, listeners, 0, kDefaultPriority);
    if (item == nullptr) {
        delete listeners;
        return nullptr;
    }
    events->Register(item);
    return listeners;
}

bool CEventListener::AddToMessageRegistry(CEventListener* listener, uint32_t id, int32_t priority) {
    ASSERT(listener != nullptr && id != 0);
    if (listener == nullptr || id == 0) return false;
    ASSERT(listener->m_nameKey != 0);
    CRegistry* events = GetEventRegistry();
    if (events == nullptr) return false;
    CRegistry* listeners = FindMessageRegistry(id, nullptr);
    if (listeners == nullptr) listeners = CreateMessageRegistry(events, id);
    if (listeners == nullptr) return false;
    CRegistryItem* item = listeners->NewItem(listener->m_nameKey, listener, listener->GetClassKey(), priority);
    if (item == nullptr) return false;
    listeners->Register(item);
    return true;
}

bool CEventListener::ListenList(CEventListener* listener, const uint32_t* ids, int32_t priority) {
    ASSERT(ids != nullptr && ids[0] != 0);
    if (ids == nullptr) return false;
    bool allListened = true;
    for (; *ids != 0; ++ids) allListened = Listen(listener, *ids, priority) && allListened;
    return allListened;
}

void CEventListener::UnlistenList(CEventListener* listener, const uint32_t* ids) {
    if (ids == nullptr) return;
    for (; *ids != 0; ++ids) Unlisten(listener, *ids);
}

// Removes every item of the listener (it may have listened more than once)
// and drops the message registry when it is left empty. Other listeners
// bound to the same name key keep their items.
void CEventListener::RemoveFrom(CRegistry* events, CRegistryItem* messageItem, const CEventListener* listener) {
    CRegistry* listeners = static_cast<CRegistry*>(messageItem->GetObject());
    CRegistryItem* item = listeners->Begin();
    while (item != listeners->End()) {
        CRegistryItem* next = item->GetNext();
        if (item->GetId() == listener->m_nameKey && item->GetObject() == listener) {
            CEvent::ForgetListenerItem(listeners, item);
            listeners->Unregister(item);
            delete item;
        }
        item = next;
    }
    if (listeners->IsEmpty()) {
        CEvent::ForgetListenerList(listeners);
        events->Unregister(messageItem);
        delete listeners;
        delete messageItem;
    }
}

void CEventListener::Unlisten(CEventListener* listener, uint32_t id) {
    ASSERT(listener != nullptr && id != 0);
    if (listener == nullptr || listener->m_nameKey == 0) return;
    CRegistry* events = GetEventRegistry();
    CRegistryItem* messageItem = nullptr;
    if (events == nullptr || FindMessageRegistry(id, &messageItem) == nullptr) return;
    RemoveFrom(events, messageItem, listener);
}

void CEventListener::UnlistenAll(CEventListener* listener) {
    if (listener == nullptr || listener->m_nameKey == 0) return;
    // Listeners may outlive the application's registries at shut-down.
    CRegistry* events = GetEventRegistry();
    if (events == nullptr) return;
    CRegistryItem* messageItem = events->Begin();
    while (messageItem != events->End()) {
        CRegistryItem* next = messageItem->GetNext();
        RemoveFrom(events, messageItem, listener);
        messageItem = next;
    }
}
