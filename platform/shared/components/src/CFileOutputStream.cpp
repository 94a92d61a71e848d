#include "CFileOutputStream.h"

#include "AppServices.h"
#include "CAssert.h"
#include "ICFile.h"
#include "ICFileMgr.h"

CFileOutputStream::~CFileOutputStream() {
    Close();
}

bool CFileOutputStream::Open(const WChar* path) {
    Close();
    ICFileMgr* files = GetFileMgr();
    m_file = files == nullptr ? nullptr : files->Open(path, ICFileMgr::kWrite);
    if (m_file == nullptr) {
        SetError();
        return false;
    }
    ClearError();
    return true;
}

void CFileOutputStream::Close() {
    delete m_file;
    m_file = nullptr;
}

void CFileOutputStream::Write(const void* src, uint32_t n) {
    if (m_file == nullptr || m_file->Write(src, n) != n) {
        SetError();
    }
    ASSERT(!HasError());
}
