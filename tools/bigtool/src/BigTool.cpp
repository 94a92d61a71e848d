#include "BigTool.h"

#include "ArchiveManifest.h"
#include "ResourcePackReader.h"
#include "ToolFiles.h"
#include "ToolText.h"

#include <cstdio>
#include <filesystem>

namespace {

const char kHelp[] =
    "Usage: bigtool COMMAND [OPTIONS]\n"
    "\n"
    "Builds, lists and unpacks resource archives.\n"
    "\n"
    "Commands:\n"
    "  create -o ARCHIVE -m MANIFEST\n"
    "      Build an archive as the manifest describes it (entries, packs, id table form).\n"
    "  create -o ARCHIVE [--ranges] [--deflate] [--type KEY] [--first-id ID] [--header N] FILE...\n"
    "      Build an archive of the files, in order, with consecutive ids from --first-id\n"
    "      (default 0), all of type KEY (default 0), deflated with --deflate, and the id\n"
    "      table as ranges with --ranges (default: a sorted id list).\n"
    "  list ARCHIVE\n"
    "      Print every entry (index, id, type word, offset, size, storage, payload bytes)\n"
    "      and the members of every pack.\n"
    "  extract ARCHIVE [-d DIR] [ID...]\n"
    "      Write the payload of each entry, or of the given ids, inflated, to DIR/<id>.bin\n"
    "      (default DIR: the current folder). Extracting everything also writes\n"
    "      DIR/manifest.txt, from which 'create -m' rebuilds the archive; when an\n"
    "      entry cannot be rebuilt (broken, without payload, or reached by no id)\n"
    "      the extraction fails and writes no manifest.\n"
    "\n"
    "Numbers are decimal or 0x-prefixed hexadecimal. Exit status: 0 done, 1 failed,\n"
    "2 bad usage.\n";

std::string IdText(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%04X", id);
    return text;
}

std::string Column(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string Storage(const DecodedEntry& entry) {
    return (entry.compressed ? "deflated " : "stored   ") + std::to_string(entry.payload.size());
}

}  // namespace

int BigTool::Run(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp();
        return kExitOk;
    }
    if (command == "create") return Create(rest);
    if (command == "list") return List(rest);
    if (command == "extract") return Extract(rest);
    return Usage("unknown command '" + command + "'");
}

void BigTool::PrintHelp() { m_out << kHelp; }

int BigTool::Usage(const std::string& message) {
    m_err << "bigtool: " << message << "\nTry 'bigtool --help' for more information.\n";
    return kExitUsage;
}

bool BigTool::Refuse(const std::string& message) {
    Usage(message);
    return false;
}

int BigTool::Fail(const std::string& message) {
    m_err << "bigtool: " << message << "\n";
    return kExitFailure;
}

bool BigTool::TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value) {
    if (i + 1 >= args.size()) {
        return Refuse("option '" + args[i] + "' needs a value");
    }
    value = args[++i];
    return true;
}

bool BigTool::ParseNumberOption(const std::vector<std::string>& args, size_t& i, uint32_t& value) {
    std::string text;
    if (!TakeValue(args, i, text)) return false;
    if (ToolText::ParseU32(text, value)) return true;
    return Refuse("option '" + args[i - 1] + "' needs a number, not '" + text + "'");
}

bool BigTool::ParseCreate(const std::vector<std::string>& args, CreateOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        uint32_t header = 0;
        bool ok = true;
        if (arg == "-o" || arg == "--output") {
            ok = TakeValue(args, i, options.output);
        } else if (arg == "-m" || arg == "--manifest") {
            ok = TakeValue(args, i, options.manifest);
        } else if (arg == "--ranges") {
            options.form = IdTableForm::Ranges;
        } else if (arg == "--deflate") {
            options.deflate = true;
        } else if (arg == "--type") {
            ok = ParseNumberOption(args, i, options.typeWord);
        } else if (arg == "--first-id") {
            ok = ParseNumberOption(args, i, options.firstId);
        } else if (arg == "--header") {
            ok = ParseNumberOption(args, i, header);
            if (ok && (header < 4 || header > UINT16_MAX)) ok = Refuse("--header needs 4 to 65535");
            options.headerSize = static_cast<uint16_t>(header);
        } else if (arg.size() > 1 && arg[0] == '-') {
            ok = Refuse("unknown option '" + arg + "' for create");
        } else {
            options.files.push_back(arg);
        }
        if (!ok) return false;
    }
    if (options.output.empty()) return Refuse("create needs -o ARCHIVE");
    if (!options.manifest.empty() && !options.files.empty()) {
        return Refuse("create takes -m MANIFEST or input files, not both");
    }
    if (options.manifest.empty() && options.files.empty()) return Refuse("create needs -m MANIFEST or input files");
    return true;
}

bool BigTool::BuildFromFiles(const CreateOptions& options, std::vector<uint8_t>& archive, std::string& error) {
    BigArchiveWriter writer(options.form);
    uint32_t id = options.firstId;
    for (const std::string& path : options.files) {
        std::vector<uint8_t> payload;
        if (!ToolFiles::Read(path, payload, error)) return false;
        if (!writer.AddPayload(id, options.typeWord, payload, options.deflate, options.headerSize, error)) {
            error = path + ": " + error;
            return false;
        }
        ++id;
    }
    return writer.Build(archive, error);
}

int BigTool::Create(const std::vector<std::string>& args) {
    CreateOptions options;
    if (!ParseCreate(args, options)) return kExitUsage;
    std::vector<uint8_t> archive;
    std::string error;
    ArchiveManifest manifest;
    const bool built = options.manifest.empty()
                           ? BuildFromFiles(options, archive, error)
                           : manifest.Load(options.manifest, error) && manifest.Build(archive, error);
    if (!built || !ToolFiles::Write(options.output, archive, error)) return Fail(error);
    return kExitOk;
}

