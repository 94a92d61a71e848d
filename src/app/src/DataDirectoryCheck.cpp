#include "DataDirectoryCheck.h"

#include "WinCeError.h"
#include "WinCeFile.h"
#include "WinCeHandle.h"

namespace {

constexpr char16_t kSeparator = u'\\';

// The folder of the program's path, where the game keeps its records.
std::u16string DataFolder() {
    char16_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::u16string path(program, length);
    const size_t separator = path.rfind(kSeparator);
    return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator);
}

}  // namespace

bool DataDirectoryCheck::Run(std::string* error) {
    const std::u16string folder = DataFolder();
    const std::string directory = DescribeFilePath(folder.c_str());
    std::u16string probe = folder + kSeparator;
    for (char unit : ProbeName()) probe += static_cast<char16_t>(unit);
    // A leftover that stays makes the create below fail, which says why.
    static_cast<void>(DeleteFileW(probe.c_str()));
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = Failure(directory, GetLastError());
        return false;
    }
    const bool closed = CloseHandle(file) != 0;
    const DWORD why = GetLastError();
    // A check file left behind is removed by a later start, once it is old.
    static_cast<void>(DeleteFileW(probe.c_str()));
    if (!closed) *error = Failure(directory, why);
    return closed;
}

std::string DataDirectoryCheck::ProbeName() {
    std::string name = kProbeStem;
    // The part is made of ASCII letters, digits and "-".
    for (char16_t unit : GetPrivateNamePart()) name += static_cast<char>(unit);
    return name + kProbeSuffix;
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
    return prefix + " cannot be checked: its file " + ProbeName() + " cannot be made (" + DescribeFileError(why) +
           ")";
}
