#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AssertCounter.h"
#include "LevelDataSamples.h"
#include "LevelScriptData.h"
#include "LevelScriptDecoder.h"
#include "LevelScriptWriter.h"
#include "ScriptCommands.h"

using namespace levelsamples;
using leveldata::Command;
using leveldata::Script;
using C = ScriptCommands;

namespace {

Script MakeScript(int16_t id, bool loop, std::vector<int16_t> chain, std::vector<Command> commands) {
    Script script;
    script.id = id;
    script.loop = loop ? 1 : 0;
    script.chain = std::move(chain);
    script.commands = std::move(commands);
    return script;
}

template <typename T>
const T& Operands(const LevelScriptData& data, uint32_t script, uint32_t command) {
    return std::get<T>(data.Scripts()[script].commands[command].operands);
}

TEST(LevelScriptWriter, WritesTheCentredPageExampleByteForByte) {
    const std::vector<uint8_t> bytes =
        Encode({MakeScript(1, false, {}, {C::TextPage(-1, 5), C::SetSubState(0)})});
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x04, 0x1D, 0xFF, 0x00, 0x05, 0x03,
                                           0x1C, 0x00, 0x00}));
    LevelScriptData data;
    ASSERT_TRUE(ReadScripts(bytes, &data));
    ASSERT_EQ(data.ScriptCount(), 1u);
    EXPECT_EQ(data.Scripts()[0].commands[0].opcode, 29);
    EXPECT_EQ(Operands<ScriptMessageOperands>(data, 0, 0).text, 5);
    EXPECT_EQ(Operands<ScriptMessageOperands>(data, 0, 0).speaker, kScriptNoSpeaker);
}

// Command lengths, opcode byte included, as the operand layouts give them.
TEST(LevelScriptWriter, CommandsHaveTheirStoredLengths) {
    const std::pair<Command, size_t> table[] = {
        {C::WaitForArea(0, 0, 0, 0), 10},
        {C::WaitForActorNear(0, 0, false), 6},
        {C::WaitWithValues({1, 2, 3}), 9},
        {C::CameraToPoint(false, 1, true, 0, 0), 10},
        {C::CameraToPoint(true, 1, true, 0, 0), 8},
        {C::CameraToType(false, 1, true, 0), 7},
        {C::CameraToReference(true, 1, true, 0), 6},
        {C::Dialogue(0, 0), 4},
        {C::TextPage(0, 0), 4},
        {C::PlayerMove(false, 0, 0, 0, false), 8},
        {C::PlayerControl(1), 2},
        {C::Delay(false, 0), 4},
        {C::Shake(false, 0, 0, 0), 6},
        {C::Bare(C::kLevelComplete), 1},
        {C::SignalActor(0), 3},
        {C::ScriptFlag(true), 2},
        {C::TouchActor(0), 3},
        {C::CameraBounds(0, 0, 0, 0), 9},
        {C::PlaceActor(0, 0, 0), 7},
        {C::StopScript(0), 3},
        {C::IgnoredByte(0), 2},
        {C::SetSubState(0), 3},
    };
    for (const auto& [command, length] : table) {
        SCOPED_TRACE(static_cast<int>(command.opcode));
        const std::vector<uint8_t> bytes = Encode({MakeScript(1, false, {}, {command})});
        // S, id, loop, P, K, then L.
        ASSERT_GT(bytes.size(), 6u);
        EXPECT_EQ(bytes[6], length);
        EXPECT_EQ(bytes.size(), 7 + length);
    }
}

TEST(LevelScriptWriter, RefusesCountsTheirFieldsCannotHold) {
    std::vector<uint8_t> bytes;
    std::string error;
    Script script = MakeScript(1, false, {}, std::vector<Command>(128, C::Bare(17)));
    EXPECT_FALSE(LevelScriptWriter::Encode({script}, &bytes, &error));
    EXPECT_NE(error.find("127 commands"), std::string::npos);
    script = MakeScript(1, false, std::vector<int16_t>(256, 1), {});
    EXPECT_FALSE(LevelScriptWriter::Encode({script}, &bytes, &error));
    Command longCommand = C::Bare(0);
    longCommand.operands.assign(127, 0);
    EXPECT_FALSE(LevelScriptWriter::Encode({MakeScript(1, false, {}, {longCommand})}, &bytes, &error));
    EXPECT_FALSE(LevelScriptWriter::Encode(std::vector<Script>(256), &bytes, &error));
    longCommand.operands.resize(126);
    EXPECT_TRUE(LevelScriptWriter::Encode({MakeScript(1, false, {}, {longCommand})}, &bytes, &error)) << error;
}

