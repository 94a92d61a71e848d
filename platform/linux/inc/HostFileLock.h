#ifndef HOSTFILELOCK_H
#define HOSTFILELOCK_H

// The whole-file lock (flock) on an open file, as the instance lock and the
// save temporaries take it, with what its errors mean. A file system that
// keeps no such locks refuses them; HostFault::FileLock makes it seem so,
// and HostFault::LocksOfThisHostOnly grants every one.
class HostFileLock {
public:
    HostFileLock() = delete;

    // Takes the exclusive lock without waiting: 0, or the error.
    static int TakeExclusive(int descriptor);
    // Another open file holds the lock.
    static bool IsHeldElsewhere(int error);
    // The file system keeps no locks of the kind asked for.
    static bool IsUnsupported(int error);
};

#endif
