#include "CEvent.h"

#include "CEventListener.h"
#include "CRegistry.h"

CEvent::CEvent() : CEvent(kClassKey) {}

CEvent::CEvent(uint32_t classKey) : CExecutable(classKey) {
    SetRepeats(1);
    SetAutoDelete(true);
}

CEvent::CEvent(CClass* sender, uint32_t id, uint32_t target, int32_t period, uint32_t repeats) : CEvent(kClassKey) {
    SetFields(sender, id, target);
    SetPeriod(period);
    SetRepeats(repeats);
}

void CEvent::SetFields(CClass* sender, uint32_t id, uint32_t target) {
    m_sender = sender;
    m_id = id;
    m_target = target;
}

void CEvent::DeliverTo(CRegistryItem* listenerItem) {
    CEventListener* listener = static_cast<CEventListener*>(listenerItem->GetObject());
    if (listener != nullptr && listener->Call(this)) {
        m_handledNow = 1;
        m_handled = 1;
    }
}

void CEvent::Execute() {
    m_handledNow = 0;
    CRegistry* listeners = CEventListener::FindMessageRegistry(m_id, nullptr);
    if (listeners == nullptr) return;
    if (m_target != 0) {
        CRegistryItem* item = nullptr;
        if (listeners->Find(0, m_target, &item)) DeliverTo(item);
        return;
    }
    // The successor is read after each call, so listeners added behind the
    // current one during delivery are reached too.
    for (CRegistryItem* item = listeners->Begin(); item != listeners->End(); item = item->GetNext()) {
        DeliverTo(item);
    }
}