int BigTool::List(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return Usage("list needs exactly one ARCHIVE");
    BigArchiveReader reader;
    std::string error;
    if (!reader.Load(args[0], error)) return Fail(error);
    m_out << "id table: " << (reader.Form() == IdTableForm::Ranges ? "ranges" : "list") << ", "
          << reader.Entries().size() << " entries\n";
    m_out << "index  id      type        offset      size        storage  payload\n";
    size_t broken = 0;
    for (const ArchiveEntryInfo& entry : reader.Entries()) broken += ListEntry(reader, entry) ? 0 : 1;
    if (broken != 0) return Fail(std::to_string(broken) + " of the entries listed are broken");
    return kExitOk;
}

bool BigTool::ListEntry(const BigArchiveReader& reader, const ArchiveEntryInfo& entry) {
    m_out << Column(std::to_string(entry.index), 7) << Column(entry.hasId ? IdText(entry.id) : "-", 8)
          << Column(ToolText::Hex32(entry.typeWord), 12) << Column(std::to_string(entry.offset), 12)
          << Column(std::to_string(entry.size), 12);
    DecodedEntry decoded;
    std::string error;
    if (!reader.Decode(entry, decoded, error)) {
        m_out << "broken: " << error << "\n";
        return false;
    }
    m_out << Storage(decoded) << "\n";
    return !ResourcePackReader::IsPackType(entry.typeWord) || ListPackMembers(decoded.payload);
}

bool BigTool::ListPackMembers(const std::vector<uint8_t>& block) {
    ResourcePackReader pack;
    std::string error;
    if (!pack.Parse(block.data(), block.size(), error)) {
        m_out << "       pack broken: " << error << "\n";
        return false;
    }
    bool intact = true;
    for (const PackMemberInfo& member : pack.Members()) {
        m_out << "  +    " << Column(IdText(member.id), 8) << Column(ToolText::Hex32(member.typeWord), 12)
              << Column(std::to_string(member.offset), 12) << Column(std::to_string(member.size), 12);
        DecodedEntry decoded;
        const bool ok = ArchiveEntryCodec::Decode(block.data() + member.offset, member.size, decoded, error);
        m_out << (ok ? Storage(decoded) : "broken: " + error) << "\n";
        intact = intact && ok;
    }
    return intact;
}

bool BigTool::ExtractEntry(const BigArchiveReader& reader, const ArchiveEntryInfo& entry,
                           const std::string& directory, std::string& manifest) {
    DecodedEntry decoded;
    std::string error;
    const std::string name = IdText(entry.id) + ".bin";
    if (!reader.Decode(entry, decoded, error)) {
        Fail(error);
        return false;
    }
    // The manifest must rebuild the archive, and create refuses an entry
    // without payload (the engine could not open it).
    if (decoded.payload.empty()) {
        Fail("entry " + std::to_string(entry.index) + " (id " + IdText(entry.id) +
             ") has no payload and cannot be rebuilt");
        return false;
    }
    if (!ToolFiles::Write(directory + name, decoded.payload, error)) {
        Fail(error);
        return false;
    }
    manifest += "entry " + IdText(entry.id) + " " + ToolText::Hex32(entry.typeWord) + " \"" + name + "\"" +
                (decoded.compressed ? " deflate" : "") + " header=" + std::to_string(decoded.headerSize) + "\n";
    return true;
}

int BigTool::Extract(const std::vector<std::string>& args) {
    std::string archivePath;
    std::string directory = ".";
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < args.size(); ++i) {
        uint32_t id = 0;
        if (args[i] == "-d" || args[i] == "--directory") {
            if (!TakeValue(args, i, directory)) return kExitUsage;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage("unknown option '" + args[i] + "' for extract");
        } else if (archivePath.empty()) {
            archivePath = args[i];
        } else if (ToolText::ParseU32(args[i], id)) {
            ids.push_back(id);
        } else {
            return Usage("'" + args[i] + "' is not an id");
        }
    }
    if (archivePath.empty()) return Usage("extract needs an ARCHIVE");
    BigArchiveReader reader;
    std::string error;
    if (!reader.Load(archivePath, error)) return Fail(error);
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    if (made) return Fail("cannot create " + directory + ": " + made.message());
    directory += "/";

    std::string manifest = reader.Form() == IdTableForm::Ranges ? "ranges\n" : "";
    bool ok = true;
    if (ids.empty()) {
        for (const ArchiveEntryInfo& entry : reader.Entries()) {
            if (entry.hasId) {
                ok = ExtractEntry(reader, entry, directory, manifest) && ok;
            } else {
                Fail("entry " + std::to_string(entry.index) + " has no id that reaches it and is skipped");
                ok = false;
            }
        }
        // A manifest that leaves entries out would not rebuild the archive.
        if (!ok) return Fail("not every entry was extracted: no manifest written");
        if (!ToolFiles::Write(directory + "manifest.txt", std::vector<uint8_t>(manifest.begin(), manifest.end()),
                              error)) {
            return Fail(error);
        }
        return kExitOk;
    }
    for (const uint32_t id : ids) {
        const ArchiveEntryInfo* entry = reader.Find(id);
        if (entry == nullptr) {
            Fail("no entry with id " + IdText(id));
            ok = false;
            continue;
        }
        ok = ExtractEntry(reader, *entry, directory, manifest) && ok;
    }
    return ok ? kExitOk : kExitFailure;
}
