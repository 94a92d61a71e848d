#include "LevelScriptWriter.h"

#include "BigEndianWriter.h"

namespace {

using namespace leveldata;

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

bool WriteCommand(const Command& command, BigEndianWriter& out, std::string* error) {
    const size_t length = command.operands.size() + 1;
    if (length > LevelScriptWriter::kMaxCommandBytes) {
        return Fail(error, "command of opcode " + std::to_string(command.opcode) + " over 127 bytes");
    }
    out.I8(static_cast<int8_t>(length));
    out.I8(command.opcode);
    out.Bytes(command.operands);
    return true;
}

bool WriteScript(const Script& script, BigEndianWriter& out, std::string* error) {
    const std::string name = "script " + std::to_string(script.id);
    if (script.chain.size() > LevelScriptWriter::kMaxChain) return Fail(error, name + " chains over 255 scripts");
    if (script.commands.size() > LevelScriptWriter::kMaxCommands) return Fail(error, name + " has over 127 commands");
    out.I16(script.id);
    out.U8(script.loop);
    out.U8(static_cast<uint8_t>(script.chain.size()));
    for (int16_t id : script.chain) out.I16(id);
    out.I8(static_cast<int8_t>(script.commands.size()));
    for (const Command& command : script.commands) {
        if (!WriteCommand(command, out, error)) return false;
    }
    return true;
}

}  // namespace

bool LevelScriptWriter::Encode(const std::vector<Script>& scripts, std::vector<uint8_t>* out, std::string* error) {
    if (scripts.size() > kMaxScripts) return Fail(error, "more than 255 scripts");
    std::vector<uint8_t> bytes;
    BigEndianWriter writer(bytes);
    writer.U8(static_cast<uint8_t>(scripts.size()));
    for (const Script& script : scripts) {
        if (!WriteScript(script, writer, error)) return false;
    }
    *out = std::move(bytes);
    return true;
}
