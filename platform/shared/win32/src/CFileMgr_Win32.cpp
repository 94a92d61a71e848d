#include "CFileMgr_Win32.h"

#include "CAssert.h"
#include "CFile_Win32.h"
#include "CStrChar.h"

namespace {

constexpr WChar kSeparator = u'\\';
constexpr WChar kSeparatorText[] = {kSeparator, 0};

struct OpenMode {
    DWORD access;
    DWORD creation;
};

OpenMode OpenModeOf(uint32_t mode) {
    switch (mode) {
        case ICFileMgr::kRead:
            return {GENERIC_READ, OPEN_EXISTING};
        case ICFileMgr::kWrite:
            return {GENERIC_WRITE, CREATE_ALWAYS};
        case ICFileMgr::kAppend:
            return {GENERIC_WRITE, OPEN_ALWAYS};
        case ICFileMgr::kCreateNew:
            return {GENERIC_WRITE, CREATE_NEW};
        default:
            ASSERT(false);
            return {0, 0};
    }
}

}  // namespace

CFileMgr_Win32* CFileMgr_Win32::Create() {
    return new CFileMgr_Win32();
}

CFileMgr_Win32::CFileMgr_Win32() {
    FindBaseDirectory();
}

void CFileMgr_Win32::FindBaseDirectory() {
    m_baseDirectory[0] = 0;
    const DWORD length = GetModuleFileNameW(nullptr, m_baseDirectory, MAX_PATH);
    for (DWORD i = length; i > 0; --i) {
        if (m_baseDirectory[i - 1] == kSeparator) {
            m_baseDirectory[i - 1] = 0;
            return;
        }
    }
}

const WChar* CFileMgr_Win32::GetPathSeparator() {
    return kSeparatorText;
}

ICFile* CFileMgr_Win32::Open(const WChar* path, uint32_t mode) {
    if (path == nullptr) {
        m_openError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    CFile_Win32* file = CFile_Win32::Create();
    if (file == nullptr) {
        m_openError = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    const OpenMode open = OpenModeOf(mode);
    file->m_handle =
        CreateFileW(path, open.access, FILE_SHARE_READ, nullptr, open.creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    file->m_writable = (open.access & GENERIC_WRITE) != 0;
    if (!file->IsOpen()) {
        m_openError = GetLastError();
        delete file;
        return nullptr;
    }
    return file;
}

bool CFileMgr_Win32::OpenFoundNothing() {
    return m_openError == ERROR_FILE_NOT_FOUND || m_openError == ERROR_PATH_NOT_FOUND;
}

const char* CFileMgr_Win32::OpenFailure() {
    return DescribeFileError(m_openError);
}

ICFile* CFileMgr_Win32::CreateSafeWriteTemp(const WChar* path) {
    CFile_Win32* file = CFile_Win32::Create();
    if (file == nullptr) {
        return nullptr;
    }
    file->m_handle = CreateSafeWriteTempW(path);
    file->m_writable = true;
    if (!file->IsOpen()) {
        delete file;
        return nullptr;
    }
    return file;
}

HANDLE CFileMgr_Win32::TakeHandle(ICFile* file) {
    CFile_Win32* own = dynamic_cast<CFile_Win32*>(file);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (own != nullptr) {
        handle = own->m_handle;
        own->m_handle = INVALID_HANDLE_VALUE;
    }
    delete file;
    return handle;
}

bool CFileMgr_Win32::ReplaceWithSafeWriteTemp(ICFile* temp, const WChar* path) {
    return ReplaceWithSafeWriteTempW(TakeHandle(temp), path) != 0;
}

void CFileMgr_Win32::DiscardSafeWriteTemp(ICFile* temp) {
    DiscardSafeWriteTempW(TakeHandle(temp));
}

// Asked for each name: whether this process holds its instance lock may
// change while it runs.
const WChar* CFileMgr_Win32::GetPrivateNamePart() {
    m_privateNamePart = ::GetPrivateNamePart();
    return m_privateNamePart.c_str();
}

void CFileMgr_Win32::DescribePath(CStrChar& out, const WChar* path) {
    out = DescribeFilePath(path).c_str();
}

bool CFileMgr_Win32::Close(ICFile* file) {
    CFile_Win32* own = dynamic_cast<CFile_Win32*>(file);
    const bool closed = own == nullptr || own->Close();
    delete file;
    return closed;
}

bool CFileMgr_Win32::Exists(const WChar* path) {
    ICFile* file = Open(path, kRead);
    Close(file);
    return file != nullptr;
}

uint32_t CFileMgr_Win32::GetFileSize(const WChar* path) {
    if (path == nullptr) {
        return 0;
    }
    const HANDLE handle =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD size = ::GetFileSize(handle, nullptr);
    // Closing a file only read loses nothing.
    static_cast<void>(CloseHandle(handle));
    return size == INVALID_FILE_SIZE ? 0 : size;
}

bool CFileMgr_Win32::Rename(const WChar* from, const WChar* to) {
    if (from == nullptr || to == nullptr) {
        return false;
    }
    return MoveFileW(from, to) != 0;
}

bool CFileMgr_Win32::Delete(const WChar* path) {
    if (path == nullptr) {
        return false;
    }
    return DeleteFileW(path) != 0;
}

int32_t CFileMgr_Win32::UnsupportedOp1() {
    ASSERT(false);
    return 0;
}

int32_t CFileMgr_Win32::UnsupportedOp2() {
    ASSERT(false);
    return 0;
}

int32_t CFileMgr_Win32::UnsupportedOp3() {
    ASSERT(false);
    return 0;
}
