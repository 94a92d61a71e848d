#ifndef WINCEFILE_H
#define WINCEFILE_H

// The handset's file calls, served by the host's file system. Paths are
// UTF-16 with "\" between parts (see HostPath); a path that holds text no
// host name stands behind fails with ERROR_INVALID_NAME. A file handle is
// closed with CloseHandle.

#include "WinCeHandle.h"

#include <string>

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr DWORD MAX_PATH = 260;

// Opens a regular file. Creation OPEN_EXISTING needs the file, CREATE_NEW
// makes it where nothing is (ERROR_FILE_EXISTS when anything is, a link
// included), CREATE_ALWAYS creates or truncates it, OPEN_ALWAYS creates it
// or keeps its content; the position starts at 0 in every case. Those that
// may create never follow a symbolic link in the file's own name. Other
// creation values, and an access without GENERIC_READ or GENERIC_WRITE,
// fail. Sharing, security, flags and template are accepted and ignored.
// INVALID_HANDLE_VALUE on failure, with the last error telling why:
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND only when nothing is at the
// path.
[[nodiscard]] HANDLE CreateFileW(const char16_t* path, DWORD access, DWORD shareMode, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);

// Reads up to `count` bytes; *bytesRead tells how many (0 at the end of the
// file, which is still a success). `overlapped` must be null.
[[nodiscard]] BOOL ReadFile(HANDLE file, void* buffer, DWORD count, DWORD* bytesRead, void* overlapped);
// Writes `count` bytes; on failure *bytesWritten tells how many got out.
[[nodiscard]] BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* bytesWritten, void* overlapped);

// Moves to base + distance (base 0, the position or the size for FILE_BEGIN,
// FILE_CURRENT, FILE_END). With `distanceHigh` the distance is 64-bit and
// the high half of the result goes back through it; without, positions
// beyond 32 bits fail. INVALID_SET_FILE_POINTER on failure, when the
// position is unchanged.
[[nodiscard]] DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
// The size's low 32 bits (the high ones through `sizeHigh`); without
// `sizeHigh` a size beyond 32 bits gives INVALID_FILE_SIZE.
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
[[nodiscard]] BOOL FlushFileBuffers(HANDLE file);

// Renames a file. An existing `to` is replaced in one step, so a reader
// finds either the old file or the new one, never neither; the folder is
// synced after it.
[[nodiscard]] BOOL MoveFileW(const char16_t* from, const char16_t* to);
[[nodiscard]] BOOL DeleteFileW(const char16_t* path);

// Not handset calls: a safe write's temporary. The handset ran one instance
// only; here others may run beside it and save at the same moment, so each
// save fills a file only it has (see HostSaveTemporary).
// A new file in the folder of `path`, open for writing only, for a safe
// write of `path`; INVALID_HANDLE_VALUE on failure, as CreateFileW.
[[nodiscard]] HANDLE CreateSafeWriteTempW(const char16_t* path);
// Flushes and closes the temporary, then renames it over `to` as MoveFileW
// does, but only while its name still names the file written (another
// program may have removed or replaced it meanwhile: standard error then
// says so). On failure its file is removed, never one put in its place.
// The handle is closed in every case.
[[nodiscard]] BOOL ReplaceWithSafeWriteTempW(HANDLE temp, const char16_t* to);
// Closes the temporary and removes its file, if its name still names it.
void DiscardSafeWriteTempW(HANDLE temp);
// Not a handset call: a part for the names of files only this instance
// writes (see HostSaveTemporary::PrivateNamePart).
std::u16string GetPrivateNamePart();

// Not a handset call, but its paths as the host names them (see HostPath),
// for messages to the user; a path no host file can have is said to be one.
std::string DescribeFilePath(const char16_t* path);

// With a null module: the executable's path (HostPath::ModulePath) as UTF-16
// with "\" separators, terminated; returns its length. 0 with an empty
// buffer when it does not fit in `size` units or is unknown.
DWORD GetModuleFileNameW(HANDLE module, char16_t* buffer, DWORD size);

#endif
