#include "HostInstanceLock.h"

#include "HostFile.h"
#include "HostPath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Descriptors of the locks this process holds (-1: claimed without a file).
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

bool WouldBlock(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

// Why the lock file could not be opened, in a few words.
const char* LockFailure(int error) {
    if (error == HostFile::kNotRegular) return "not a regular file";
    if (error == ELOOP) return "a symbolic link, which is not followed";
    return std::strerror(error);
}

}  // namespace

std::string HostInstanceLock::PathOf(const std::u16string& name) {
    std::string file;
    for (char16_t unit : name) file += IsFileNameCharacter(unit) ? static_cast<char>(unit) : '_';
    return AppDirectory() + "/" + file + ".lock";
}

bool HostInstanceLock::Claim(const std::u16string& name) {
    if (HeldLocks().count(name) != 0) return true;
    const std::string path = PathOf(name);
    int error = 0;
    // A link there is not followed: it would make or lock a file wherever
    // it points.
    const int descriptor = HostFile::OpenRegular(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644, &error);
    if (descriptor < 0) {
        std::fprintf(stderr, "Instance lock %s cannot be made (%s); a second instance will not be refused\n",
                     path.c_str(), LockFailure(error));
        HeldLocks()[name] = -1;
        return true;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool held = WouldBlock(errno);
        close(descriptor);
        if (held) return false;
        HeldLocks()[name] = -1;
        return true;
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

bool HostInstanceLock::IsHeldElsewhere(const std::u16string& name) {
    if (HeldLocks().count(name) != 0) return false;
    int error = 0;
    const int descriptor = HostFile::OpenRegular(PathOf(name), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0, &error);
    if (descriptor < 0) return false;
    const bool held = flock(descriptor, LOCK_EX | LOCK_NB) != 0 && WouldBlock(errno);
    close(descriptor);
    return held;
}
