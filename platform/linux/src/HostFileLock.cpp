#include "HostFileLock.h"

#include "HostFaults.h"

#include <sys/file.h>

#include <cerrno>

int HostFileLock::TakeExclusive(int descriptor) {
    if (HostFaults::IsSet(HostFault::FileLock)) return EOPNOTSUPP;
    if (HostFaults::IsSet(HostFault::LocksOfThisHostOnly)) return 0;
    return flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

bool HostFileLock::IsHeldElsewhere(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

bool HostFileLock::IsUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL; }
