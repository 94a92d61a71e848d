#include "TestApplication.h"

#include "CEvent.h"
#include "CExecutable.h"
#include "CExecutableRegistry.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"

void TestTicker::OnTick() {
    if (GetState() != kRunning) return;
    if (!IsTimeHalted()) {
        if (GetRegistry() != nullptr) CExecutable::Update(GetRegistry());
        ++updates;
        SetTimeFrozen(true);
    }
    if (IsTimeHalted()) {
        ++paints;
        SetTimeFrozen(false);
    }
}

TestApplication::TestApplication() { SetApplication(this); }

TestApplication::~TestApplication() {
    Shutdown();
    SetApplication(nullptr);
}

int32_t TestApplication::Init() {
    if (!CreateSingletonTable()) return 1;
    CRegistry* root = new CRegistry();
    SetRegistry(root);
    root->SetQueryAccelerator(new CRegistryAccelerateHandleQuery(150, 50, true));
    CRegistry* events = new CRegistry();
    events->SetQueryAccelerator(new CRegistryAccelerateHandleQuery(150, 50, true));
    m_eventRegistryItem = root->NewItem(CEvent::kEventRegistryId, events, 0, 0x3FFFFFFF);
    root->Register(m_eventRegistryItem);
    TestTicker* ticker = new TestTicker();
    SetTicker(ticker);
    return ticker->Create() ? 0 : 1;
}

void TestApplication::Shutdown() {
    delete GetTicker();
    SetTicker(nullptr);
    CRegistry* root = GetRegistry();
    if (root != nullptr && m_eventRegistryItem != nullptr) {
        CRegistry* events = static_cast<CRegistry*>(m_eventRegistryItem->GetObject());
        root->Unregister(m_eventRegistryItem);
        delete m_eventRegistryItem;
        m_eventRegistryItem = nullptr;
        // Listeners may still be registered: free their message registries.
        CRegistryItem* item = events->Begin();
        while (item != events->End()) {
            CRegistryItem* next = item->GetNext();
            CRegistry* listeners = static_cast<CRegistry*>(item->GetObject());
            CRegistryItem* listenerItem = listeners->Begin();
            while (listenerItem != listeners->End()) {
                CRegistryItem* nextListener = listenerItem->GetNext();
                delete listenerItem;
                listenerItem = nextListener;
            }
            delete listeners;
            delete item;
            item = next;
        }
        delete events;
    }
    delete root;
    SetRegistry(nullptr);
}

void TestApplication::RunFrame() {
    if (GetTicker() != nullptr) GetTicker()->Tick();
}

void TestApplication::HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) { events.push_back({id, arg1, arg2}); }

TestTicker* TestApplication::Ticker() const { return static_cast<TestTicker*>(GetTicker()); }
