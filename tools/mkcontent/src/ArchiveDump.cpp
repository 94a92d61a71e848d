#include "ArchiveDump.h"

#include "ArchiveEntryCodec.h"
#include "BigArchiveReader.h"
#include "BitmapFile.h"
#include "ContentTypes.h"
#include "LittleEndianReader.h"
#include "ResourcePackReader.h"
#include "SoundScript.h"
#include "ToolFiles.h"
#include "ToolText.h"

namespace {

std::string Hex(uint32_t value) { return ToolText::Hex32(value); }

std::string DescribePairs(const std::vector<uint8_t>& payload) {
    LittleEndianReader reader(payload.data(), payload.size());
    std::string text;
    while (reader.Remaining() >= 8) {
        const uint32_t key = reader.U32();
        const uint32_t value = reader.U32();
        text += " (" + std::to_string(key) + ", " + Hex(value) + ")";
    }
    return text;
}

std::string DescribeKeyset(const std::vector<uint8_t>& payload) {
    LittleEndianReader reader(payload.data(), payload.size());
    const uint16_t count = reader.U16();
    std::string text = " " + std::to_string(count) + " handles:";
    for (uint16_t i = 0; i < count && reader.Ok(); ++i) text += " " + Hex(reader.U32());
    return reader.Ok() ? text : text + " (cut short)";
}

}  // namespace

bool ArchiveDump::Dump(const std::string& path, std::string& out, std::string& error) {
    std::vector<uint8_t> bytes;
    return ToolFiles::Read(path, bytes, error) && DumpBytes(std::move(bytes), out, error);
}

bool ArchiveDump::DumpBytes(std::vector<uint8_t> bytes, std::string& out, std::string& error) {
    BigArchiveReader archive;
    if (!archive.Parse(std::move(bytes), error)) return false;
    out.clear();
    for (const ArchiveEntryInfo& entry : archive.Entries()) out += Describe(archive, entry) + "\n";
    return true;
}

std::string ArchiveDump::Describe(const BigArchiveReader& archive, const ArchiveEntryInfo& entry) {
    std::string line = (entry.hasId ? Hex(entry.id) : std::string("(no id)   ")) + "  " +
                       ContentTypes::Describe(entry.typeWord) + "  " + std::to_string(entry.size) + " bytes";
    DecodedEntry decoded;
    std::string error;
    if (!archive.Decode(entry, decoded, error)) return line + "  cannot be decoded: " + error;
    if (decoded.compressed) line += " (deflated from " + std::to_string(decoded.payload.size()) + ")";
    if (entry.hasId && entry.id == ContentHandles::kDirectoryId) return line + "  directory" + DescribeDirectory(decoded.payload);
    return line + " " + DescribePayload(entry.typeWord, decoded.payload);
}

std::string ArchiveDump::DescribePayload(uint32_t typeWord, const std::vector<uint8_t>& payload) {
    switch (typeWord) {
        case ContentTypes::kImageDescriptor:
            return DescribePairs(payload);
        case ContentTypes::kKeyset:
            return DescribeKeyset(payload);
        case ContentTypes::kStringTable:
            return DescribeTable(payload);
        case ContentTypes::kUtf8Text:
            return " " + Quote(payload);
        case ContentTypes::kRawPcm: {
            const size_t samples = payload.size() / 2;
            return " " + std::to_string(samples) + " samples, " +
                   std::to_string(samples * 1000 / SoundScript::kSampleRate) + " ms";
        }
        case ContentTypes::kBitmap: {
            BitmapInfo info;
            std::string error;
            if (!BitmapFile::Inspect(payload, info, error)) return " " + error;
            return " " + std::to_string(info.width) + "x" + std::to_string(info.height) + ", " +
                   std::to_string(info.bitCount) + " bits, " + std::to_string(info.usedColours.size()) + " colours";
        }
        default:
            return std::string();
    }
}

std::string ArchiveDump::DescribeTable(const std::vector<uint8_t>& block) {
    ResourcePackReader pack;
    std::string error;
    if (!pack.Parse(block.data(), block.size(), error)) return " " + error;
    std::string text = " " + std::to_string(pack.Members().size()) + " members";
    for (const PackMemberInfo& member : pack.Members()) {
        DecodedEntry decoded;
        text += "\n    " + Hex(member.id) + "  ";
        if (!ArchiveEntryCodec::Decode(block.data() + member.offset, member.size, decoded, error)) {
            text += "cannot be decoded: " + error;
            continue;
        }
        text += ContentTypes::Describe(member.typeWord) + DescribePayload(member.typeWord, decoded.payload);
    }
    return text;
}

std::string ArchiveDump::DescribeDirectory(const std::vector<uint8_t>& payload) {
    LittleEndianReader reader(payload.data(), payload.size());
    const uint32_t metaCount = reader.U32();
    reader.Skip(static_cast<size_t>(metaCount) * 4);
    const uint32_t tables = reader.U32();
    const uint32_t attributeBytes = reader.U32();
    const uint32_t nameBytes = reader.U32();
    std::string text = ": " + std::to_string(metaCount) + " meta handles, " + std::to_string(tables) + " string tables";
    std::vector<uint32_t> handles;
    for (uint32_t i = 0; i < tables && reader.Ok(); ++i) handles.push_back(reader.U32());
    reader.Skip(static_cast<size_t>(tables) * attributeBytes);
    for (uint32_t i = 0; i < tables && reader.Ok(); ++i) {
        std::vector<uint8_t> name;
        for (uint32_t k = 0; k < nameBytes; ++k) {
            const uint8_t c = reader.U8();
            if (c != 0) name.push_back(c);
        }
        text += " " + Hex(i < handles.size() ? handles[i] : 0) + " " + Quote(name);
    }
    const uint32_t packs = reader.U32();
    return reader.Ok() ? text + ", " + std::to_string(packs) + " packs" : text + " (cut short)";
}

std::string ArchiveDump::Quote(const std::vector<uint8_t>& text) {
    std::string quoted = "\"";
    for (const uint8_t c : text) {
        if (c == '\n') {
            quoted += "\\n";
        } else if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}
