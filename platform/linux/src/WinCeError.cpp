#include "WinCeError.h"

namespace {
thread_local DWORD g_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return g_lastError; }

void SetLastError(DWORD code) { g_lastError = code; }

const char* DescribeFileError(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return "no such file";
        case ERROR_PATH_NOT_FOUND:
            return "no such folder";
        case ERROR_ACCESS_DENIED:
            return "permission denied";
        case ERROR_WRITE_PROTECT:
            return "read-only file system";
        case ERROR_WRITE_FAULT:
            return "the storage reported a write error";
        case ERROR_FILE_EXISTS:
            return "something is already there";
        case ERROR_DISK_FULL:
            return "no space left";
        case ERROR_BAD_FILE_TYPE:
            return "not a regular file";
        case ERROR_STOPPED_ON_SYMLINK:
            return "a symbolic link, which a file being made never follows";
        case ERROR_CANT_RESOLVE_FILENAME:
            return "a symbolic link that leads to no file";
        case ERROR_INVALID_NAME:
            return "a name no host file can have";
        default:
            return "the system refused it";
    }
}
