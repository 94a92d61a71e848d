#include "CFile_Win32.h"

#include "CAssert.h"

namespace {

DWORD SeekMethod(uint32_t origin) {
    switch (origin) {
        case ICFile::kFromStart:
            return FILE_BEGIN;
        case ICFile::kFromCurrent:
            return FILE_CURRENT;
        case ICFile::kFromEnd:
            return FILE_END;
        default:
            ASSERT(false);
            return FILE_BEGIN;
    }
}

}  // namespace

CFile_Win32* CFile_Win32::Create() {
    return new CFile_Win32();
}

CFile_Win32::~CFile_Win32() {
    Close();
}

bool CFile_Win32::Close() {
    if (!IsOpen()) {
        return true;
    }
    const bool flushed = !m_writable || FlushFileBuffers(m_handle) != 0;
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = INVALID_HANDLE_VALUE;
    return flushed && closed;
}

bool CFile_Win32::IsOpen() {
    return m_handle != INVALID_HANDLE_VALUE;
}

bool CFile_Win32::Seek(int32_t offset, uint32_t origin) {
    if (!IsOpen()) {
        return false;
    }
    return SetFilePointer(m_handle, offset, nullptr, SeekMethod(origin)) != INVALID_SET_FILE_POINTER;
}

uint32_t CFile_Win32::Tell() {
    if (!IsOpen()) {
        return 0;
    }
    const DWORD position = SetFilePointer(m_handle, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER ? 0 : position;
}

uint32_t CFile_Win32::Read(void* dst, uint32_t n) {
    DWORD bytesRead = 0;
    if (IsOpen()) {
        // The count tells the caller what came; one short of `n` is its failure.
        static_cast<void>(ReadFile(m_handle, dst, n, &bytesRead, nullptr));
    }
    return bytesRead;
}

uint32_t CFile_Win32::Write(const void* src, uint32_t n) {
    DWORD bytesWritten = 0;
    if (IsOpen()) {
        // The count tells the caller what went out; one short of `n` is its failure.
        static_cast<void>(WriteFile(m_handle, src, n, &bytesWritten, nullptr));
    }
    return bytesWritten;
}
