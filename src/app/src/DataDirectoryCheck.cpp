#include "DataDirectoryCheck.h"

#include "HostPath.h"
#include "WinCeError.h"
#include "WinCeFile.h"
#include "WinCeHandle.h"

bool DataDirectoryCheck::Run(const std::string& directory, std::string* error) {
    const std::u16string probe = HostPath::ToWide(directory + "/" + kProbeName);
    DeleteFileW(probe.c_str());
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = Failure(directory, GetLastError());
        return false;
    }
    const bool closed = CloseHandle(file) != 0;
    const DWORD why = GetLastError();
    DeleteFileW(probe.c_str());
    if (!closed) *error = Failure(directory, why);
    return closed;
}

std::string DataDirectoryCheck::Failure(const std::string& directory, DWORD why) {
    const std::string prefix = "the data directory " + directory;
    if (why == ERROR_FILE_NOT_FOUND) return prefix + " is missing";
    // The probe's path runs through a file: the directory, or a folder above
    // it, is a file.
    if (why == ERROR_PATH_NOT_FOUND) return prefix + " is not a folder";
    if (why == ERROR_ACCESS_DENIED || why == ERROR_WRITE_PROTECT) {
        return prefix + " is not writable (" + DescribeFileError(why) + ")";
    }
    return prefix + " cannot be checked: its file " + kProbeName + " cannot be made (" + DescribeFileError(why) +
           ")";
}
