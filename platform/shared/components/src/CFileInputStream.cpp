#include "CFileInputStream.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CMemory.h"
#include "ICFile.h"
#include "ICFileMgr.h"

namespace {
// ICFile seeks take signed 32-bit offsets.
constexpr uint32_t kLargestSeekStep = 0x7FFFFFFF;
}  // namespace

CFileInputStream::~CFileInputStream() {
    Close();
}

bool CFileInputStream::OpenByName(const WChar* path) {
    Close();
    SetError();
    ICFileMgr* files = GetFileMgr();
    if (path == nullptr || files == nullptr) {
        return false;
    }
    const uint32_t size = files->GetFileSize(path);
    if (size == 0) {
        return false;
    }
    m_owned = true;
    m_file = files->Open(path, ICFileMgr::kRead);
    if (m_file == nullptr) {
        return false;
    }
    SetSize(size);
    ClearError();
    return true;
}

bool CFileInputStream::OpenOnFile(ICFile* file) {
    Close();
    SetError();
    if (file == nullptr) {
        return false;
    }
    const uint32_t position = file->Tell();
    const bool foundEnd = file->Seek(0, ICFile::kFromEnd);
    const uint32_t size = file->Tell();
    const bool restored = file->Seek(static_cast<int32_t>(position), ICFile::kFromStart);
    m_file = file;
    m_owned = false;
    SetSize(size);
    if (foundEnd && restored) {
        ClearError();
    }
    return !HasError();
}

void CFileInputStream::Close() {
    if (m_owned) {
        delete m_file;
    }
    m_file = nullptr;
    m_owned = false;
    SetSize(0);
}

uint32_t CFileInputStream::Available() {
    if (m_file == nullptr || HasError()) {
        return 0;
    }
    const uint32_t position = m_file->Tell();
    return position < GetSize() ? GetSize() - position : 0;
}

void CFileInputStream::Skip(uint32_t n) {
    if (n == 0) {
        return;
    }
    if (Available() < n) {
        SetError();
        return;
    }
    while (n > 0) {
        const uint32_t step = n < kLargestSeekStep ? n : kLargestSeekStep;
        if (!m_file->Seek(static_cast<int32_t>(step), ICFile::kFromCurrent)) {
            SetError();
            return;
        }
        n -= step;
    }
}

void CFileInputStream::Read(void* dst, uint32_t n) {
    if (dst == nullptr || n == 0) {
        return;
    }
    if (Available() < n || m_file->Read(dst, n) != n) {
        SetError();
    }
    if (HasError()) {
        MemSet(dst, 0, n);
    }
    ASSERT(!HasError());
}
