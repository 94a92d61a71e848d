#include "CSingleton.h"

#include "CAssert.h"
#include "CHash.h"

namespace {
CHash* g_singletonTable = nullptr;
}

CSingleton::CSingleton(uint32_t classKey) : CClass(classKey) {
    ASSERT(g_singletonTable != nullptr);
    if (g_singletonTable == nullptr) return;
    const bool alreadyRegistered = g_singletonTable->Find(classKey, nullptr);
    ASSERT(!alreadyRegistered);
    if (alreadyRegistered) return;
    g_singletonTable->Insert(classKey, reinterpret_cast<uintptr_t>(this));
}

CSingleton::~CSingleton() {
    ASSERT(g_singletonTable != nullptr);
    if (g_singletonTable == nullptr) return;
    uintptr_t registered = 0;
    // Only the registered instance removes the entry; a duplicate that failed
    // to register must not take the original's place away.
    if (g_singletonTable->Find(GetClassKey(), &registered) && registered == reinterpret_cast<uintptr_t>(this)) {
        g_singletonTable->Remove(GetClassKey());
    }
}

CSingleton* CSingleton::GetInstance(uint32_t classKey) {
    ASSERT(g_singletonTable != nullptr);
    if (g_singletonTable == nullptr) return nullptr;
    uintptr_t value = 0;
    if (!g_singletonTable->Find(classKey, &value)) return nullptr;
    return reinterpret_cast<CSingleton*>(value);
}

void CSingleton::SetTable(CHash* table) { g_singletonTable = table; }

CHash* CSingleton::GetTable() { return g_singletonTable; }
