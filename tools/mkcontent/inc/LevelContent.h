#ifndef LEVELCONTENT_H
#define LEVELCONTENT_H

#include "LevelMap.h"
#include "LevelScript.h"
#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A template data byte that names an actor reference (`@NAME`): the
// validator checks what kind of actor it points at.
struct LevelDataReference {
    size_t templateIndex = 0;
    size_t byteIndex = 0;
    uint8_t refIndex = 0;
};

// A level map as its source describes it: the stream's values and, for
// every piece, the line it came from.
struct LevelMapContent {
    leveldata::LevelMap map;
    SourcePlace place;
    std::vector<std::string> templateNames;
    std::vector<SourcePlace> templatePlaces;
    std::vector<SourcePlace> spawnPlaces;
    // Actor names and the reference index each was given.
    std::map<std::string, uint8_t> refs;
    // Spawn index of each reference index in use.
    std::map<uint8_t, int16_t> refSpawns;
    std::vector<LevelDataReference> dataRefs;
    std::vector<SourcePlace> startPlaces;
};

// A level's scripts with the line of each script and command.
struct LevelScriptContent {
    std::vector<leveldata::Script> scripts;
    SourcePlace place;
    std::vector<SourcePlace> scriptPlaces;
    std::vector<std::vector<SourcePlace>> commandPlaces;
};

// One level of the game: its index (0..8), the ids its streams are filed
// under and the compiled sources.
struct CompiledLevel {
    int32_t index = 0;
    uint32_t mapHandle = 0;
    uint32_t scriptHandle = 0;
    SourcePlace place;
    LevelMapContent map;
    LevelScriptContent scripts;
};

#endif
