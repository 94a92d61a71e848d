#include "CFileUtil.h"

#include "AppServices.h"
#include "CStrWChar.h"
#include "ICFile.h"
#include "ICFileMgr.h"

namespace {
constexpr WChar kDefaultSeparator = u'\\';

// Opens, moves the bytes with `transfer` and closes; true when all `size`
// bytes moved and the close reported no error.
template <typename Transfer>
bool TransferWholeFile(const WChar* path, uint32_t mode, uint32_t size, Transfer transfer) {
    ICFileMgr* files = GetFileMgr();
    ICFile* file = files == nullptr ? nullptr : files->Open(path, mode);
    if (file == nullptr) {
        return false;
    }
    const bool moved = transfer(file) == size;
    const bool closed = files->Close(file);
    return moved && closed;
}
}  // namespace

WChar CFileUtil::Separator() {
    ICFileMgr* files = GetFileMgr();
    return files == nullptr ? kDefaultSeparator : files->GetPathSeparator()[0];
}

void CFileUtil::JoinPath(CStrWChar& out, const WChar* directory, const WChar* name) {
    out = directory;
    const int32_t length = out.GetLength();
    // A root directory already ends with the separator.
    if (length > 0 && out.GetBuffer()[length - 1] != Separator()) {
        const WChar separator[] = {Separator(), 0};
        out += separator;
    }
    out += name;
}

void CFileUtil::GetDirectory(CStrWChar& out, const WChar* path) {
    out.Release();
    if (path == nullptr) {
        return;
    }
    const CStrWChar whole(path);
    const int32_t last = static_cast<int32_t>(whole.FindChar(0, Separator()));
    if (last == 0) {
        out = whole.Substring(0, 0);
    } else if (last > 0) {
        out = whole.Substring(0, last - 1);
    }
}

void CFileUtil::GetFileName(CStrWChar& out, const WChar* path) {
    out.Release();
    if (path == nullptr) {
        return;
    }
    const CStrWChar whole(path);
    const int32_t last = static_cast<int32_t>(whole.FindChar(0, Separator()));
    out = last < 0 ? whole : whole.Substring(last + 1, whole.GetLength() - 1);
}

void CFileUtil::MakeAppPath(CStrWChar& out, const WChar* name) {
    ICFileMgr* files = GetFileMgr();
    JoinPath(out, files == nullptr ? nullptr : files->GetAppDirectory(), name);
}

void CFileUtil::MakeDataPath(CStrWChar& out, const WChar* name) {
    ICFileMgr* files = GetFileMgr();
    JoinPath(out, files == nullptr ? nullptr : files->GetDataDirectory(), name);
}

bool CFileUtil::ReadFile(const WChar* path, void* dst, uint32_t size) {
    if (dst == nullptr || size == 0) {
        return true;
    }
    return TransferWholeFile(path, ICFileMgr::kRead, size, [dst, size](ICFile* file) { return file->Read(dst, size); });
}

bool CFileUtil::WriteFile(const WChar* path, const void* src, uint32_t size) {
    return WriteWholeFile(path, ICFileMgr::kWrite, src, size);
}

bool CFileUtil::WriteWholeFile(const WChar* path, uint32_t mode, const void* src, uint32_t size) {
    if (src == nullptr || size == 0) {
        return false;
    }
    return TransferWholeFile(path, mode, size, [src, size](ICFile* file) { return file->Write(src, size); });
}

bool CFileUtil::SafeWriteFile(const WChar* path, const void* src, uint32_t size) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) {
        return false;
    }
    if (src == nullptr || size == 0) {
        return files->Delete(path) || !files->Exists(path);
    }
    ICFile* temp = files->CreateSafeWriteTemp(path);
    if (temp == nullptr) {
        return false;
    }
    if (temp->Write(src, size) != size) {
        files->DiscardSafeWriteTemp(temp);
        return false;
    }
    // The rename replaces the old file in one step; deleting it first would
    // leave neither file behind should the rename then fail.
    return files->ReplaceWithSafeWriteTemp(temp, path);
}

bool CFileUtil::ReadAppFile(const WChar* name, void* dst, uint32_t size) {
    CStrWChar path;
    MakeAppPath(path, name);
    return ReadFile(path.GetBuffer(), dst, size);
}

bool CFileUtil::ReadDataFile(const WChar* name, void* dst, uint32_t size) {
    CStrWChar path;
    MakeDataPath(path, name);
    return ReadFile(path.GetBuffer(), dst, size);
}

bool CFileUtil::WriteDataFileDirect(const WChar* name, const void* src, uint32_t size) {
    CStrWChar path;
    MakeDataPath(path, name);
    return WriteFile(path.GetBuffer(), src, size);
}

bool CFileUtil::WriteDataFile(const WChar* name, const void* src, uint32_t size) {
    CStrWChar path;
    MakeDataPath(path, name);
    return SafeWriteFile(path.GetBuffer(), src, size);
}
