#include "LevelDataSamples.h"

#include <gtest/gtest.h>

#include <string>

#include "CArrayInputStream.h"
#include "LevelMapData.h"
#include "LevelMapWriter.h"
#include "LevelScriptData.h"
#include "LevelScriptWriter.h"
#include "ScriptCommands.h"

using leveldata::Command;
using leveldata::LevelMap;
using leveldata::Reference;
using leveldata::Script;
using leveldata::Template;

namespace levelsamples {

namespace {

Template MakeTemplate(int8_t type, uint8_t sprite, int8_t anchor, uint8_t flag, int8_t hRange, int8_t vRange,
                      std::vector<int8_t> data) {
    Template record;
    record.type = type;
    record.sprite = sprite;
    record.anchor = anchor;
    record.flag = flag;
    record.horizontalRange = hRange;
    record.verticalRange = vRange;
    record.data = std::move(data);
    return record;
}

Reference ActorRef(uint8_t index, int16_t spawn) {
    Reference reference;
    reference.kind = leveldata::kRefActor;
    reference.index = index;
    reference.spawn = spawn;
    return reference;
}

Reference Start(uint8_t kind, int16_t x, int16_t y) {
    Reference reference;
    reference.kind = kind;
    reference.x = x;
    reference.y = y;
    return reference;
}

// Opened little-endian, as a stream that nobody set up: the readers
// choose the byte order themselves.
bool Open(CArrayInputStream& stream, const std::vector<uint8_t>& bytes) {
    stream.SetSwapBytes(0);
    return stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

}  // namespace

LevelMap EveryRecordMap() {
    LevelMap map;
    map.hasBackground = true;
    map.background = {3, 2, {1, 2, 3, 4, 5, 0xFF}};
    map.tileTypes = {{{1, 0, 0, 0, 0, 0}}, {{0, 1, 0, 0, 1, 0}}, {{0, 0, 0, 0, 0, 1, 1, 2}}, {{1, 1}}};
    map.collision = {4, 3, {-1, 0, 1, 2, 3, -1, 0, 0, 1, 1, 1, 1}};
    map.tiles = {4, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xFF}};
    Template empty;
    empty.empty = true;
    map.templates = {
        MakeTemplate(25, 25, 0, 0, 5, -1, {0}),
        empty,
        MakeTemplate(leveldata::kNoActorType, leveldata::kShareSpriteBit | 0, 1, 1, 0, 0, {3, -10}),
        MakeTemplate(6, leveldata::kShareSpriteBit | 5, 2, 2, 1, 1, {}),
        MakeTemplate(21, leveldata::kShareSpriteBit | 1, 0, 0, 2, 2, {}),
        MakeTemplate(41, 0, 0, 0, 0, 0, {7}),
        MakeTemplate(14, 60, 0, 0, -3, 15, {1, 2, 1}),
        MakeTemplate(0, leveldata::kShareSpriteBit | 6, 0, 0, 4, 4, {}),
    };
    map.spawns = {{0, 100, 200}, {2, -5, 30}, {6, 24, 48}, {7, 1, 2}};
    map.references = {ActorRef(0, 2), ActorRef(39, 0), Start(0, 10, 20), {7, 0, 0, 0, 0}, ActorRef(5, 3),
                      Start(leveldata::kRefPlayerFormBLeft, 300, -40)};
    return map;
}

LevelMap MinimalMap() {
    LevelMap map;
    map.tileTypes = {{{0, 0, 0, 0, 0, 0}}};
    map.collision = {2, 1, {0, -1}};
    map.tiles = {2, 1, {0, 0xFF}};
    map.references = {Start(leveldata::kRefPlayerFormARight, 24, 24)};
    return map;
}

std::vector<Script> EveryOpcodeScripts() {
    using C = ScriptCommands;
    Script all;
    all.id = 1;
    all.chain = {3};
    all.commands = {
        C::WaitForArea(10, 20, 30, 40),
        C::WaitForActorNear(4, 96, true),
        C::WaitWithValues({-1, 2, 300}),
        C::CameraToPoint(false, 120, true, 480, -24),
        C::CameraToType(true, 0, true, 35),
        C::CameraToReference(false, 60, true, 39),
        C::Dialogue(10, 7),
        C::PlayerMove(false, 12, 5, 1, false),
        C::PlayerControl(0),
        C::Delay(true, 1500),
        C::Shake(true, 400, 3, -2),
        C::Bare(C::kLevelComplete),
        C::SignalActor(0),
        C::Bare(9),
        C::Bare(10),
        C::Bare(C::kTimerA),
        C::Bare(C::kTimerB),
        C::ScriptFlag(true),
        C::Bare(14),
        C::Bare(15),
        C::TouchActor(38),
        C::Bare(C::kNothing),
        C::CameraBounds(0, 1, -1, -1),
        C::Bare(19),
        C::PlaceActor(7, 8, 2),
        C::StopScript(2),
        C::IgnoredByte(-7),
        C::Bare(C::kPartnerRun),
        C::Bare(24),
        C::Bare(25),
        C::Bare(C::kWaitForActor),
        C::Bare(C::kScriptedPause),
        C::SetSubState(5),
        C::TextPage(-1, 300),
        C::Bare(30),
        C::PlayerMove(true, 3, 4, 0, false),
    };
    Script looping;
    looping.id = 2;
    looping.loop = 1;
    looping.commands = {C::Delay(false, 0), C::Shake(false, 200, 1, 1)};
    Script chained;
    chained.id = 3;
    chained.chain = {1, 2};
    chained.commands = {C::Bare(C::kTimerA)};
    return {all, looping, chained};
}

std::vector<uint8_t> Encode(const LevelMap& map) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(LevelMapWriter::Encode(map, &bytes, &error)) << error;
    return bytes;
}

std::vector<uint8_t> Encode(const std::vector<Script>& scripts) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(LevelScriptWriter::Encode(scripts, &bytes, &error)) << error;
    return bytes;
}

bool ReadMap(const std::vector<uint8_t>& bytes, LevelMapData* map) {
    CArrayInputStream stream;
    return Open(stream, bytes) && map->Read(stream);
}

bool ReadScripts(const std::vector<uint8_t>& bytes, LevelScriptData* scripts) {
    CArrayInputStream stream;
    return Open(stream, bytes) && scripts->Read(stream);
}

}  // namespace levelsamples
