#include "HostSaveTemporary.h"

#include "HostFaults.h"
#include "HostFile.h"
#include "HostFileLock.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <utility>

namespace {

constexpr size_t kLongestRandomPart = 32;
constexpr mode_t kNewFileMode = 0644;
// Names of 64 random bits meet by chance once in billions of years of
// saves; a name in the way is tried again.
constexpr int kNameAttempts = 16;

HostSaveTemporary::RandomSource g_randomSource = nullptr;

const HostSaveTemporary::PrivateName& Temporary() {
    static const HostSaveTemporary::PrivateName temporary = {"temp", ".dat"};
    return temporary;
}

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
    if (HostFaults::IsSet(HostFault::UnnamedFile)) return -1;
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

// Forgotten in a forked child, which makes its own.
std::string& ProcessPart() {
    static std::string part;
    return part;
}

void ForgetProcessPart() { ProcessPart().clear(); }

bool IsOld(const struct stat& info, int64_t folderNow) {
    return folderNow - static_cast<int64_t>(info.st_mtime) > HostSaveTemporary::kLeftoverSeconds;
}

// A process id says nothing here: another pid namespace or host may run a
// process of the same number, or one this process cannot see.
bool IsLockedElsewhere(int descriptor) {
    return HostFileLock::IsHeldElsewhere(HostFileLock::TakeExclusive(descriptor));
}

}  // namespace

std::string HostSaveTemporary::RandomPart() {
    if (g_randomSource != nullptr) return g_randomSource();
    std::random_device device;
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) | device();
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

HostSaveTemporary::RandomSource HostSaveTemporary::SetRandomSource(RandomSource source) {
    return std::exchange(g_randomSource, source);
}

// Gives the new file the name `path`: links the unnamed file there, or,
// without one, makes it there, where it is named before it is locked. -1,
// with errno telling why, on failure; EEXIST when the name is taken.
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
    int descriptor = -1;
    *error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && descriptor < 0 && *error == EEXIST; ++attempt) {
        *path = Join(folder, Temporary().stem + "-" + RandomPart() + Temporary().suffix);
        descriptor = Place(&unnamed, *path);
        *error = descriptor < 0 ? errno : 0;
    }
    if (unnamed >= 0) close(unnamed);
    return descriptor;
}

std::string HostSaveTemporary::PrivateNamePart() {
    static const bool forgottenInChildren = pthread_atfork(nullptr, nullptr, &ForgetProcessPart) == 0;
    static_cast<void>(forgottenInChildren);
    if (ProcessPart().empty()) ProcessPart() = "-" + RandomPart();
    return ProcessPart();
}

// A folder's own modification time does not move on every file system; a
// file's time stamp, given by the file system's clock as it makes the
// file, is there on each. Made and removed, the file takes no room a full
// disk would refuse.
bool HostSaveTemporary::FolderTime(const std::string& folder, int64_t* now) {
    std::string path;
    int error = 0;
    const int descriptor = Create(folder, &path, &error);
    if (descriptor < 0) return false;
    struct stat made;
    const bool stamped = !HostFile::ShouldFail(HostFile::Op::Status, path) && fstat(descriptor, &made) == 0;
    if (HostFile::Names(path, descriptor)) static_cast<void>(unlink(path.c_str()));
    close(descriptor);
    if (stamped) *now = static_cast<int64_t>(made.st_mtime);
    return stamped;
}

bool HostSaveTemporary::IsPrivateName(const std::string& name, const PrivateName& kind) {
    const size_t fixed = kind.stem.size() + kind.suffix.size();
    if (name.size() < fixed || name.compare(0, kind.stem.size(), kind.stem) != 0 ||
        name.compare(name.size() - kind.suffix.size(), kind.suffix.size(), kind.suffix) != 0) {
        return false;
    }
    if (name.size() == fixed) return true;
    if (name.size() < fixed + 2 || name.size() > fixed + 1 + kLongestRandomPart || name[kind.stem.size()] != '-') {
        return false;
    }
    for (size_t i = kind.stem.size() + 1; i < name.size() - kind.suffix.size(); ++i) {
        if (std::isalnum(static_cast<unsigned char>(name[i])) == 0) return false;
    }
    return true;
}

bool HostSaveTemporary::IsTemporaryName(const std::string& name) { return IsPrivateName(name, Temporary()); }

bool HostSaveTemporary::IsLeftoverName(const std::string& name, const std::vector<PrivateName>& others) {
    if (IsTemporaryName(name)) return true;
    for (const PrivateName& kind : others) {
        if (IsPrivateName(name, kind)) return true;
    }
    return false;
}

// Age first: a file young by the folder's clock is left without a lock
// taken on it, which its writer, locking it just after naming it, would
// find in its way. A file this process cannot open (another user's, or no
// descriptor left) has a lock nobody here can test: its save may be live.
bool HostSaveTemporary::RemoveIfEnded(const std::string& path, int64_t folderNow) {
    struct stat named;
    if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || !IsOld(named, folderNow)) return false;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return false;
    // Only the file looked at is removed, not one put in its place since.
    const bool ended = !IsLockedElsewhere(descriptor) && HostFile::Names(path, descriptor);
    const bool removed = ended && unlink(path.c_str()) == 0;
    close(descriptor);
    return removed;
}

int HostSaveTemporary::RemoveLeftovers(const std::string& folder, int64_t folderNow,
                                       const std::vector<PrivateName>& others) {
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (listing == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(listing.get())) {
        if (IsLeftoverName(entry->d_name, others) && RemoveIfEnded(Join(folder, entry->d_name), folderNow)) ++removed;
    }
    return removed;
}
