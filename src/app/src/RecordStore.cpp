#include "RecordStore.h"

#include <cstdio>

#include "AppServices.h"
#include "CAssert.h"
#include "CFileUtil.h"
#include "CStrChar.h"
#include "CStrWChar.h"
#include "CMemory.h"
#include "ICFile.h"
#include "ICFileMgr.h"

namespace {

// A record of no bytes: what readers get when there is nothing to read.
RecordBytes NoRecord() { return MakeRecordBytes(nullptr, 0); }

void MakeRecordPath(CStrWChar& out, int32_t n) {
    CFileUtil::MakeDataPath(out, MakeRecordFileName(n).getBuffer());
}

// Said whether the debug log is on or not, with the folder: the player has
// a file to mend, and the game will not touch it meanwhile.
RecordBytes Unreadable(ICFileMgr& files, const CStrWChar& path, const char* why, bool* unreadable) {
    CStrChar described;
    files.DescribePath(described, path.GetBuffer());
    std::fprintf(stderr,
                 "mchvx2: the record file %s cannot be read (%s); it is left as it is, and nothing is saved in it "
                 "until the game starts again\n",
                 described.GetBuffer() != nullptr ? described.GetBuffer() : "", why);
    if (unreadable != nullptr) *unreadable = true;
    return NoRecord();
}

// The file's bytes, at most as many as the longest record holds: its
// readers take the bytes they know from the start. No record when it is
// empty; *failure says why bytes that are there could not be read.
RecordBytes ReadRecordFile(ICFile& file, int32_t n, const char** failure) {
    // Beyond what a seek reaches the file is far longer than any record.
    uint32_t size = file.Seek(0, ICFile::kFromEnd) ? file.Tell() : UINT32_MAX;
    if (size == 0) return NoRecord();
    if (size > static_cast<uint32_t>(kLongestRecordBytes)) {
        DebugPrintf("RecordStore: record %d of %u bytes is longer than any record; its first %d are read", n, size,
                    kLongestRecordBytes);
        size = static_cast<uint32_t>(kLongestRecordBytes);
    }
    const int32_t length = static_cast<int32_t>(size);
    uint8_t* storage = JNewArray<uint8_t>(length);
    if (storage == nullptr) return NoRecord();
    RecordBytes bytes(storage, length);
    // Half a record would be taken for the player's data.
    if (!file.Seek(0, ICFile::kFromStart) || file.Read(storage, size) != size) {
        *failure = "it could not be read whole";
        return NoRecord();
    }
    return bytes;
}

bool NothingThere(ICFileMgr& files, const CStrWChar& path) {
    ICFile* file = files.Open(path.GetBuffer(), ICFileMgr::kRead);
    if (file == nullptr) return files.OpenFoundNothing();
    static_cast<void>(files.Close(file));
    return false;
}

}  // namespace

// Each start writes and deletes the storage test's record: other instances
// may start beside this one, even under the instance lock on a share whose
// hosts each keep their own locks, so each has a name of its own.
JString MakeRecordFileName(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    const bool own = n == RecordId::kStorageTest && files != nullptr;
    return JString(kRecordFilePrefix) + JString::valueOf(n) + JString(own ? files->GetPrivateNamePart() : u"") +
           JString(kRecordFileSuffix);
}

RecordBytes MakeRecordBytes(const uint8_t* bytes, int32_t count) {
    uint8_t* storage = JNewArray<uint8_t>(count);
    if (storage == nullptr) return RecordBytes();
    if (count > 0) MemCopy(storage, bytes, static_cast<size_t>(count));
    return RecordBytes(storage, count);
}

RecordBytes LoadRecord(int32_t n, bool* unreadable) {
    if (unreadable != nullptr) *unreadable = false;
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return NoRecord();
    CStrWChar path;
    MakeRecordPath(path, n);
    ICFile* file = files->Open(path.GetBuffer(), ICFileMgr::kRead);
    if (file == nullptr) {
        return files->OpenFoundNothing() ? NoRecord() : Unreadable(*files, path, files->OpenFailure(), unreadable);
    }
    const char* failure = nullptr;
    RecordBytes bytes = ReadRecordFile(*file, n, &failure);
    // Closing a file only read loses nothing that was read.
    static_cast<void>(files->Close(file));
    return failure == nullptr ? bytes : Unreadable(*files, path, failure, unreadable);
}

bool SaveRecord(int32_t n, const RecordBytes& bytes) {
    const int32_t length = bytes.getData() == nullptr ? 0 : bytes.length();
    const bool ok = CFileUtil::WriteDataFile(MakeRecordFileName(n).getBuffer(), bytes.getData(),
                                             static_cast<uint32_t>(length));
    if (!ok) DebugPrintf("RecordStore: record %d could not be written; the old one stays", n);
    return ok;
}

// Deleting a file asks nothing of the file itself: one that cannot be read
// is deleted all the same, and only one that is not there at all counts as
// gone without it.
bool DeleteRecord(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    MakeRecordPath(path, n);
    if (files->Delete(path.GetBuffer()) || NothingThere(*files, path)) return true;
    DebugPrintf("RecordStore: record %d could not be deleted; it stays", n);
    return false;
}

bool RecordExists(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    MakeRecordPath(path, n);
    return files->Exists(path.GetBuffer());
}
