#include "CKeyInputMapping.h"

#include "CAppBase.h"
#include "CAppTicker.h"
#include "CAssert.h"
#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CIdAllocator.h"
#include "CMessage.h"
#include "CRuntime.h"

namespace {

constexpr int32_t kPostedMessagePriority = 0x73333332;

CRegistry* FindInputRegistry(uint32_t inputRegistryId) {
    CAppTicker* ticker = GetAppTicker();
    if (ticker == nullptr || ticker->GetRegistry() == nullptr) return nullptr;
    CRegistryItem* item = nullptr;
    if (!ticker->GetRegistry()->Find(0, inputRegistryId, &item) || item == nullptr) return nullptr;
    return static_cast<CRegistry*>(item->GetObject());
}

uint32_t NextRunTimeId() {
    CIdAllocator* allocator = GetIdAllocator();
    return allocator != nullptr ? allocator->NextId() : 0;
}

}  // namespace

CKeyInputMapping::~CKeyInputMapping() { Stop(); }

bool CKeyInputMapping::AddMapping(uint32_t inputRegistryId, uint32_t messageId, uint32_t keyCode, uint8_t flags,
                                  int32_t delayMs, int32_t intervalMs, bool repeat) {
    ASSERT(keyCode != 0);
    ASSERT(messageId != 0);
    CRegistry* inputs = FindInputRegistry(inputRegistryId);
    if (inputs == nullptr) return false;
    CKeyInputMapping* mapping = new CKeyInputMapping();
    if (mapping == nullptr) return false;
    if (!mapping->Start()) {
        delete mapping;
        return false;
    }
    mapping->Configure(messageId, keyCode, flags, delayMs, intervalMs, repeat);
    CRegistryItem* item = inputs->NewItem(NextRunTimeId(), mapping, kClassKey, kDefaultPriority);
    if (item == nullptr) {
        delete mapping;
        return false;
    }
    inputs->Register(item);
    return true;
}

void CKeyInputMapping::RemoveMapping(uint32_t inputRegistryId, uint32_t messageId, uint32_t keyCode) {
    CRegistry* inputs = FindInputRegistry(inputRegistryId);
    if (inputs == nullptr) return;
    CRegistryItem* item = inputs->Begin();
    while (item != inputs->End()) {
        CRegistryItem* next = item->GetNext();
        CClass* object = item->GetObject();
        if (object != nullptr && object->GetClassKey() == kClassKey) {
            CKeyInputMapping* mapping = static_cast<CKeyInputMapping*>(object);
            const bool messageMatches = messageId == 0 || mapping->m_messageId == messageId;
            const bool keyMatches = keyCode == 0 || mapping->m_keyCode == keyCode;
            if (messageMatches && keyMatches) {
                inputs->Unregister(item);
                delete mapping;
                delete item;
            }
        }
        item = next;
    }
}

void CKeyInputMapping::Configure(uint32_t messageId, uint32_t keyCode, uint8_t flags, int32_t delayMs,
                                 int32_t intervalMs, bool repeat) {
    m_messageId = messageId;
    m_keyCode = keyCode;
    m_flags = flags;
    m_delayMs = delayMs;
    m_intervalMs = intervalMs;
    m_repeat = repeat ? 1 : 0;
}

bool CKeyInputMapping::Start() {
    if (m_listener == nullptr) m_listener = new CEventListener();
    if (m_listener == nullptr) return false;
    static const uint32_t kListenedIds[] = {kAppFocus, kAppResume, kFocusChange, kKeyPressed, kKeyReleased, 0};
    m_listener->Bind(NextRunTimeId(), this, OnInputMessage);
    CEventListener::ListenList(m_listener, kListenedIds, kDefaultPriority);
    ResetKeyState();
    return true;
}

void CKeyInputMapping::Stop() {
    if (m_listener == nullptr) return;
    CEventListener::UnlistenAll(m_listener);
    delete m_listener;
    m_listener = nullptr;
}

bool CKeyInputMapping::OnInputMessage(CEvent* message, CEventListener* listener) {
    ASSERT(message->GetClassKey() == CMessage::kClassKey);
    if (message->GetClassKey() != CMessage::kClassKey) return false;
    const CMessage* typed = static_cast<const CMessage*>(message);
    const uint32_t key = typed->GetParamCount() > 0 ? typed->GetParam(0).value : 0;
    static_cast<CKeyInputMapping*>(listener->GetOwner())->HandleKey(message->GetId(), key);
    return false;
}

void CKeyInputMapping::ResetKeyState() {
    m_pressed = 0;
    m_heldMs = 0;
    m_firedMs = 0;
}

void CKeyInputMapping::HandleKey(uint32_t id, uint32_t key) {
    switch (id) {
        case kKeyReleased:
            if (key != m_keyCode) return;
            if ((m_flags & kPostOnRelease) != 0) Post();
            ResetKeyState();
            return;
        case kKeyPressed:
            if (key != m_keyCode) return;
            if ((m_flags & kPostOnPress) != 0) Post();
            // A repeated press of a held key must not restart the delay.
            m_pressed = 1;
            return;
        case kFocusChange:
        case kAppFocus:
        case kAppResume:
            ResetKeyState();
            return;
        default:
            ASSERT(false);
            return;
    }
}

void CKeyInputMapping::Execute() {
    if ((m_flags & kRepeatWhileHeld) == 0 || m_pressed == 0) return;
    const bool wasHeld = m_heldMs > 0;
    CAppTicker* ticker = GetAppTicker();
    m_heldMs += ticker != nullptr ? ticker->GetFrameMs() : 0;
    // The frame of the press only starts the count.
    if (!wasHeld) return;
    const int32_t sinceDelay = m_heldMs - m_delayMs;
    if (sinceDelay <= 0) return;
    if (m_intervalMs > 0) {
        UpdateWithInterval(sinceDelay);
    } else if (m_firedMs == 0 || m_repeat != 0) {
        Post();
        m_firedMs = m_heldMs;
    }
}

// A long frame posts once for every interval it covered.
void CKeyInputMapping::UpdateWithInterval(int32_t sinceDelay) {
    for (;;) {
        if (m_firedMs != 0 && (m_repeat == 0 || sinceDelay - m_firedMs < m_intervalMs)) return;
        Post();
        m_firedMs += MinInt(sinceDelay, m_intervalMs);
    }
}

void CKeyInputMapping::Post() {
    if (m_messageId == 0) return;
    CAppTicker* ticker = GetAppTicker();
    ASSERT(ticker != nullptr);
    ASSERT(ticker == nullptr || ticker->GetRegistry() != nullptr);
    if (ticker == nullptr || ticker->GetRegistry() == nullptr) return;
    CMessage* message = new CMessage(this, m_messageId, GetTarget(),
                                     {CMessageParam::Integer(m_keyCode), CMessageParam::Integer(GetTimeMillis())});
    if (message == nullptr) return;
    CExecutableRegistry* registry = ticker->GetRegistry();
    CRegistryItem* item = registry->NewItem(NextRunTimeId(), message, CMessage::kClassKey, kPostedMessagePriority);
    if (item == nullptr) {
        delete message;
        return;
    }
    registry->Register(item);
}
