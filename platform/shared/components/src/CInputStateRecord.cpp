#include "CInputStateRecord.h"

#include "CAssert.h"
#include "CEventListener.h"
#include "CMessage.h"
#include "CStringToKey.h"

CInputStateRecord::~CInputStateRecord() {
    if (m_listener == nullptr) return;
    CEventListener::UnlistenAll(m_listener);
    delete m_listener;
}

bool CInputStateRecord::Init() {
    if (m_listener == nullptr) {
        m_listener = new CEventListener();
        if (m_listener == nullptr) return false;
        // The record's class key names its listener: there is one record of
        // each class.
        m_listener->Bind(CStringToKey::TagKey(GetClassKey(), 0), this, OnMessage);
        CEventListener::ListenList(m_listener, ListenedIds(), CEventListener::kDefaultPriority);
    }
    Reset();
    return true;
}

bool CInputStateRecord::OnMessage(CEvent* message, CEventListener* listener) {
    ASSERT(message->GetClassKey() == CMessage::kClassKey);
    if (message->GetClassKey() != CMessage::kClassKey) return false;
    const CMessage* typed = static_cast<const CMessage*>(message);
    const uint32_t value = typed->GetParamCount() > 0 ? typed->GetParam(0).value : 0;
    static_cast<CInputStateRecord*>(listener->GetOwner())->HandleEvent(message->GetId(), value);
    // Never handled: the message goes on to the other listeners.
    return false;
}
