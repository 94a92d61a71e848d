#include "HostSaveTemporary.h"

#include "HostInstanceLock.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace {

constexpr char kSharedName[] = "temp.dat";
constexpr char kOwnPrefix[] = "temp-";
constexpr char kOwnSuffix[] = ".dat";
constexpr size_t kOwnPrefixLength = sizeof(kOwnPrefix) - 1;
constexpr size_t kOwnSuffixLength = sizeof(kOwnSuffix) - 1;

// A process that may not be signalled runs all the same.
bool IsRunning(pid_t process) { return kill(process, 0) == 0 || errno == EPERM; }

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

}  // namespace

std::string HostSaveTemporary::Name() {
    if (HostInstanceLock::HoldsAny()) return kSharedName;
    return kOwnPrefix + std::to_string(getpid()) + kOwnSuffix;
}

pid_t HostSaveTemporary::OwnerOf(const std::string& name) {
    if (name.size() <= kOwnPrefixLength + kOwnSuffixLength || name.compare(0, kOwnPrefixLength, kOwnPrefix) != 0 ||
        name.compare(name.size() - kOwnSuffixLength, kOwnSuffixLength, kOwnSuffix) != 0) {
        return 0;
    }
    const std::string digits = name.substr(kOwnPrefixLength, name.size() - kOwnPrefixLength - kOwnSuffixLength);
    // Only the name this process would give it: no sign, no leading zero.
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0' || digits.size() > 9) {
        return 0;
    }
    return static_cast<pid_t>(std::strtol(digits.c_str(), nullptr, 10));
}

int HostSaveTemporary::RemoveLeftovers(const std::string& folder) {
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (listing == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(listing.get())) {
        const pid_t owner = OwnerOf(entry->d_name);
        if (owner == 0 || IsRunning(owner)) continue;
        if (unlink((folder + "/" + entry->d_name).c_str()) == 0) ++removed;
    }
    return removed;
}
