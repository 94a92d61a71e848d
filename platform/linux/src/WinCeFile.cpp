#include "WinCeFile.h"

#include "HostFile.h"
#include "HostPath.h"
#include "HostSaveTemporary.h"
#include "WinCeError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr int64_t kLargest32BitPosition = 0xFFFFFFFE;

// open() flags for the access and creation values, or -1 when unsupported.
int OpenFlags(DWORD access, DWORD creation) {
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    if (!read && !write) {
        return -1;
    }
    int flags = O_CLOEXEC | (read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY));
    switch (creation) {
        case OPEN_EXISTING:
            return flags;
        // The handset has no links: one in the name of a file being made
        // would have it write to, or empty, a file elsewhere.
        case CREATE_ALWAYS:
            return flags | O_CREAT | O_TRUNC | O_NOFOLLOW;
        case OPEN_ALWAYS:
            return flags | O_CREAT | O_NOFOLLOW;
        // Nothing may be there, so the file is neither reached through a
        // link nor a second name (a hard link) of a file elsewhere.
        case CREATE_NEW:
            return flags | O_CREAT | O_EXCL;
        default:
            return -1;
    }
}

// The position the seek asks for, or -1 when its base cannot be found.
int64_t SeekBase(HostFile& file, DWORD method) {
    int64_t base = -1;
    if (method == FILE_BEGIN) {
        base = 0;
    } else if (method == FILE_CURRENT) {
        base = file.Position();
    } else if (method == FILE_END && !file.Size(&base)) {
        base = -1;
    }
    return base;
}

bool IsLink(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The handset's code for why `path` could not be opened with `flags`. Only
// a path where nothing is counts as not found: a link that leads nowhere,
// whether its target is missing or runs through a file, is something there
// that cannot be opened.
DWORD OpenErrorOf(int error, const std::string& path, int flags) {
    switch (error) {
        case ENOENT:
            return IsLink(path) ? ERROR_CANT_RESOLVE_FILENAME : ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return IsLink(path) ? ERROR_CANT_RESOLVE_FILENAME : ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ELOOP:
            return (flags & O_NOFOLLOW) != 0 && IsLink(path) ? ERROR_STOPPED_ON_SYMLINK : ERROR_CANT_RESOLVE_FILENAME;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        // A pipe opened for writing without a reader, a device with none
        // behind it: neither is a file.
        case ENXIO:
        case ENODEV:
        case EISDIR:
        case HostFile::kNotRegular:
            return ERROR_BAD_FILE_TYPE;
        default:
            return ERROR_OPEN_FAILED;
    }
}

HANDLE FailOpen(DWORD code) {
    SetLastError(code);
    return INVALID_HANDLE_VALUE;
}

// The host's name for an engine path; false, with ERROR_INVALID_NAME as the
// last error, when the path holds text no host name stands behind.
bool HostNameOf(const char16_t* path, std::string* host) {
    std::optional<std::string> converted = HostPath::FromWide(path);
    if (!converted) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    *host = std::move(*converted);
    return true;
}

// Only the file this process made and holds is removed, never another put
// under its name since.
void RemoveIfStillNamed(const std::string& path, int descriptor) {
    if (HostFile::Names(path, descriptor) && !HostFile::ShouldFail(HostFile::Op::Delete, path)) unlink(path.c_str());
}

// Says so when another program has removed or replaced the temporary, or
// why the file system could not tell.
bool StillNamesTemp(const std::string& path, int descriptor) {
    int error = 0;
    if (HostFile::Names(path, descriptor, &error)) return true;
    const std::string what = error == 0 ? std::string("was removed or replaced by another program")
                                        : std::string("could not be checked (") + std::strerror(error) + ")";
    std::fprintf(stderr,
                 "%s: the save's temporary file %s %s; the save is abandoned and the file it was to replace stays "
                 "as it was\n",
                 program_invocation_short_name, path.c_str(), what.c_str());
    return false;
}

}  // namespace

