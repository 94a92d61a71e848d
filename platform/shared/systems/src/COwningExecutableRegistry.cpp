#include "COwningExecutableRegistry.h"

COwningExecutableRegistry::~COwningExecutableRegistry() {
    CRegistryItem* item = Begin();
    while (item != End()) {
        delete item->GetObject();
        CRegistryItem* next = item->GetNext();
        Unregister(item);
        delete item;
        item = next;
    }
}
