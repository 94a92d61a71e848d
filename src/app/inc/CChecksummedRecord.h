#ifndef CCHECKSUMMEDRECORD_H
#define CCHECKSUMMEDRECORD_H

#include <cstdint>

#include "CSingleton.h"
#include "EngineTypes.h"

class CInputStream;
class COutputStream;

// A small record file of the data directory led by the CRC-32 of the data
// behind it (stored little-endian). A file that is missing, of the wrong
// size or fails its CRC is never taken: the record returns to its defaults
// and writes them back.
class CChecksummedRecord : public CSingleton {
public:
    static constexpr uint32_t kCrcBytes = 4;
    // The largest record (the high-score table).
    static constexpr uint32_t kMaxFileBytes = 96;

    ~CChecksummedRecord() override = default;

    // 1 when the file was read whole and its CRC matched, else 0 (the
    // defaults are then in place and written).
    int32_t Load();
    // Writes the CRC and the data through a temporary file; false when the file
    // could not be written (the old file then stays).
    bool Save() const;
    virtual void Reset() = 0;
    // Set by Load when a file was there but not sound (bad CRC or size).
    bool HasCrcMismatch() const { return crcMismatch != 0; }
    uint32_t GetFileBytes() const { return kCrcBytes + m_dataBytes; }

    // The record's data as it would be stored, into `out` (room for
    // GetFileBytes()), CRC first.
    void Serialize(uint8_t* out) const;
    // Takes a whole file image when its size and CRC are right; false
    // (nothing changed) otherwise, with the reason in the debug log.
    bool Deserialize(const uint8_t* image, uint32_t size);

protected:
    CChecksummedRecord(uint32_t classKey, const WChar* fileName, uint32_t dataBytes);

    virtual void WriteData(COutputStream& out) const = 0;
    virtual void ReadData(CInputStream& in) = 0;
    // Runs at the end of every Load, whatever the file held.
    virtual void AfterLoad() {}

private:
    static uint32_t Checksum(const uint8_t* data, uint32_t size);
    bool ReadFile(uint8_t* image) const;
    bool FileExists() const;

    const WChar* m_fileName;
    uint32_t m_dataBytes;
    uint8_t crcMismatch = 0;
};

#endif
