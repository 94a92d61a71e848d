#include "HostSaveTemporary.h"

#include "HostFile.h"
#include "HostFileLock.h"
#include "HostInstanceLock.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <utility>

namespace {

constexpr char kOwnPrefix[] = "temp-";
constexpr char kOwnSuffix[] = ".dat";
constexpr size_t kOwnPrefixLength = sizeof(kOwnPrefix) - 1;
constexpr size_t kOwnSuffixLength = sizeof(kOwnSuffix) - 1;
constexpr size_t kLongestOwnPart = 32;
constexpr mode_t kNewFileMode = 0644;
// Names of 64 random bits meet by chance once in billions of years of
// saves; a name in the way is tried again.
constexpr int kNameAttempts = 16;

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// The file without a name, locked, where the file system makes such files
// (O_TMPFILE): it is never found unlocked by a start looking for leftovers.
// -1 where it makes none.
int OpenUnnamed(const std::string& folder) {
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
    if (descriptor >= 0) static_cast<void>(HostFileLock::TakeExclusive(descriptor));
    return descriptor;
}

// Through the process's own view of its descriptors: linking a descriptor
// itself (AT_EMPTY_PATH) needs a privilege the game does not have.
bool LinkUnnamed(int descriptor, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool IsOld(const struct stat& info) { return std::time(nullptr) - info.st_mtime > HostSaveTemporary::kLeftoverSeconds; }

// Forgotten in a forked child, which makes its own.
std::string& ProcessPart() {
    static std::string part;
    return part;
}

void ForgetProcessPart() { ProcessPart().clear(); }

}  // namespace

std::string HostSaveTemporary::RandomPart() {
    std::random_device device;
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) | device();
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

// Gives the new file the name `path`: links the unnamed file there, or,
// without one, makes it there. -1, with errno telling why, on failure;
// EEXIST when the name is taken.
int HostSaveTemporary::Place(int* unnamed, const std::string& path) {
    if (*unnamed >= 0) {
        if (LinkUnnamed(*unnamed, path)) return std::exchange(*unnamed, -1);
        if (errno == EEXIST) return -1;
        // Without /proc the file is made under its name.
        close(std::exchange(*unnamed, -1));
    }
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
    if (descriptor >= 0) static_cast<void>(HostFileLock::TakeExclusive(descriptor));
    return descriptor;
}

int HostSaveTemporary::Create(const std::string& folder, std::string* path, int* error) {
    int unnamed = OpenUnnamed(folder);
    const bool shared = HostInstanceLock::HoldsAny();
    int descriptor = -1;
    *error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && descriptor < 0 && *error == EEXIST; ++attempt) {
        *path = Join(folder, shared && attempt == 0 ? kSharedName : kOwnPrefix + RandomPart() + kOwnSuffix);
        descriptor = Place(&unnamed, *path);
        *error = descriptor < 0 ? errno : 0;
    }
    if (unnamed >= 0) close(unnamed);
    return descriptor;
}

std::string HostSaveTemporary::PrivateNamePart() {
    static const bool forgottenInChildren = pthread_atfork(nullptr, nullptr, &ForgetProcessPart) == 0;
    static_cast<void>(forgottenInChildren);
    if (HostInstanceLock::HoldsAny()) return std::string();
    if (ProcessPart().empty()) ProcessPart() = "-" + RandomPart();
    return ProcessPart();
}

bool HostSaveTemporary::IsTemporaryName(const std::string& name) {
    if (name == kSharedName) return true;
    if (name.size() <= kOwnPrefixLength + kOwnSuffixLength ||
        name.size() > kOwnPrefixLength + kLongestOwnPart + kOwnSuffixLength ||
        name.compare(0, kOwnPrefixLength, kOwnPrefix) != 0 ||
        name.compare(name.size() - kOwnSuffixLength, kOwnSuffixLength, kOwnSuffix) != 0) {
        return false;
    }
    for (size_t i = kOwnPrefixLength; i < name.size() - kOwnSuffixLength; ++i) {
        if (std::isalnum(static_cast<unsigned char>(name[i])) == 0) return false;
    }
    return true;
}

// A process id says nothing here: another pid namespace or host may run a
// process of the same number, or one this process cannot see.
bool HostSaveTemporary::HasEnded(int descriptor, const struct stat& named) {
    const int lock = descriptor < 0 ? EBADF : HostFileLock::TakeExclusive(descriptor);
    return lock == 0 || (!HostFileLock::IsHeldElsewhere(lock) && IsOld(named));
}

bool HostSaveTemporary::RemoveIfEnded(const std::string& path) {
    struct stat named;
    if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // Only the file looked at is removed, not one put in its place since.
    const bool ended = HasEnded(descriptor, named) && (descriptor < 0 || HostFile::Names(path, descriptor));
    const bool removed = ended && unlink(path.c_str()) == 0;
    if (descriptor >= 0) close(descriptor);
    return removed;
}

int HostSaveTemporary::RemoveLeftovers(const std::string& folder) {
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (listing == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(listing.get())) {
        if (IsTemporaryName(entry->d_name) && RemoveIfEnded(Join(folder, entry->d_name))) ++removed;
    }
    return removed;
}
