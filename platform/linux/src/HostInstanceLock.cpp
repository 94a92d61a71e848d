#include "HostInstanceLock.h"

#include "HostFaults.h"
#include "HostFile.h"
#include "HostFileLock.h"
#include "HostPath.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Descriptors of the locks this process holds (-1: claimed without a lock).
std::map<std::u16string, int>& HeldLocks() {
    static std::map<std::u16string, int> locks;
    return locks;
}

bool IsFileNameCharacter(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') ||
           unit == u'_' || unit == u'-' || unit == u'.';
}

std::string AppDirectory() {
    const std::string module = HostPath::ModulePath();
    const size_t slash = module.rfind('/');
    return slash == std::string::npos ? std::string(".") : module.substr(0, slash);
}

// Refused for want of write permission, where reading may still be allowed.
bool MayOnlyRead(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Why the lock file could not be opened, in a few words.
const char* OpenFailure(int error) {
    if (error == HostFile::kNotRegular) return "not a regular file";
    if (error == ELOOP) return "a symbolic link, which is not followed";
    return std::strerror(error);
}

// A link there is not followed: it would make or lock a file wherever it
// points. A file the process may only read locks all the same.
int OpenLockFile(const std::string& path, bool* writable, int* error) {
    *writable = true;
    const int descriptor = HostFile::OpenRegular(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644, error);
    if (descriptor >= 0 || !MayOnlyRead(*error)) return descriptor;
    int readError = 0;
    const int readOnly = HostFile::OpenRegular(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0, &readError);
    *writable = false;
    if (readOnly < 0 && readError != ENOENT) *error = readError;
    return readOnly;
}

enum class LockOutcome { Locked, HeldElsewhere, Unavailable };

bool WouldBlock(int error) { return HostFileLock::IsHeldElsewhere(error); }

// Over the whole file: a read lock for a file only read, which keeps out
// every writing lock, else a write lock, which keeps out every other lock.
int TakeRecordLock(int descriptor, bool writable) {
    if (HostFaults::IsSet(HostFault::RecordLock)) return ENOLCK;
    if (HostFaults::IsSet(HostFault::LocksOfThisHostOnly)) return 0;
    struct flock whole = {};
    whole.l_type = writable ? F_WRLCK : F_RDLCK;
    whole.l_whence = SEEK_SET;
    return fcntl(descriptor, F_SETLK, &whole) == 0 ? 0 : errno;
}

bool RecordLockRefused(int error) { return WouldBlock(error) || error == EACCES; }

// Whether another process holds a record lock on the file.
bool RecordLockedElsewhere(int descriptor) {
    if (HostFaults::IsSet(HostFault::RecordLock) || HostFaults::IsSet(HostFault::LocksOfThisHostOnly)) return false;
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return fcntl(descriptor, F_GETLK, &whole) == 0 && whole.l_type != F_UNLCK;
}

// An instance that could only take one kind sees one that holds both: the
// record lock is held beside the whole-file lock where the file system
// keeps it, and serves alone where it refuses whole-file locks. *why tells
// why neither could be had.
LockOutcome Lock(int descriptor, bool writable, const char** why) {
    const int fileLock = HostFileLock::TakeExclusive(descriptor);
    if (WouldBlock(fileLock)) return LockOutcome::HeldElsewhere;
    if (fileLock != 0 && !HostFileLock::IsUnsupported(fileLock)) {
        *why = std::strerror(fileLock);
        return LockOutcome::Unavailable;
    }
    // A read lock on its own would let every instance in.
    const int recordLock = fileLock == 0 || writable ? TakeRecordLock(descriptor, writable) : EBADF;
    if (RecordLockRefused(recordLock)) return LockOutcome::HeldElsewhere;
    if (fileLock == 0 || recordLock == 0) return LockOutcome::Locked;
    // A file only read takes no record lock, but still shows another's.
    if (RecordLockedElsewhere(descriptor)) return LockOutcome::HeldElsewhere;
    *why = writable ? "the file system keeps no locks" : "the file system keeps no locks on a file only read";
    return LockOutcome::Unavailable;
}

// The line goes to `unheld` where the caller says it only once it knows
// that the program runs: a folder that is missing or read-only is refused
// in one line of its own.
bool RunUnlocked(const std::u16string& name, const std::string& path, const char* why, std::string* unheld) {
    const std::string said =
        "Instance lock " + path + " cannot be held (" + why + "); a second instance will not be refused";
    if (unheld != nullptr) {
        *unheld = said;
    } else {
        std::fprintf(stderr, "%s\n", said.c_str());
    }
    HeldLocks()[name] = -1;
    return true;
}

}  // namespace

std::string HostInstanceLock::PathOf(const std::u16string& name) {
    std::string file;
    for (char16_t unit : name) file += IsFileNameCharacter(unit) ? static_cast<char>(unit) : '_';
    return AppDirectory() + "/" + file + ".lock";
}

bool HostInstanceLock::Claim(const std::u16string& name, std::string* unheld) {
    if (HeldLocks().count(name) != 0) return true;
    const std::string path = PathOf(name);
    int error = 0;
    bool writable = true;
    const int descriptor = OpenLockFile(path, &writable, &error);
    if (descriptor < 0) return RunUnlocked(name, path, OpenFailure(error), unheld);
    const char* why = nullptr;
    const LockOutcome outcome = Lock(descriptor, writable, &why);
    if (outcome != LockOutcome::Locked) {
        close(descriptor);
        return outcome == LockOutcome::HeldElsewhere ? false : RunUnlocked(name, path, why, unheld);
    }
    HeldLocks()[name] = descriptor;
    return true;
}

void HostInstanceLock::Release(const std::u16string& name) {
    auto it = HeldLocks().find(name);
    if (it == HeldLocks().end()) return;
    if (it->second >= 0) close(it->second);
    HeldLocks().erase(it);
}

void HostInstanceLock::ReleaseAll() {
    for (const auto& held : HeldLocks()) {
        if (held.second >= 0) close(held.second);
    }
    HeldLocks().clear();
}

// Only a probe of this process's own is opened here: closing a descriptor
// of a file drops every record lock the process holds on it, and this
// process holds none on a lock it has not claimed.
bool HostInstanceLock::IsHeldElsewhere(const std::u16string& name) {
    if (HeldLocks().count(name) != 0) return false;
    int error = 0;
    const int descriptor = HostFile::OpenRegular(PathOf(name), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0, &error);
    if (descriptor < 0) return false;
    const bool held = RecordLockedElsewhere(descriptor) || WouldBlock(HostFileLock::TakeExclusive(descriptor));
    close(descriptor);
    return held;
}
