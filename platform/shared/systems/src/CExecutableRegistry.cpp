#include "CExecutableRegistry.h"

#include "CAppBase.h"
#include "CAssert.h"
#include "CResource.h"
#include "CResourceManager.h"

// An item without an object names a resource by its id: the loaded
// resource's object runs, the resource being created when needed.
CExecutable* CExecutableRegistry::ExecutableOf(CRegistryItem* item) {
    if (item->GetObject() != nullptr) return static_cast<CExecutable*>(item->GetObject());
    CAppBase* app = GetApplication();
    CResourceManager* manager = app != nullptr ? app->GetResourceManager() : nullptr;
    if (manager == nullptr) return nullptr;
    CResource* resource = nullptr;
    if (!manager->GetResource(item->GetId(), &resource) &&
        manager->CreateByHandle(item->GetId(), &resource) == CResourceManager::kFailed) {
        return nullptr;
    }
    // The payload of a handle-only item must be an executable; anything
    // else is skipped rather than run.
    return resource != nullptr ? dynamic_cast<CExecutable*>(resource->GetObject()) : nullptr;
}

void CExecutableRegistry::Execute() {
    CRegistryItem* item = Begin();
    while (item != End()) {
        CExecutable* executable = ExecutableOf(item);
        // An item whose resource cannot be had is skipped.
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
