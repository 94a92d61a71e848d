#ifndef HOSTINSTANCELOCK_H
#define HOSTINSTANCELOCK_H

#include <string>

// Stands in for the handset's search for a running instance by window
// class: registering a class claims a lock file "<class>.lock" in the
// application directory (see HostPath), held until the class goes or the
// process ends, so another process can see that the program runs.
class HostInstanceLock {
public:
    // False when another process holds the lock. When the file cannot be
    // made (a read-only directory, say) or is no regular file (a symbolic
    // link is never followed) the claim succeeds unlocked: the program
    // runs, without a guard against a second instance.
    static bool Claim(const std::u16string& name);
    static void Release(const std::u16string& name);
    static void ReleaseAll();
    // True when a process other than this one holds the lock.
    static bool IsHeldElsewhere(const std::u16string& name);
    // The host path of the lock file of `name`; characters that have no
    // place in a file name become "_".
    static std::string PathOf(const std::u16string& name);
};

#endif
