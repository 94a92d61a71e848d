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
    DeliverToAll(listeners);
}

CEvent::Delivery* CEvent::s_deliveries = nullptr;

// The successor is read after each call, so listeners added behind the
// current one during delivery are reached too; when the current item goes
// during the call, the walk resumes where it stood.
void CEvent::DeliverToAll(CRegistry* listeners) {
    Delivery delivery = {listeners, nullptr, nullptr, false, s_deliveries};
    s_deliveries = &delivery;
    CRegistryItem* item = listeners->Begin();
    while (delivery.listeners != nullptr && item != listeners->End()) {
        delivery.current = item;
        delivery.currentGone = false;
        DeliverTo(item);
        if (delivery.listeners == nullptr) break;
        item = delivery.currentGone ? delivery.resume : item->GetNext();
    }
    s_deliveries = delivery.outer;
}

void CEvent::ForgetListenerItem(const CRegistry* listeners, const CRegistryItem* item) {
    for (Delivery* delivery = s_deliveries; delivery != nullptr; delivery = delivery->outer) {
        if (delivery->listeners != listeners) continue;
        if (delivery->current == item && !delivery->currentGone) {
            delivery->currentGone = true;
            delivery->resume = item->GetNext();
        } else if (delivery->currentGone && delivery->resume == item) {
            delivery->resume = item->GetNext();
        }
    }
}

void CEvent::ForgetListenerList(const CRegistry* listeners) {
    for (Delivery* delivery = s_deliveries; delivery != nullptr; delivery = delivery->outer) {
        if (delivery->listeners == listeners) delivery->listeners = nullptr;
    }
}
