#ifndef CFILE_WIN32_H
#define CFILE_WIN32_H

#include "ICFile.h"
#include "WinCeFile.h"

// An open file over a platform file handle; the file manager makes them.
class CFile_Win32 : public ICFile {
public:
    // A closed file object, or null when memory is exhausted.
    static CFile_Win32* Create();

    CFile_Win32() = default;
    // Flushes and closes the handle when open.
    ~CFile_Win32() override;

    CFile_Win32(const CFile_Win32&) = delete;
    CFile_Win32& operator=(const CFile_Win32&) = delete;

    bool IsOpen() override;
    bool Seek(int32_t offset, uint32_t origin) override;
    uint32_t Tell() override;
    uint32_t Read(void* dst, uint32_t n) override;
    uint32_t Write(const void* src, uint32_t n) override;

private:
    friend class CFileMgr_Win32;

    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

#endif
