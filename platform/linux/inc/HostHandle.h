#ifndef HOSTHANDLE_H
#define HOSTHANDLE_H

#include "WinCeHandle.h"

// Base of every host object behind a HANDLE. Live handles are tracked, so a
// stale or foreign handle is refused instead of dereferenced.
class HostHandle {
public:
    HostHandle() = default;
    virtual ~HostHandle() = default;

    HostHandle(const HostHandle&) = delete;
    HostHandle& operator=(const HostHandle&) = delete;

    // Takes ownership of the object and returns its handle.
    static HANDLE Publish(HostHandle* object);
    // The live object of the handle, or null.
    static HostHandle* Find(HANDLE handle);
    // Forgets the handle and deletes its object; false when it is not live.
    static bool Release(HANDLE handle);
};

#endif
