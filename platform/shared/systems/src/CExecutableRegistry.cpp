#include "CExecutableRegistry.h"

#include "CAssert.h"

CExecutable* CExecutableRegistry::ExecutableOf(CRegistryItem* item) {
    return static_cast<CExecutable*>(item->GetObject());
}

void CExecutableRegistry::Execute() {
    CRegistryItem* item = Begin();
    while (item != End()) {
        CExecutable* executable = ExecutableOf(item);
        if (executable == nullptr) {
            item = item->GetNext();
            continue;
        }
        // The successor is read after the call: an action may register new
        // items behind the current one, and they run in this same pass.
        if (CExecutable::Update(executable) == CExecutable::kDeleted) {
            CRegistryItem* next = item->GetNext();
            Unregister(item);
            delete item;
            item = next;
        } else {
            item = item->GetNext();
        }
    }
}