TEST(LevelScriptData, ReadsTheTableOfScripts) {
    LevelScriptData data;
    AssertCounter log;
    ASSERT_TRUE(ReadScripts(Encode(EveryOpcodeScripts()), &data));
    ASSERT_EQ(data.ScriptCount(), 3u);
    const LevelScript& first = data.Scripts()[0];
    EXPECT_EQ(first.id, 1);
    EXPECT_FALSE(first.loop);
    EXPECT_EQ(first.chainIds, (std::vector<int16_t>{3}));
    EXPECT_EQ(first.chainIndices, (std::vector<int16_t>{2}));
    EXPECT_EQ(first.commands.size(), 36u);
    EXPECT_TRUE(data.Scripts()[1].loop);
    EXPECT_EQ(data.Scripts()[2].chainIndices, (std::vector<int16_t>{0, 1}));
    EXPECT_EQ(data.FindScript(3), 2);
    EXPECT_EQ(data.FindScript(4), kScriptNoIndex);
    // The raw bytes stay beside the operands.
    EXPECT_EQ(first.commands[6].bytes, (std::vector<uint8_t>{2, 10, 0, 7}));
    // Only opcode 30 is worth a line.
    EXPECT_TRUE(log.Logged("unknown opcode 30"));
    EXPECT_EQ(log.DebugLines().size(), 1u);
}

// One check per command of script 1, in order: every opcode's operands.
TEST(LevelScriptData, DecodesTheOperandsOfEveryOpcode) {
    LevelScriptData data;
    ASSERT_TRUE(ReadScripts(Encode(EveryOpcodeScripts()), &data));
    using Check = std::function<void(const ScriptOperands&)>;
    auto none = [](const ScriptOperands& o) { EXPECT_TRUE(std::holds_alternative<std::monostate>(o)); };
    const std::pair<int, Check> table[] = {
        {0, [](const ScriptOperands& o) {
             const auto& w = std::get<ScriptWaitOperands>(o);
             EXPECT_EQ(w.kind, kScriptWaitArea);
             EXPECT_EQ(w.x, 10); EXPECT_EQ(w.y, 20); EXPECT_EQ(w.width, 30); EXPECT_EQ(w.height, 40);
         }},
        {0, [](const ScriptOperands& o) {
             const auto& w = std::get<ScriptWaitOperands>(o);
             EXPECT_EQ(w.kind, kScriptWaitActor);
             EXPECT_EQ(w.ref, 4); EXPECT_EQ(w.distance, 96); EXPECT_TRUE(w.gone);
         }},
        {0, [](const ScriptOperands& o) {
             const auto& w = std::get<ScriptWaitOperands>(o);
             EXPECT_EQ(w.kind, kScriptWaitValues);
             EXPECT_EQ(w.values, (std::vector<int16_t>{-1, 2, 300}));
         }},
        {1, [](const ScriptOperands& o) {
             const auto& c = std::get<ScriptCameraOperands>(o);
             EXPECT_FALSE(c.instant); EXPECT_EQ(c.speed, 120); EXPECT_TRUE(c.wait);
             EXPECT_EQ(c.mode, kScriptCameraPoint); EXPECT_EQ(c.x, 480); EXPECT_EQ(c.y, -24);
         }},
        {1, [](const ScriptOperands& o) {
             const auto& c = std::get<ScriptCameraOperands>(o);
             EXPECT_TRUE(c.instant); EXPECT_EQ(c.speed, kScriptNoSpeed);
             EXPECT_EQ(c.mode, kScriptCameraType); EXPECT_EQ(c.type, 35);
         }},
        {1, [](const ScriptOperands& o) {
             const auto& c = std::get<ScriptCameraOperands>(o);
             EXPECT_EQ(c.speed, 60); EXPECT_EQ(c.mode, kScriptCameraReference); EXPECT_EQ(c.ref, 39);
         }},
        {2, [](const ScriptOperands& o) {
             const auto& m = std::get<ScriptMessageOperands>(o);
             EXPECT_EQ(m.speaker, 10); EXPECT_EQ(m.text, 7);
         }},
        {3, [](const ScriptOperands& o) {
             const auto& p = std::get<ScriptPlayerMoveOperands>(o);
             EXPECT_FALSE(p.teleport); EXPECT_EQ(p.tileX, 12); EXPECT_EQ(p.tileY, 5);
             EXPECT_EQ(p.facing, 1); EXPECT_FALSE(p.noWait);
         }},
        {4, [](const ScriptOperands& o) { EXPECT_EQ(std::get<ScriptPlayerControlOperands>(o).mode, 0); }},
        {5, [](const ScriptOperands& o) {
             const auto& d = std::get<ScriptDelayOperands>(o);
             EXPECT_TRUE(d.afterLanding); EXPECT_EQ(d.ms, 1500);
         }},
        {6, [](const ScriptOperands& o) {
             const auto& s = std::get<ScriptShakeOperands>(o);
             EXPECT_TRUE(s.wait); EXPECT_EQ(s.ms, 400); EXPECT_EQ(s.amplitudeX, 3); EXPECT_EQ(s.amplitudeY, -2);
         }},
        {7, none},
        {8, [](const ScriptOperands& o) { EXPECT_EQ(std::get<ScriptActorOperands>(o).ref, 0); }},
        {9, none},
        {10, none},
        {11, none},
        {12, none},
        {13, [](const ScriptOperands& o) { EXPECT_TRUE(std::get<ScriptFlagOperands>(o).value); }},
        {14, none},
        {15, none},
        {16, [](const ScriptOperands& o) { EXPECT_EQ(std::get<ScriptActorOperands>(o).ref, 38); }},
        {17, none},
        {18, [](const ScriptOperands& o) {
             const auto& b = std::get<ScriptBoundsOperands>(o);
             EXPECT_EQ(b.x1, 0); EXPECT_EQ(b.y1, 1); EXPECT_EQ(b.x2, -1); EXPECT_EQ(b.y2, -1);
         }},
        {19, none},
        {20, [](const ScriptOperands& o) {
             const auto& p = std::get<ScriptPlaceOperands>(o);
             EXPECT_EQ(p.tileX, 7); EXPECT_EQ(p.tileY, 8); EXPECT_EQ(p.ref, 2);
         }},
        {21, [](const ScriptOperands& o) {
             const auto& s = std::get<ScriptStopOperands>(o);
             EXPECT_EQ(s.scriptId, 2); EXPECT_EQ(s.scriptIndex, 1);
         }},
        {22, none},
        {23, none},
        {24, none},
        {25, none},
        {26, none},
        {27, none},
        {28, [](const ScriptOperands& o) { EXPECT_EQ(std::get<ScriptSubStateOperands>(o).value, 5); }},
        {29, [](const ScriptOperands& o) {
             const auto& m = std::get<ScriptMessageOperands>(o);
             EXPECT_EQ(m.speaker, kScriptNoSpeaker); EXPECT_EQ(m.text, 300);
         }},
        {30, none},
        {3, [](const ScriptOperands& o) {
             const auto& p = std::get<ScriptPlayerMoveOperands>(o);
             EXPECT_TRUE(p.teleport); EXPECT_EQ(p.tileX, 3); EXPECT_EQ(p.tileY, 4); EXPECT_EQ(p.facing, 0);
         }},
    };
    const LevelScript& script = data.Scripts()[0];
    ASSERT_EQ(script.commands.size(), std::size(table));
    for (size_t i = 0; i < std::size(table); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(script.commands[i].opcode, table[i].first);
        table[i].second(script.commands[i].operands);
    }
}

