#ifndef CONTENTTYPES_H
#define CONTENTTYPES_H

#include <cstdint>
#include <string>

// Type words stored with archive entries and pack members: the engine's
// resource factory picks the resource class from them.
namespace ContentTypes {

constexpr uint32_t kBinary = 0x374F8659;
constexpr uint32_t kKeyset = 0x69E5D35C;
constexpr uint32_t kUtf8Text = 0xF686AADC;
constexpr uint32_t kStringTable = 0x521B2402;
constexpr uint32_t kRawPcm = 0xFD94B3C1;
// An off-screen render surface described by attribute pairs: every image the
// game names is one of these.
constexpr uint32_t kImageDescriptor = 0xE179EFBE;
constexpr uint32_t kBitmap = 0xB717945F;

// A readable name for the dump, or null for a word this tool never writes.
const char* NameOf(uint32_t typeWord);
// The name, or the word in hexadecimal.
std::string Describe(uint32_t typeWord);

}  // namespace ContentTypes

// Handles and ids as the engine's resource manager reads them.
namespace ContentHandles {

constexpr uint32_t kIdMask = 0x7FFF;
constexpr uint32_t kDirectoryId = 271;
// Text ids: a member of the selected string table.
constexpr uint32_t kTextCategory = 0x21FF0000;
constexpr uint32_t kTextCategoryMask = 0xFFFF0000;

inline uint32_t ArchiveId(uint32_t handle) { return handle & kIdMask; }
inline bool IsText(uint32_t handle) { return (handle & kTextCategoryMask) == kTextCategory; }
// A handle the resource manager resolves to a plain archive entry: no name
// key, no run-time id, no pack member, no meta or composite category.
bool IsPlainEntry(uint32_t handle);

}  // namespace ContentHandles

#endif
