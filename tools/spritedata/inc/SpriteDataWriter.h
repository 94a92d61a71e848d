#ifndef SPRITEDATAWRITER_H
#define SPRITEDATAWRITER_H

// Writes the sprite module's data in the byte formats its readers expect:
//
//   std::string error;
//   spritedata::Definition definition = ...;   // see SpriteData.h
//   std::vector<spritedata::SpriteSet> sets = ...;
//   std::vector<std::vector<uint8_t>> images = ...;  // BMP files, by imageIndex
//   BigArchiveWriter archive(IdTableForm::List);
//   if (!SpriteDataChecker::Check(definition, sets, &error) ||
//       !SpriteDataWriter::AddToArchive(archive, spritedata::Ids(), definition, sets, images, true, &error)) ...
//
// The encoders write what they are given, checking only that every count
// and index fits its stored field; SpriteDataChecker checks the rules the
// game relies on. Every failure answers false with a reason in `error`.

#include <cstdint>
#include <string>
#include <vector>

#include "SpriteData.h"

class BigArchiveWriter;

class SpriteDataWriter {
public:
    // The key set's resource, the entry that locates everything else.
    static constexpr uint32_t kKeysetId = 0x0500010E;
    // Archive type words of the entries.
    static constexpr uint32_t kKeysetType = 0x69E5D35C;
    static constexpr uint32_t kBinaryType = 0x374F8659;
    static constexpr uint32_t kBmpType = 0xB717945F;
    // The resource manager's directory entry and its empty content.
    static constexpr uint32_t kDirectoryArchiveId = 271;
    static constexpr size_t kEmptyDirectorySize = 20;

    // u16 count, then the three ids.
    static std::vector<uint8_t> EncodeKeyset(const spritedata::Ids& ids);
    static bool EncodeDefinition(const spritedata::Definition& definition, std::vector<uint8_t>* out,
                                 std::string* error);
    // A set's sprites carry one bit per image module of the definition.
    static bool EncodeSet(const spritedata::SpriteSet& set, uint16_t imageModuleCount, std::vector<uint8_t>* out,
                          std::string* error);

    // The key set, the definition, every set (set s at ids.setBase + s) and
    // every image (images[k] at ids.imageBase + k; empty ones are skipped),
    // deflated or stored. Sets beyond definition.setCount are refused.
    static bool AddToArchive(BigArchiveWriter& archive, const spritedata::Ids& ids,
                             const spritedata::Definition& definition,
                             const std::vector<spritedata::SpriteSet>& sets,
                             const std::vector<std::vector<uint8_t>>& images, bool deflate, std::string* error);
    // The empty directory the resource manager needs to open an archive that
    // holds nothing else of its.
    static bool AddEmptyDirectory(BigArchiveWriter& archive, std::string* error);

    // The archive id (low 15 bits) of a plain handle.
    static uint32_t ArchiveId(uint32_t handle) { return handle & 0x7FFF; }
};

#endif
