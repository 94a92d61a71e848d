#include "ContentArchive.h"

#include "ArchiveEntryCodec.h"
#include "ContentTypes.h"
#include "LittleEndianWriter.h"
#include "StringTableSource.h"
#include "ToolFiles.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr uint32_t kAttributeBytes = 4;
constexpr uint32_t kNameBytes = 16;

void WriteFixed(LittleEndianWriter& writer, const std::string& text, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i) writer.U8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

}  // namespace

bool ContentArchive::Deflates(uint32_t typeWord, bool deflate) {
    return deflate && typeWord != ContentTypes::kBitmap && typeWord != ContentTypes::kImageDescriptor;
}

std::vector<uint8_t> ContentArchive::Directory(const std::vector<StringTable>& tables) {
    std::vector<uint8_t> out;
    LittleEndianWriter writer(out);
    writer.U32(0);  // meta handles
    writer.U32(static_cast<uint32_t>(tables.size()));
    writer.U32(kAttributeBytes);
    writer.U32(kNameBytes);
    for (const StringTable& table : tables) writer.U32(table.handle);
    for (const StringTable& table : tables) WriteFixed(writer, table.language, kAttributeBytes);
    for (const StringTable& table : tables) WriteFixed(writer, table.name, kNameBytes);
    writer.U32(0);  // packs
    return out;
}

bool ContentArchive::Fill(const CompiledContent& content, bool deflate, BigArchiveWriter& writer, std::string& error) {
    const uint16_t header = ArchiveEntryCodec::kMinHeaderSize;
    for (const ContentEntry& entry : content.entries) {
        if (!writer.AddPayload(ContentHandles::ArchiveId(entry.handle), entry.typeWord, entry.payload,
                               Deflates(entry.typeWord, deflate), header, error)) {
            error = entry.origin.Describe() + ": " + error;
            return false;
        }
    }
    for (const StringTable& table : content.tables) {
        std::vector<uint8_t> block;
        if (!StringTableSource::BuildPack(table.texts, false, block, error) ||
            !writer.AddPayload(ContentHandles::ArchiveId(table.handle), ContentTypes::kStringTable, block,
                               Deflates(ContentTypes::kStringTable, deflate), header, error)) {
            error = table.place.Describe() + ": " + error;
            return false;
        }
    }
    return writer.AddPayload(ContentHandles::kDirectoryId, ContentTypes::kBinary, Directory(content.tables),
                             Deflates(ContentTypes::kBinary, deflate), header, error);
}

bool ContentArchive::WriteReplacing(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string temporary = path + ".tmp";
    if (!ToolFiles::Write(temporary, bytes, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot replace " + path;
        return false;
    }
    return true;
}

bool ContentArchive::WriteAll(const CompiledContent& content, bool deflate, const std::string& directory,
                              std::string& error) {
    BigArchiveWriter writer(IdTableForm::List);
    std::vector<uint8_t> archive;
    if (!Fill(content, deflate, writer, error) || !writer.Build(archive, error)) return false;
    const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    std::error_code failure;
    if (!directory.empty()) std::filesystem::create_directories(directory, failure);
    if (failure) {
        error = "cannot make " + directory + ": " + failure.message();
        return false;
    }
    if (!WriteReplacing(prefix + kArchiveName, archive, error)) return false;
    for (const ConfigFile& file : content.configs) {
        if (!WriteReplacing(prefix + file.name, file.bytes, error)) return false;
    }
    return true;
}