// Whether a command lets its script go on within the call that starts it.
TEST(LevelScriptDecoder, TellsWhichCommandsPassAtStart) {
    const std::pair<Command, bool> table[] = {
        {C::WaitForArea(0, 0, 1, 1), false},
        {C::WaitForActorNear(0, 0, true), false},
        {C::CameraToPoint(true, 0, true, 0, 0), true},
        {C::CameraToPoint(false, 50, false, 0, 0), true},
        {C::CameraToPoint(false, 50, true, 0, 0), false},
        {C::Dialogue(0, 0), false},
        {C::TextPage(0, 0), false},
        {C::PlayerMove(true, 0, 0, 0, false), true},
        {C::PlayerMove(false, 0, 0, 0, true), true},
        {C::PlayerMove(false, 0, 0, 0, false), false},
        {C::PlayerControl(1), true},
        {C::Delay(false, 0), false},
        {C::Shake(true, 100, 0, 0), true},
        {C::Shake(true, -1, 2, 0), true},
        {C::Shake(false, 100, 0, 2), true},
        {C::Shake(true, 100, 0, 2), false},
        {C::Bare(7), true},
        {C::SignalActor(0), true},
        {C::Bare(9), false},
        {C::Bare(11), false},
        {C::ScriptFlag(false), true},
        {C::TouchActor(0), true},
        {C::Bare(17), true},
        {C::CameraBounds(0, 0, 0, 0), true},
        {C::PlaceActor(0, 0, 0), true},
        {C::StopScript(5), true},
        {C::IgnoredByte(0), false},
        {C::Bare(23), true},
        {C::Bare(26), false},
        {C::Bare(27), false},
        {C::SetSubState(0), true},
        {C::Bare(30), false},
        {C::Bare(-1), false},
    };
    for (const auto& [command, passes] : table) {
        SCOPED_TRACE(static_cast<int>(command.opcode));
        LevelScriptData data;
        ASSERT_TRUE(ReadScripts(Encode({MakeScript(1, false, {}, {command})}), &data));
        EXPECT_EQ(LevelScriptDecoder::MayPassAtStart(data.Scripts()[0].commands[0]), passes);
    }
}

