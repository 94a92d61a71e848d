#include "CChecksummedRecord.h"

#include "AppServices.h"
#include "CArrayInputStream.h"
#include "CArrayOutputStream.h"
#include "CAssert.h"
#include "CCrc32.h"
#include "CFileUtil.h"
#include "CStrWChar.h"
#include "ICFileMgr.h"

CChecksummedRecord::CChecksummedRecord(uint32_t classKey, const WChar* fileName, uint32_t dataBytes)
    : CSingleton(classKey), m_fileName(fileName), m_dataBytes(dataBytes) {
    ASSERT(kCrcBytes + dataBytes <= kMaxFileBytes);
}

uint32_t CChecksummedRecord::Checksum(const uint8_t* data, uint32_t size) {
    CCrc32* crc = GetCrc32();
    return crc != nullptr ? crc->Compute(data, size) : 0;
}

void CChecksummedRecord::Serialize(uint8_t* out) const {
    CArrayOutputStream data;
    data.Open(out + kCrcBytes, m_dataBytes);
    WriteData(data);
    ASSERT(!data.HasError() && data.GetPosition() == m_dataBytes);
    CArrayOutputStream crc;
    crc.Open(out, kCrcBytes);
    crc.WriteUInt32(Checksum(out + kCrcBytes, m_dataBytes));
}

bool CChecksummedRecord::Deserialize(const uint8_t* image, uint32_t size) {
    if (size != GetFileBytes()) {
        DebugPrintf("CChecksummedRecord: %u bytes where %u belong; refused", size, GetFileBytes());
        return false;
    }
    CArrayInputStream crc;
    crc.Open(image, kCrcBytes);
    if (crc.ReadUInt32() != Checksum(image + kCrcBytes, m_dataBytes)) {
        DebugPrintf("CChecksummedRecord: CRC does not match the data; refused");
        return false;
    }
    CArrayInputStream data;
    data.Open(image + kCrcBytes, m_dataBytes);
    ReadData(data);
    return !data.HasError();
}

bool CChecksummedRecord::FileExists() const {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    CFileUtil::MakeDataPath(path, m_fileName);
    return files->Exists(path.GetBuffer());
}

// The file must hold exactly the record: a longer one is no more trusted
// than a shorter one.
bool CChecksummedRecord::ReadFile(uint8_t* image) const {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    CFileUtil::MakeDataPath(path, m_fileName);
    return files->GetFileSize(path.GetBuffer()) == GetFileBytes() &&
           CFileUtil::ReadFile(path.GetBuffer(), image, GetFileBytes());
}

int32_t CChecksummedRecord::Load() {
    crcMismatch = 0;
    uint8_t image[kMaxFileBytes] = {};
    bool loaded = false;
    if (ReadFile(image)) {
        // Read into a scratch image: the record keeps its own bytes unless
        // the whole file proves sound.
        loaded = Deserialize(image, GetFileBytes());
        crcMismatch = loaded ? 0 : 1;
    } else if (FileExists()) {
        crcMismatch = 1;
    }
    if (!loaded) {
        Reset();
        Save();
    }
    AfterLoad();
    return loaded ? 1 : 0;
}

bool CChecksummedRecord::Save() const {
    uint8_t image[kMaxFileBytes] = {};
    Serialize(image);
    return CFileUtil::WriteDataFile(m_fileName, image, GetFileBytes());
}
