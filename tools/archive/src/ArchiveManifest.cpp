#include "ArchiveManifest.h"

#include "ArchiveEntryCodec.h"
#include "ToolFiles.h"
#include "ToolText.h"

#include <sstream>

namespace {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool ParseChoice(const std::string& value, const std::vector<std::string>& choices, size_t& index) {
    for (size_t i = 0; i < choices.size(); ++i) {
        if (value == choices[i]) {
            index = i;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ArchiveManifest::Load(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ToolFiles::Read(path, bytes, error)) return false;
    if (!Parse(std::string(bytes.begin(), bytes.end()), DirectoryOf(path), error)) {
        error = path + ":" + error;
        return false;
    }
    return true;
}

bool ArchiveManifest::Parse(const std::string& text, const std::string& baseDirectory, std::string& error) {
    m_form = IdTableForm::List;
    m_baseDirectory = baseDirectory;
    m_items.clear();
    m_inPack = false;
    std::istringstream lines(text);
    std::string line;
    std::vector<std::string> words;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string lineError;
        if (!ToolText::SplitWords(line, words)) {
            lineError = "unclosed quote";
        } else if (!words.empty()) {
            ParseLine(words, lineError);
        }
        if (!lineError.empty()) {
            error = std::to_string(number) + ": " + lineError;
            return false;
        }
    }
    if (m_inPack) {
        error = "end of file: pack " + std::to_string(m_items.back().id) + " has no 'end'";
        return false;
    }
    return true;
}

bool ArchiveManifest::ParseLine(const std::vector<std::string>& words, std::string& error) {
    const std::string& keyword = words[0];
    if (keyword == "ranges" && words.size() == 1 && m_items.empty()) {
        m_form = IdTableForm::Ranges;
        return true;
    }
    if (keyword == "ranges") {
        error = "'ranges' takes no arguments and comes before the first entry";
        return false;
    }
    if (keyword == "end" && m_inPack && words.size() == 1) {
        m_inPack = false;
        return true;
    }
    const bool isEntry = keyword == "entry" || keyword == "pack";
    if ((isEntry && m_inPack) || (keyword == "member" && !m_inPack) || keyword == "end") {
        error = "'" + keyword + (m_inPack ? "' inside a pack (close it with 'end')" : "' outside a pack");
        return false;
    }
    if (!isEntry && keyword != "member") {
        error = "unknown statement '" + keyword + "'";
        return false;
    }
    Item item;
    if (!ParseItem(words, keyword != "pack", item, error)) return false;
    if (keyword == "member") {
        m_items.back().members.push_back(item);
    } else {
        m_items.push_back(item);
        m_inPack = keyword == "pack";
    }
    return true;
}

bool ArchiveManifest::ParseItem(const std::vector<std::string>& words, bool isFile, Item& item,
                                std::string& error) const {
    const size_t fixedWords = isFile ? 4 : 3;
    if (words.size() < fixedWords) {
        error = "'" + words[0] + "' needs ID TYPE" + (isFile ? " PATH" : "");
        return false;
    }
    if (!ToolText::ParseU32(words[1], item.id) || !ToolText::ParseU32(words[2], item.typeWord)) {
        error = "'" + words[1] + "' or '" + words[2] + "' is not a number";
        return false;
    }
    if (isFile) item.path = m_baseDirectory + words[3];
    for (size_t i = fixedWords; i < words.size(); ++i) {
        if (!ParseOption(words[i], isFile, item, error)) return false;
    }
    return true;
}

bool ArchiveManifest::ParseOption(const std::string& word, bool isFile, Item& item, std::string& error) const {
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
    size_t choice = 0;
    uint32_t number = 0;
    bool valid = false;
    if (word == "deflate" || word == "stored") {
        item.deflate = word == "deflate";
        valid = true;
    } else if (name == "header" && ToolText::ParseU32(value, number) && number >= 4 && number <= UINT16_MAX) {
        item.headerSize = static_cast<uint16_t>(number);
        valid = true;
    } else if (!isFile && name == "ids" && ParseChoice(value, {"auto", "listed", "consecutive"}, choice)) {
        item.pack.idForm = static_cast<PackIdForm>(choice);
        valid = true;
    } else if (!isFile && name == "offsets" && ParseChoice(value, {"auto", "16", "32"}, choice)) {
        item.pack.offsets = static_cast<PackOffsetWidth>(choice);
        valid = true;
    } else if (!isFile && name == "words" && ParseChoice(value, {"no", "yes"}, choice)) {
        item.pack.typeWords = choice == 1;
        valid = true;
    }
    if (!valid) error = "bad option '" + word + "'";
    return valid;
}

bool ArchiveManifest::EncodePack(const Item& item, std::vector<uint8_t>& block, std::string& error) const {
    ResourcePackWriter pack(item.pack);
    for (const Item& member : item.members) {
        std::vector<uint8_t> entry;
        if (!EncodeItem(member, entry, error) || !pack.Add(member.id, member.typeWord, std::move(entry), error)) {
            return false;
        }
    }
    return pack.Build(block, error);
}

bool ArchiveManifest::EncodeItem(const Item& item, std::vector<uint8_t>& entry, std::string& error) const {
    std::vector<uint8_t> payload;
    const bool read = item.path.empty() ? EncodePack(item, payload, error)
                                        : ToolFiles::Read(item.path, payload, error);
    if (!read) return false;
    if (!ArchiveEntryCodec::Encode(payload, item.deflate, item.headerSize, entry, error)) {
        error = "entry " + std::to_string(item.id) + ": " + error;
        return false;
    }
    return true;
}

bool ArchiveManifest::Build(std::vector<uint8_t>& out, std::string& error) const {
    BigArchiveWriter writer(m_form);
    for (const Item& item : m_items) {
        std::vector<uint8_t> entry;
        if (!EncodeItem(item, entry, error) || !writer.Add(item.id, item.typeWord, std::move(entry), error)) {
            return false;
        }
    }
    return writer.Build(out, error);
}
