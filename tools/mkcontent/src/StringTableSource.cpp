#include "StringTableSource.h"

#include "ArchiveEntryCodec.h"
#include "ContentTypes.h"
#include "ResourcePackWriter.h"
#include "ToolText.h"

namespace {

bool StartsWithSpace(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

}  // namespace

bool StringTableSource::Parse(const SourceText& source, std::vector<ContentEntry>& texts, std::string& error) {
    for (size_t i = 0; i < source.LineCount(); ++i) {
        const std::string& raw = source.Raw(i);
        const std::string trimmed = Trim(raw);
        const SourcePlace place = source.PlaceOf(i);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        std::string text;
        if (StartsWithSpace(raw)) {
            if (texts.empty()) return SourceText::Fail(place, "a continuation line before the first text", error);
            if (!Unescape(trimmed, place, text, error)) return false;
            std::vector<uint8_t>& soFar = texts.back().payload;
            if (!soFar.empty() && soFar.back() != '\n') soFar.push_back(' ');
            soFar.insert(soFar.end(), text.begin(), text.end());
            continue;
        }
        const size_t idEnd = trimmed.find_first_of(" \t");
        uint32_t handle = 0;
        if (!ToolText::ParseU32(trimmed.substr(0, idEnd), handle) || !ContentHandles::IsText(handle)) {
            return SourceText::Fail(place, "a text line starts with its id, 0x21FFxxxx", error);
        }
        if (!Unescape(idEnd == std::string::npos ? std::string() : Trim(trimmed.substr(idEnd)), place, text, error)) {
            return false;
        }
        for (const ContentEntry& known : texts) {
            if (known.handle == handle) {
                return SourceText::Fail(place, "text " + ToolText::Hex32(handle) + " is already defined at " +
                                                   known.origin.Describe(),
                                        error);
            }
        }
        texts.push_back({handle, ContentTypes::kUtf8Text, std::vector<uint8_t>(text.begin(), text.end()), place});
    }
    return true;
}

bool StringTableSource::Unescape(const std::string& text, const SourcePlace& place, std::string& out,
                                 std::string& error) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == 'n') {
            out += '\n';
        } else if (next == '\\') {
            out += '\\';
        } else {
            return SourceText::Fail(place, "only \\n and \\\\ are escapes", error);
        }
        ++i;
    }
    return true;
}

bool StringTableSource::BuildPack(const std::vector<ContentEntry>& texts, bool deflate, std::vector<uint8_t>& block,
                                  std::string& error) {
    PackOptions options;
    options.idForm = PackIdForm::Listed;
    options.offsets = PackOffsetWidth::Bits32;
    options.typeWords = true;
    ResourcePackWriter pack(options);
    for (const ContentEntry& text : texts) {
        std::vector<uint8_t> entry;
        if (!ArchiveEntryCodec::Encode(text.payload, deflate, ArchiveEntryCodec::kMinHeaderSize, entry, error) ||
            !pack.Add(ContentHandles::ArchiveId(text.handle), text.typeWord, entry, error)) {
            error = text.origin.Describe() + ": " + error;
            return false;
        }
    }
    return pack.Build(block, error);
}