// Tables of scripts that would never give the frame back, and close
// relatives that do.
TEST(LevelScriptData, RefusesScriptsThatRunOnWithoutWaiting) {
    const Command instant = C::Bare(17);
    const Command waits = C::Delay(false, 100);
    struct Case {
        const char* name;
        std::vector<Script> scripts;
        bool accepted;
    };
    std::vector<Case> cases = {
        {"looping, all instant", {MakeScript(1, true, {}, {instant, C::Shake(false, 10, 1, 1)})}, false},
        {"looping, no commands", {MakeScript(1, true, {}, {})}, false},
        {"looping with a wait", {MakeScript(1, true, {}, {instant, waits})}, true},
        {"instant, no loop, no chain", {MakeScript(1, false, {}, {instant})}, true},
        {"instant cycle of two", {MakeScript(1, false, {2}, {instant}), MakeScript(2, false, {1}, {instant})}, false},
        {"cycle through a waiting script",
         {MakeScript(1, false, {2}, {instant}), MakeScript(2, false, {1}, {waits})}, true},
        {"instant chain to itself", {MakeScript(1, false, {5, 1}, {instant})}, false},
        // The restart finds the first script of the id, which waits.
        {"loop restarts the first script of its id",
         {MakeScript(4, false, {}, {waits}), MakeScript(4, true, {}, {instant})}, true},
        {"chain to a missing id", {MakeScript(1, false, {9}, {instant})}, true},
    };
    // Ten levels of instant scripts each starting the next twice: 2047
    // starts from the top, 1023 from the second.
    std::vector<Script> fan;
    for (int16_t id = 1; id <= 11; ++id) {
        fan.push_back(MakeScript(id, false, id < 11 ? std::vector<int16_t>{int16_t(id + 1), int16_t(id + 1)}
                                                    : std::vector<int16_t>{},
                                 {instant}));
    }
    cases.push_back({"a fan of 2047 starts", fan, false});
    fan.erase(fan.begin());
    cases.push_back({"a fan of 1023 starts", fan, true});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LevelScriptData data;
        AssertCounter log;
        EXPECT_EQ(ReadScripts(Encode(c.scripts), &data), c.accepted);
        if (c.accepted) continue;
        EXPECT_EQ(data.ScriptCount(), 0u);
        EXPECT_TRUE(log.Logged("runs on without waiting"));
    }
}

TEST(LevelScriptData, ChecksReferencesSpeakersAndScriptIds) {
    LevelScriptData data;
    AssertCounter log;
    ASSERT_TRUE(ReadScripts(Encode({MakeScript(1, false, {7},
                                               {C::SignalActor(40), C::TouchActor(-1), C::PlaceActor(1, 1, 999),
                                                C::CameraToReference(true, 0, true, 40),
                                                C::WaitForActorNear(-3, 10, true), C::Dialogue(11, 1),
                                                C::TextPage(-2, 1), C::StopScript(8), C::Bare(26),
                                                C::CameraToType(true, 0, true, 70)}),
                                    MakeScript(1, false, {}, {})}),
                            &data));
    EXPECT_EQ(Operands<ScriptActorOperands>(data, 0, 0).ref, kScriptNoRef);
    EXPECT_EQ(Operands<ScriptActorOperands>(data, 0, 1).ref, kScriptNoRef);
    EXPECT_EQ(Operands<ScriptPlaceOperands>(data, 0, 2).ref, kScriptNoRef);
    EXPECT_EQ(Operands<ScriptCameraOperands>(data, 0, 3).ref, kScriptNoRef);
    EXPECT_EQ(Operands<ScriptWaitOperands>(data, 0, 4).ref, kScriptNoRef);
    EXPECT_EQ(Operands<ScriptMessageOperands>(data, 0, 5).speaker, kScriptNoSpeaker);
    EXPECT_EQ(Operands<ScriptMessageOperands>(data, 0, 6).speaker, kScriptNoSpeaker);
    EXPECT_EQ(Operands<ScriptStopOperands>(data, 0, 7).scriptIndex, kScriptNoIndex);
    EXPECT_EQ(data.Scripts()[0].chainIndices, (std::vector<int16_t>{kScriptNoIndex}));
    for (const char* text : {"reference 40", "reference -1", "reference 999", "reference -3", "speaker 11",
                             "speaker -2", "script id 8", "script id 7", "actor type 70",
                             "script 1 repeats id 1"}) {
        EXPECT_TRUE(log.Logged(text)) << text;
    }

    EXPECT_EQ(data.FindScript(1), 0);
    EXPECT_EQ(data.Script(2), nullptr);
    EXPECT_EQ(data.Script(-1), nullptr);
    EXPECT_EQ(data.Command(0, 10), nullptr);
    EXPECT_EQ(data.Command(0, -1), nullptr);
    EXPECT_EQ(data.Command(2, 0), nullptr);
    ASSERT_NE(data.Command(0, 8), nullptr);
    EXPECT_EQ(data.Command(0, 8)->opcode, 26);
}

