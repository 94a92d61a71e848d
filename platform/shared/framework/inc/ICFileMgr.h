#ifndef ICFILEMGR_H
#define ICFILEMGR_H

#include "CSingleton.h"

class CStrChar;
class ICFile;

// The engine's only way to the file system, an engine singleton. Paths are
// wide texts with the separator of GetPathSeparator between their parts.
class ICFileMgr : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x70FA1BDF;

    // Open modes.
    static constexpr uint32_t kRead = 0;
    // Create, or truncate an existing file.
    static constexpr uint32_t kWrite = 1;
    // Create, or keep an existing file's content; writing starts at 0.
    static constexpr uint32_t kAppend = 2;
    // Create where nothing is; fails when anything is at the path.
    static constexpr uint32_t kCreateNew = 3;

    ICFileMgr() : CSingleton(kClassKey) {}
    ~ICFileMgr() override = default;

    // Directories without a trailing separator.
    virtual const WChar* GetAppDirectory() = 0;
    virtual const WChar* GetDataDirectory() = 0;
    virtual const WChar* GetPathSeparator() = 0;

    // A new open file, or null.
    [[nodiscard]] virtual ICFile* Open(const WChar* path, uint32_t mode) = 0;
    // After an Open that gave null: true when nothing is at the path, false
    // when something is there that could not be opened, which a reader must
    // not take for a file that does not exist.
    virtual bool OpenFoundNothing() { return true; }
    // Why the last Open gave null, in a few words for a message.
    virtual const char* OpenFailure() { return "no such file"; }
    // A new file, open for writing, that a safe write of `path` fills in its
    // folder before it puts it in place: one no other process fills,
    // renames or removes meanwhile. Null when none can be made.
    [[nodiscard]] virtual ICFile* CreateSafeWriteTemp(const WChar* path) = 0;
    // Flushes and closes the temporary, and puts it in place of `path` in
    // one step, so that the file holds either its old content or the new
    // one at every moment; the temporary is gone in every case, and the old
    // file stays on failure. Deletes `temp`.
    [[nodiscard]] virtual bool ReplaceWithSafeWriteTemp(ICFile* temp, const WChar* path) = 0;
    // Closes the temporary and removes its file. Deletes `temp`.
    virtual void DiscardSafeWriteTemp(ICFile* temp) = 0;
    // A part for the names of files only this instance writes and removes,
    // which no other instance running beside it is given; empty where none
    // can run beside it.
    virtual const WChar* GetPrivateNamePart() { return u""; }
    // `path` as the system that holds the files names it, for a message.
    virtual void DescribePath(CStrChar& out, const WChar* path) = 0;
    // Closes and deletes the file; null is ignored. False when closing a
    // file opened for writing reported an error: what was written may then
    // not be on the storage, as after a failed write.
    [[nodiscard]] virtual bool Close(ICFile* file) = 0;
    [[nodiscard]] virtual bool Exists(const WChar* path) = 0;
    // 0 for a missing file as for an empty one.
    virtual uint32_t GetFileSize(const WChar* path) = 0;
    [[nodiscard]] virtual bool Rename(const WChar* from, const WChar* to) = 0;
    [[nodiscard]] virtual bool Delete(const WChar* path) = 0;
    // Operations this platform does not offer: each answers 0.
    virtual int32_t UnsupportedOp1() = 0;
    virtual int32_t UnsupportedOp2() = 0;
    virtual int32_t UnsupportedOp3() = 0;
    // Bytes the application may store.
    virtual uint32_t GetSpaceLimit() = 0;
};

#endif
