#ifndef SERVICEGETTER_H
#define SERVICEGETTER_H

#include "CSingleton.h"

// The body of the application's service getters: the registered service of
// the interface, or a new platform implementation, which registers itself.
// Null while there is no singleton table, or when memory is exhausted.
template <typename Interface, typename Implementation>
Interface* FindOrCreateService() {
    if (CSingleton::GetTable() == nullptr) {
        return nullptr;
    }
    CSingleton* registered = CSingleton::GetInstance(Interface::kClassKey);
    if (registered != nullptr) {
        return static_cast<Interface*>(registered);
    }
    return Implementation::Create();
}

#endif