TEST(LevelScriptData, ReadsCountsAndLengthsAsUnsignedBytes) {
    // K = 200 commands, each of L = 1 (opcode 17): stored as 0xC8, which a
    // signed read would take for -56.
    std::vector<uint8_t> bytes = {1, 0, 1, 0, 0, 200};
    for (int i = 0; i < 200; ++i) bytes.insert(bytes.end(), {1, 17});
    LevelScriptData data;
    ASSERT_TRUE(ReadScripts(bytes, &data));
    EXPECT_EQ(data.Scripts()[0].commands.size(), 200u);

    // L = 130: a wait list of 63 values, then one byte more than it needs.
    bytes = {1, 0, 1, 0, 0, 1, 130, 0, 2, 63};
    bytes.resize(bytes.size() + 126, 0x11);
    bytes.push_back(0xEE);
    ASSERT_TRUE(ReadScripts(bytes, &data));
    EXPECT_EQ(Operands<ScriptWaitOperands>(data, 0, 0).values.size(), 63u);
    EXPECT_EQ(data.Scripts()[0].commands[0].bytes.size(), 130u);
}

TEST(LevelScriptData, RefusesCommandsShorterThanTheirOperands) {
    struct Case {
        const char* name;
        std::vector<uint8_t> command;  // L and its bytes
    };
    const Case cases[] = {
        {"no bytes", {0}},
        {"area without height", {8, 0, 0, 0, 1, 0, 2, 0, 3}},
        {"list of 3 with 2 values", {7, 0, 2, 3, 0, 1, 0, 2}},
        {"camera missing its mode", {5, 1, 0, 0, 10, 1}},
        {"message without text", {2, 2, 0}},
        {"walk without noWait", {7, 3, 0, 0, 1, 0, 1, 1}},
        {"shake without ay", {5, 6, 1, 0, 10, 1}},
        {"bounds of three", {7, 18, 0, 0, 0, 0, 0, 0}},
        {"ignored byte missing", {1, 22}},
        {"sub-state of one byte", {2, 28, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t header[] = {1, 0, 1, 0, 0, 1};
        std::vector<uint8_t> bytes(std::begin(header), std::end(header));
        bytes.reserve(bytes.size() + c.command.size());
        bytes.insert(bytes.end(), c.command.begin(), c.command.end());
        LevelScriptData data;
        AssertCounter log;
        EXPECT_FALSE(ReadScripts(bytes, &data));
        EXPECT_EQ(data.ScriptCount(), 0u);
        EXPECT_FALSE(log.DebugLines().empty());
    }
}

TEST(LevelScriptData, EveryTruncationFailsCleanly) {
    const std::vector<uint8_t> bytes = Encode(EveryOpcodeScripts());
    AssertCounter quiet;  // short reads are reported by the stream
    for (size_t length = 0; length < bytes.size(); ++length) {
        LevelScriptData data;
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(ReadScripts(prefix, &data)) << length;
        EXPECT_EQ(data.ScriptCount(), 0u);
    }
}

TEST(LevelScriptData, AnEmptyTableIsATable) {
    LevelScriptData data;
    ASSERT_TRUE(ReadScripts(Encode(std::vector<Script>{}), &data));
    EXPECT_EQ(data.ScriptCount(), 0u);
    EXPECT_EQ(data.FindScript(1), kScriptNoIndex);
    // A new read replaces the old table.
    ASSERT_TRUE(ReadScripts(Encode(EveryOpcodeScripts()), &data));
    ASSERT_TRUE(ReadScripts(Encode({MakeScript(9, false, {}, {})}), &data));
    EXPECT_EQ(data.ScriptCount(), 1u);
    EXPECT_EQ(data.FindScript(9), 0);
}

}  // namespace