HANDLE CreateFileW(const char16_t* path, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE) {
    const int flags = OpenFlags(access, creation);
    if (path == nullptr || flags < 0) {
        return FailOpen(ERROR_INVALID_PARAMETER);
    }
    std::string hostPath;
    if (!HostNameOf(path, &hostPath)) {
        return INVALID_HANDLE_VALUE;
    }
    if (HostFile::ShouldFail(HostFile::Op::Open, hostPath)) {
        return FailOpen(ERROR_ACCESS_DENIED);
    }
    // Directories, devices and pipes are not files to the handset.
    int error = 0;
    const int descriptor = HostFile::OpenRegular(hostPath, flags, kNewFileMode, &error);
    if (descriptor < 0) {
        return FailOpen(OpenErrorOf(error, hostPath, flags));
    }
    HostFile* file = new (std::nothrow) HostFile(descriptor, hostPath, (access & GENERIC_WRITE) != 0);
    if (file == nullptr) {
        close(descriptor);
        return FailOpen(ERROR_NOT_ENOUGH_MEMORY);
    }
    return HostHandle::Publish(file);
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* bytesRead, void* overlapped) {
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    HostFile* file = HostFile::FromHandle(handle);
    if (file == nullptr || overlapped != nullptr || (buffer == nullptr && count != 0) ||
        HostFile::ShouldFail(HostFile::Op::Read, file->Path())) {
        return 0;
    }
    DWORD moved = 0;
    const bool ok = file->Read(static_cast<uint8_t*>(buffer), count, &moved);
    if (bytesRead != nullptr) {
        *bytesRead = moved;
    }
    return ok ? 1 : 0;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* bytesWritten, void* overlapped) {
    if (bytesWritten != nullptr) {
        *bytesWritten = 0;
    }
    HostFile* file = HostFile::FromHandle(handle);
    if (file == nullptr || overlapped != nullptr || (buffer == nullptr && count != 0) ||
        HostFile::ShouldFail(HostFile::Op::Write, file->Path())) {
        return 0;
    }
    DWORD written = 0;
    const bool ok = file->Write(static_cast<const uint8_t*>(buffer), count, &written);
    if (bytesWritten != nullptr) {
        *bytesWritten = written;
    }
    // A write that stops short (a full disk) is a failure.
    return ok && written == count ? 1 : 0;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method) {
    HostFile* file = HostFile::FromHandle(handle);
    if (file == nullptr || HostFile::ShouldFail(HostFile::Op::Seek, file->Path())) {
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t base = SeekBase(*file, method);
    if (base < 0) {
        return INVALID_SET_FILE_POINTER;
    }
    int64_t offset = distance;
    if (distanceHigh != nullptr) {
        offset = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                      static_cast<uint32_t>(distance));
    }
    // Both are far below 2^62 for any real file, so the sum cannot overflow.
    const int64_t target = base + offset;
    const bool outOfRange = target < 0 || (distanceHigh == nullptr && target > kLargest32BitPosition);
    if (outOfRange) {
        return INVALID_SET_FILE_POINTER;
    }
    file->SetPosition(target);
    if (distanceHigh != nullptr) {
        *distanceHigh = static_cast<LONG>(target >> 32);
    }
    return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh) {
    HostFile* file = HostFile::FromHandle(handle);
    int64_t size = 0;
    if (file == nullptr || !file->Size(&size)) {
        return INVALID_FILE_SIZE;
    }
    if (sizeHigh != nullptr) {
        *sizeHigh = static_cast<DWORD>(static_cast<uint64_t>(size) >> 32);
    } else if (size > kLargest32BitPosition) {
        return INVALID_FILE_SIZE;
    }
    return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE handle) {
    HostFile* file = HostFile::FromHandle(handle);
    if (file == nullptr || HostFile::ShouldFail(HostFile::Op::Flush, file->Path())) {
        return 0;
    }
    // As on the handset, a handle without write access cannot be flushed;
    // refusing it also spares every closed reader a disk sync.
    if (!file->IsWritable()) {
        return 0;
    }
    return file->Sync() ? 1 : 0;
}

