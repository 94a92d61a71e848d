#ifndef HOSTFAULTS_H
#define HOSTFAULTS_H

// Platform calls a test can make fail, to reach the program's failure
// paths. A failing call does nothing and reports failure as the handset's
// would.
enum class HostFault {
    RegisterClass,
    CreateWindow,
    AllKeysTake,
    AllKeysGive,
    GXOpenDisplay,
    CreateMsgQueue,
    RequestPowerNotifications,
    // The whole-file lock (flock), refused as by a file system without it.
    FileLock,
    // The POSIX record lock (fcntl), refused likewise.
    RecordLock,
    // Both locks granted at once and no other holder ever seen, as on a
    // share whose hosts each keep their own locks.
    LocksOfThisHostOnly,
    // A file without a name (O_TMPFILE), refused as by a file system that
    // makes none.
    UnnamedFile,
    Count
};

class HostFaults {
public:
    static void Set(HostFault fault, bool failing);
    static bool IsSet(HostFault fault);
    static void Clear();
};

#endif
