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

    // Gives back what the object holds of the host; false when the host
    // reported an error doing so (what it held is given back all the same).
    virtual bool Close() { return true; }

    // Takes ownership of the object and returns its handle.
    static HANDLE Publish(HostHandle* object);
    // The live object of the handle, or null.
    static HostHandle* Find(HANDLE handle);
    // Forgets the handle, closes its object and deletes it; false when it
    // is not live. *closed, when given, tells whether the close succeeded.
    static bool Release(HANDLE handle, bool* closed = nullptr);
};

#endif
