#include "RecordStore.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CFileUtil.h"
#include "CStrWChar.h"
#include "CMemory.h"
#include "ICFileMgr.h"

namespace {

constexpr char kPrefix[] = "mchvx2_save";
constexpr char kSuffix[] = ".dat";

// A record of no bytes: what readers get when there is nothing to read.
RecordBytes NoRecord() { return MakeRecordBytes(nullptr, 0); }

void MakeRecordPath(CStrWChar& out, int32_t n) {
    CFileUtil::MakeDataPath(out, MakeRecordFileName(n).getBuffer());
}

}  // namespace

JString MakeRecordFileName(int32_t n) { return JString(kPrefix) + JString::valueOf(n) + JString(kSuffix); }

RecordBytes MakeRecordBytes(const uint8_t* bytes, int32_t count) {
    uint8_t* storage = JNewArray<uint8_t>(count);
    if (storage == nullptr) return RecordBytes();
    if (count > 0) MemCopy(storage, bytes, static_cast<size_t>(count));
    return RecordBytes(storage, count);
}

RecordBytes LoadRecord(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return NoRecord();
    CStrWChar path;
    MakeRecordPath(path, n);
    const uint32_t size = files->GetFileSize(path.GetBuffer());
    if (size == 0 || size > static_cast<uint32_t>(INT32_MAX)) return NoRecord();
    const int32_t length = static_cast<int32_t>(size);
    uint8_t* storage = JNewArray<uint8_t>(length);
    if (storage == nullptr) return NoRecord();
    RecordBytes bytes(storage, length);
    // Bytes that could not be read are no record: half a record would be
    // taken for the player's data.
    if (!CFileUtil::ReadFile(path.GetBuffer(), storage, size)) {
        DebugPrintf("RecordStore: record %d could not be read whole; ignored", n);
        return NoRecord();
    }
    return bytes;
}

bool SaveRecord(int32_t n, const RecordBytes& bytes) {
    const int32_t length = bytes.getData() == nullptr ? 0 : bytes.length();
    const bool ok = CFileUtil::WriteDataFile(MakeRecordFileName(n).getBuffer(), bytes.getData(),
                                             static_cast<uint32_t>(length));
    if (!ok) DebugPrintf("RecordStore: record %d could not be written; the old one stays", n);
    return ok;
}

void DeleteRecord(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return;
    CStrWChar path;
    MakeRecordPath(path, n);
    if (files->Exists(path.GetBuffer())) files->Delete(path.GetBuffer());
}

bool RecordExists(int32_t n) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    MakeRecordPath(path, n);
    return files->Exists(path.GetBuffer());
}
