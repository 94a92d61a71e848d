#ifndef HOSTINSTANCELOCK_H
#define HOSTINSTANCELOCK_H

#include <string>

// Stands in for the handset's search for a running instance by window
// class: registering a class claims a lock file "<class>.lock" in the
// application directory (see HostPath), held until the class goes or the
// process ends, so another process can see that the program runs.
//
// The lock is a whole-file lock (flock) and a POSIX record lock over the
// whole file, each where the file system keeps it, so that an instance
// that can take only one kind still finds the other; a lock file the
// process may read but not write is locked through a read-only descriptor.
class HostInstanceLock {
public:
    // False when another process holds the lock. When no lock can be held
    // (the file cannot be opened, is no regular file — a symbolic link is
    // never followed — or the file system locks nothing) the claim
    // succeeds unlocked, and standard error says so: the program runs,
    // without a guard against a second instance. With `unheld`, that line
    // goes there instead, for the caller to say once the program will run.
    [[nodiscard]] static bool Claim(const std::u16string& name, std::string* unheld = nullptr);
    static void Release(const std::u16string& name);
    static void ReleaseAll();
    // True when a process other than this one holds the lock.
    [[nodiscard]] static bool IsHeldElsewhere(const std::u16string& name);
    // The host path of the lock file of `name`; characters that have no
    // place in a file name become "_".
    static std::string PathOf(const std::u16string& name);
};

#endif
