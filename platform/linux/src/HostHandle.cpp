#include "HostHandle.h"

#include <mutex>
#include <unordered_set>

namespace {

std::mutex& LiveHandlesLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_set<HostHandle*>& LiveHandles() {
    static std::unordered_set<HostHandle*> handles;
    return handles;
}

}  // namespace

HANDLE HostHandle::Publish(HostHandle* object) {
    if (object == nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> guard(LiveHandlesLock());
    LiveHandles().insert(object);
    return static_cast<HANDLE>(object);
}

HostHandle* HostHandle::Find(HANDLE handle) {
    HostHandle* object = static_cast<HostHandle*>(handle);
    std::lock_guard<std::mutex> guard(LiveHandlesLock());
    return LiveHandles().count(object) != 0 ? object : nullptr;
}

bool HostHandle::Release(HANDLE handle, bool* closed) {
    HostHandle* object = static_cast<HostHandle*>(handle);
    {
        std::lock_guard<std::mutex> guard(LiveHandlesLock());
        if (LiveHandles().erase(object) == 0) {
            return false;
        }
    }
    const bool ok = object->Close();
    if (closed != nullptr) {
        *closed = ok;
    }
    delete object;
    return true;
}