BOOL MoveFileW(const char16_t* from, const char16_t* to) {
    if (from == nullptr || to == nullptr) {
        return 0;
    }
    std::string hostFrom;
    std::string hostTo;
    if (!HostNameOf(from, &hostFrom) || !HostNameOf(to, &hostTo)) {
        return 0;
    }
    if (HostFile::ShouldFail(HostFile::Op::Move, hostFrom)) {
        return 0;
    }
    if (rename(hostFrom.c_str(), hostTo.c_str()) != 0) {
        return 0;
    }
    // The rename itself is kept only once its folder is. A folder that
    // cannot be synced leaves the file renamed all the same: saying the
    // move failed would not undo it.
    static_cast<void>(HostFile::SyncFolderOf(hostTo));
    return 1;
}

BOOL DeleteFileW(const char16_t* path) {
    if (path == nullptr) {
        return 0;
    }
    std::string hostPath;
    if (!HostNameOf(path, &hostPath)) {
        return 0;
    }
    if (HostFile::ShouldFail(HostFile::Op::Delete, hostPath)) {
        return 0;
    }
    return unlink(hostPath.c_str()) == 0 ? 1 : 0;
}

HANDLE CreateSafeWriteTempW(const char16_t* path) {
    std::string target;
    if (path == nullptr || !HostNameOf(path, &target)) return FailOpen(ERROR_INVALID_PARAMETER);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash == 0 ? 1 : slash);
    std::string tempPath;
    int error = 0;
    const int descriptor = HostSaveTemporary::Create(folder, &tempPath, &error);
    if (descriptor < 0) return FailOpen(OpenErrorOf(error, tempPath, O_CREAT | O_EXCL));
    HostFile* file = new (std::nothrow) HostFile(descriptor, tempPath, true);
    if (file == nullptr || HostFile::ShouldFail(HostFile::Op::Open, tempPath)) {
        RemoveIfStillNamed(tempPath, descriptor);
        delete file;
        if (file == nullptr) close(descriptor);
        return FailOpen(file == nullptr ? ERROR_NOT_ENOUGH_MEMORY : ERROR_ACCESS_DENIED);
    }
    return HostHandle::Publish(file);
}

BOOL ReplaceWithSafeWriteTempW(HANDLE temp, const char16_t* to) {
    HostFile* file = HostFile::FromHandle(temp);
    std::string target;
    if (file == nullptr || to == nullptr || !HostNameOf(to, &target)) {
        DiscardSafeWriteTempW(temp);
        return 0;
    }
    const std::string path = file->Path();
    // Keeps the file, and its lock, past the close, which reports whether
    // what was written is on the storage.
    const int held = file->Duplicate();
    const bool written = held >= 0 && FlushFileBuffers(temp) != 0;
    const bool closed = CloseHandle(temp) != 0;
    if (held < 0) return 0;
    const bool named = written && closed && StillNamesTemp(path, held);
    const bool moved = named && !HostFile::ShouldFail(HostFile::Op::Move, path) && rename(path.c_str(), target.c_str()) == 0;
    if (moved) {
        // As after MoveFileW: a folder that cannot be synced leaves the file
        // renamed all the same.
        static_cast<void>(HostFile::SyncFolderOf(target));
    } else if (named || !(written && closed)) {
        RemoveIfStillNamed(path, held);
    }
    close(held);
    return moved ? 1 : 0;
}

void DiscardSafeWriteTempW(HANDLE temp) {
    HostFile* file = HostFile::FromHandle(temp);
    if (file == nullptr) return;
    const std::string path = file->Path();
    const int held = file->Duplicate();
    // The file is removed; what its close says no longer matters.
    static_cast<void>(CloseHandle(temp));
    if (held < 0) return;
    RemoveIfStillNamed(path, held);
    close(held);
}

std::u16string GetPrivateNamePart() { return HostPath::ToWide(HostSaveTemporary::PrivateNamePart()); }

std::string DescribeFilePath(const char16_t* path) {
    return HostPath::FromWide(path).value_or("(a name no host file can have)");
}

DWORD GetModuleFileNameW(HANDLE module, char16_t* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    buffer[0] = 0;
    if (module != nullptr) {
        return 0;
    }
    const std::u16string path = HostPath::ToWide(HostPath::ModulePath());
    if (path.empty() || path.size() >= size) {
        return 0;
    }
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(path.size());
}
