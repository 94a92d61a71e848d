#include "CAppBase.h"

#include "CAppTicker.h"
#include "CHash.h"
#include "CRegistry.h"
#include "CResourceManager.h"
#include "CSingleton.h"

namespace {
CAppBase* g_application = nullptr;
}

CAppBase::~CAppBase() {
    delete m_ticker;
    m_ticker = nullptr;
    delete m_registry;
    m_registry = nullptr;
    delete m_resourceManager;
    m_resourceManager = nullptr;
    DestroySingletons();
}

bool CAppBase::CreateRegistries(CExecutableRegistry*) { return true; }

void CAppBase::DestroyRegistries(CExecutableRegistry*) {}

CResource* CAppBase::CreateResource(uint32_t) { return nullptr; }

bool CAppBase::GetEventRegistryParams(uint32_t, int32_t*, uint32_t*) { return false; }

const DeviceKeyMapping* CAppBase::GetDeviceKeyTable(int32_t* outCount) const {
    if (outCount != nullptr) *outCount = 0;
    return nullptr;
}

bool CAppBase::IsNumpadDisabled() const { return false; }

bool CAppBase::UsesGXDisplay() const { return true; }

bool CAppBase::CreateSingletonTable() {
    if (m_singletons != nullptr) return true;
    CHash* table = new CHash();
    if (table == nullptr) return false;
    if (!table->Init(20, 20, true)) {
        delete table;
        return false;
    }
    m_singletons = table;
    CSingleton::SetTable(table);
    return true;
}

void CAppBase::DestroySingletons() {
    if (m_singletons == nullptr) return;
    for (;;) {
        CHashNode* node = nullptr;
        for (int32_t bucket = 0; bucket < m_singletons->GetBucketCount() && node == nullptr; ++bucket) {
            node = m_singletons->GetBucket(bucket);
        }
        if (node == nullptr) break;
        CClass* object = reinterpret_cast<CClass*>(node->value);
        // A singleton removes its own entry; one that failed to register
        // would not, so the entry goes first.
        m_singletons->Remove(node->key);
        delete object;
    }
    if (CSingleton::GetTable() == m_singletons) CSingleton::SetTable(nullptr);
    delete m_singletons;
    m_singletons = nullptr;
}

CAppBase* GetApplication() { return g_application; }

CAppBase* GetApp() { return g_application; }

void SetApplication(CAppBase* app) { g_application = app; }

CAppTicker* GetAppTicker() { return g_application != nullptr ? g_application->GetTicker() : nullptr; }

CRegistry* GetAppRegistry() { return g_application != nullptr ? g_application->GetRegistry() : nullptr; }
