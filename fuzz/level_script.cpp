// The level script reader on arbitrary bytes. A table it accepts must be
// safe to run: every reference, speaker and script index in it names an
// entry of its table, and no script runs on without end once started. A
// table it refuses is left empty.

#include <cstdint>

#include "CArrayInputStream.h"
#include "FuzzCheck.h"
#include "LevelScriptData.h"
#include "LevelScriptFlow.h"

namespace {

bool IsRef(int16_t ref) {
    return ref == kScriptNoRef || (ref >= 0 && static_cast<uint32_t>(ref) < LevelScriptData::kActorRefCount);
}

bool IsScriptIndex(int32_t index, const LevelScriptData& data) {
    return index == kScriptNoIndex || (index >= 0 && static_cast<uint32_t>(index) < data.ScriptCount());
}

void CheckOperands(const ScriptOperands& operands, const LevelScriptData& data) {
    if (const auto* wait = std::get_if<ScriptWaitOperands>(&operands)) Check(IsRef(wait->ref));
    if (const auto* camera = std::get_if<ScriptCameraOperands>(&operands)) Check(IsRef(camera->ref));
    if (const auto* actor = std::get_if<ScriptActorOperands>(&operands)) Check(IsRef(actor->ref));
    if (const auto* place = std::get_if<ScriptPlaceOperands>(&operands)) Check(IsRef(place->ref));
    if (const auto* stop = std::get_if<ScriptStopOperands>(&operands)) {
        Check(IsScriptIndex(stop->scriptIndex, data));
        Check(stop->scriptIndex == data.FindScript(stop->scriptId));
    }
    if (const auto* message = std::get_if<ScriptMessageOperands>(&operands)) {
        Check(message->speaker >= kScriptNoSpeaker && message->speaker < kScriptSpeakerCount);
    }
}

void CheckTable(const LevelScriptData& data) {
    for (const LevelScript& script : data.Scripts()) {
        Check(script.chainIndices.size() == script.chainIds.size());
        for (int16_t index : script.chainIndices) Check(IsScriptIndex(index, data));
        for (const LevelScriptCommand& command : script.commands) {
            Check(!command.bytes.empty() && static_cast<int8_t>(command.bytes[0]) == command.opcode);
            CheckOperands(command.operands, data);
        }
    }
    Check(LevelScriptFlow::FindEndlessStart(data.Scripts(), LevelScriptData::kMaxStartsPerCall) == kScriptNoIndex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CArrayInputStream in(1);
    in.Open(data, static_cast<uint32_t>(size));
    LevelScriptData scripts;
    if (scripts.Read(in)) {
        CheckTable(scripts);
    } else {
        Check(scripts.ScriptCount() == 0);
    }
    return 0;
}
