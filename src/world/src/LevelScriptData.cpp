#include "LevelScriptData.h"

#include "CAssert.h"
#include "CInputStream.h"
#include "LevelScriptDecoder.h"
#include "LevelScriptFlow.h"

bool LevelScriptData::Read(CInputStream& in) {
    Clear();
    in.SetSwapBytes(1);
    m_scripts.resize(in.ReadUInt8());
    if (in.HasError()) {
        DebugPrintf("LevelScriptData: the stream holds no script count");
        return Refuse();
    }
    for (uint32_t index = 0; index < m_scripts.size(); ++index) {
        if (!ReadScript(in, index)) return Refuse();
    }
    ResolveScriptIds();
    const int32_t endless = LevelScriptFlow::FindEndlessStart(m_scripts, kMaxStartsPerCall);
    if (endless != kScriptNoIndex) {
        DebugPrintf("LevelScriptData: script %d (id %d) runs on without waiting once started", endless,
                    m_scripts[endless].id);
        return Refuse();
    }
    return true;
}

bool LevelScriptData::Refuse() {
    Clear();
    return false;
}

bool LevelScriptData::ReadScript(CInputStream& in, uint32_t index) {
    LevelScript& script = m_scripts[index];
    script.id = in.ReadInt16();
    script.loop = in.ReadUInt8() != 0;
    script.chainIds.resize(in.ReadUInt8());
    for (int16_t& id : script.chainIds) id = in.ReadInt16();
    script.commands.resize(in.ReadUInt8());
    for (LevelScriptCommand& command : script.commands) {
        if (!ReadCommand(in, index, &command)) return false;
    }
    if (in.HasError()) {
        DebugPrintf("LevelScriptData: the stream ends inside script %u", index);
        return false;
    }
    return true;
}

bool LevelScriptData::ReadCommand(CInputStream& in, uint32_t scriptIndex, LevelScriptCommand* command) {
    uint8_t bytes[UINT8_MAX];
    const uint32_t length = in.ReadUInt8();
    in.Read(bytes, length);
    if (in.HasError()) {
        DebugPrintf("LevelScriptData: the stream ends inside a command of script %u", scriptIndex);
        return false;
    }
    if (length == 0) {
        DebugPrintf("LevelScriptData: script %u holds a command of no bytes", scriptIndex);
        return false;
    }
    return LevelScriptDecoder::Decode(bytes, length, kActorRefCount, command);
}

void LevelScriptData::ResolveScriptIds() {
    for (uint32_t index = 0; index < m_scripts.size(); ++index) {
        LevelScript& script = m_scripts[index];
        const int32_t first = FindScript(script.id);
        if (first != static_cast<int32_t>(index)) {
            DebugPrintf("LevelScriptData: script %u repeats id %d; only script %d answers to it", index, script.id,
                        first);
        }
        script.chainIndices.clear();
        for (int16_t id : script.chainIds) script.chainIndices.push_back(ResolvedIndex(id, index));
        for (LevelScriptCommand& command : script.commands) {
            if (auto* stop = std::get_if<ScriptStopOperands>(&command.operands)) {
                stop->scriptIndex = ResolvedIndex(stop->scriptId, index);
            }
        }
    }
}

int16_t LevelScriptData::ResolvedIndex(int16_t id, uint32_t scriptIndex) const {
    const int32_t found = FindScript(id);
    if (found == kScriptNoIndex) {
        DebugPrintf("LevelScriptData: script %u names script id %d, which the table does not have", scriptIndex, id);
    }
    return static_cast<int16_t>(found);
}

int32_t LevelScriptData::FindScript(int32_t id) const {
    for (uint32_t index = 0; index < m_scripts.size(); ++index) {
        if (m_scripts[index].id == id) return static_cast<int32_t>(index);
    }
    return kScriptNoIndex;
}

const LevelScript* LevelScriptData::Script(int32_t index) const {
    if (index >= 0 && static_cast<uint32_t>(index) < m_scripts.size()) return &m_scripts[index];
    DebugPrintf("LevelScriptData: script index %d outside 0..%d", index, static_cast<int>(m_scripts.size()) - 1);
    return nullptr;
}

const LevelScriptCommand* LevelScriptData::Command(int32_t scriptIndex, int32_t commandIndex) const {
    const LevelScript* script = Script(scriptIndex);
    if (script == nullptr) return nullptr;
    if (commandIndex >= 0 && static_cast<uint32_t>(commandIndex) < script->commands.size()) {
        return &script->commands[commandIndex];
    }
    DebugPrintf("LevelScriptData: command %d of script %d outside 0..%d", commandIndex, scriptIndex,
                static_cast<int>(script->commands.size()) - 1);
    return nullptr;
}
