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
    // Closes the handle when open.
    ~CFile_Win32() override;

    CFile_Win32(const CFile_Win32&) = delete;
    CFile_Win32& operator=(const CFile_Win32&) = delete;

    bool IsOpen() override;
    bool Seek(int32_t offset, uint32_t origin) override;
    uint32_t Tell() override;
    uint32_t Read(void* dst, uint32_t n) override;
    uint32_t Write(const void* src, uint32_t n) override;
    // Flushes a file opened for writing to the storage and closes it; false
    // when either reported an error, when what was written may not be
    // there. The file is closed in every case; a closed one answers true.
    bool Close();

private:
    friend class CFileMgr_Win32;

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    // Only a file opened for writing has anything to flush.
    bool m_writable = false;
};

#endif
