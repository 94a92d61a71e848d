#ifndef CFILEMGR_WIN32_H
#define CFILEMGR_WIN32_H

#include "ICFileMgr.h"
#include "WinCeError.h"
#include "WinCeFile.h"

#include <string>

// The file manager over the platform's file calls. Its base directory, the
// directory of the executable, serves as both application and data
// directory.
class CFileMgr_Win32 : public ICFileMgr {
public:
    // Constructs and registers the singleton; null when memory is exhausted.
    static CFileMgr_Win32* Create();

    CFileMgr_Win32();
    ~CFileMgr_Win32() override = default;

    const WChar* GetAppDirectory() override { return m_baseDirectory; }
    const WChar* GetDataDirectory() override { return m_baseDirectory; }
    const WChar* GetPathSeparator() override;

    ICFile* Open(const WChar* path, uint32_t mode) override;
    bool OpenFoundNothing() override;
    const char* OpenFailure() override;
    ICFile* CreateSafeWriteTemp(const WChar* path) override;
    bool ReplaceWithSafeWriteTemp(ICFile* temp, const WChar* path) override;
    void DiscardSafeWriteTemp(ICFile* temp) override;
    const WChar* GetPrivateNamePart() override;
    void DescribePath(CStrChar& out, const WChar* path) override;
    bool Close(ICFile* file) override;
    bool Exists(const WChar* path) override;
    uint32_t GetFileSize(const WChar* path) override;
    bool Rename(const WChar* from, const WChar* to) override;
    bool Delete(const WChar* path) override;
    int32_t UnsupportedOp1() override;
    int32_t UnsupportedOp2() override;
    int32_t UnsupportedOp3() override;
    uint32_t GetSpaceLimit() override { return 0x7FFFFFFF; }

private:
    // The directory part of the executable's path, or the whole path when
    // it has no separator.
    void FindBaseDirectory();
    // Gives up the platform handle of a file this manager opened (the
    // object then holds none) and deletes the object.
    static HANDLE TakeHandle(ICFile* file);

    WChar m_baseDirectory[MAX_PATH];
    // The last error of the last Open that failed.
    DWORD m_openError = ERROR_SUCCESS;
    // The last part GetPrivateNamePart gave.
    std::u16string m_privateNamePart;
};

#endif
