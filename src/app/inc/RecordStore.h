#ifndef RECORDSTORE_H
#define RECORDSTORE_H

#include <cstdint>

#include "JSmartObject.h"
#include "JString.h"

// The game's numbered records: each a file of raw bytes in the data
// directory, "mchvx2_save<n>.dat", read and written whole. The storage
// test's record has the file manager's private name part after its number.

using RecordBytes = JSmartObject<uint8_t>;

constexpr char kRecordFilePrefix[] = "mchvx2_save";
constexpr char kRecordFileSuffix[] = ".dat";

// The record numbers in use.
namespace RecordId {
constexpr int32_t kSettings = 0;
constexpr int32_t kProgress = 1;
constexpr int32_t kLevelState = 2;
constexpr int32_t kStorageTest = 9;
}  // namespace RecordId

// No record holds more (the storage test's is the longest); of a longer
// file no more is read.
constexpr int32_t kLongestRecordBytes = 100;

JString MakeRecordFileName(int32_t n);
// The whole record, or the first kLongestRecordBytes of a longer file (its
// readers take the bytes they know from the start); empty when there is
// none or it is empty (its readers then keep their defaults). A record file
// that is there but cannot be read is empty too, and sets *unreadable: it
// must then be left as it is, and standard error has said which and why.
[[nodiscard]] RecordBytes LoadRecord(int32_t n, bool* unreadable = nullptr);
// Through a temporary file, so that a failed write leaves the old record as
// it was. An empty array deletes the record. True when the record now holds
// the bytes.
[[nodiscard]] bool SaveRecord(int32_t n, const RecordBytes& bytes);
RecordBytes MakeRecordBytes(const uint8_t* bytes, int32_t count);
// True when no record file is left: deleted, or never there.
[[nodiscard]] bool DeleteRecord(int32_t n);
[[nodiscard]] bool RecordExists(int32_t n);

#endif
