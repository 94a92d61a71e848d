#ifndef LEVELVALIDATOR_H
#define LEVELVALIDATOR_H

#include "LevelContent.h"

#include <cstdint>
#include <string>

// The rules a level must keep for the game to load and finish it, checked
// on the compiled sources; the first broken one fails with its file and
// line.
//
// Map: solid tile types are landable (the platform flag: the players land
// on nothing else); exactly one player start; at least 14 x 14 tiles; templates of a
// type the map may spawn (0..69 but the players and the partner, or a
// decoration) with a sprite set that exists, the extra data the type
// reads and activation ranges of at most 15 tiles, range 0 (everywhere)
// only for the types that stay in play off the view; switches and type 67
// name doors; a hanging object (52) has a tile of code 4 above it and a
// lift (14) stands on track (code 9); the player start and every
// checkpoint leave a run-up of 4 tiles before a deadly tile, spikes or a
// mine ahead.
// Scripts: after a message (which takes the player's controls) a
// `control on` before the script waits for the player or ends; script 1 exists, ids are unique, chained and stopped ids exist;
// speakers -1..10; commands that do not wait come last in their script; no
// looping script or chain of scripts runs without waiting; the level can
// end (a `complete` is reachable from script 1); a text page first in
// script 1 is followed by a return to play; walks only with form A;
// signals only to actors that answer them; a wait for an actor only where
// an actor releases it, and never in two scripts that may run side by side;
// camera windows of at least 14 x 14 tiles.
class LevelValidator {
public:
    static bool Check(const CompiledLevel& level, size_t spriteSetCount, std::string& error);

private:
    static bool CheckTileTypes(const LevelMapContent& map, std::string& error);
    static bool CheckStart(const LevelMapContent& map, std::string& error);
    static bool CheckTemplates(const LevelMapContent& map, size_t spriteSetCount, std::string& error);
    static bool CheckDataRefs(const LevelMapContent& map, std::string& error);
    static bool CheckSpawnTiles(const LevelMapContent& map, std::string& error);
    static bool CheckRunUps(const LevelMapContent& map, std::string& error);
    // Tiles from (x, y), in pixels, to the nearest hazard within the
    // run-up in direction `step` (1 right, -1 left); 0 when there is none.
    static int32_t HazardDistance(const LevelMapContent& map, int32_t x, int32_t y, int32_t step);
    static bool IsDeadlyCell(const LevelMapContent& map, int32_t column, int32_t row);
    static bool CheckScriptTable(const LevelScriptContent& scripts, std::string& error);
    static bool CheckCommands(const CompiledLevel& level, std::string& error);
    static bool CheckControls(const LevelScriptContent& scripts, std::string& error);
    static bool CheckRunaway(const LevelScriptContent& scripts, std::string& error);
    static bool CheckWaits(const LevelScriptContent& scripts, std::string& error);
    static bool FailSecondWait(const LevelScriptContent& scripts, size_t waiting, size_t earlier, size_t fork,
                               std::string& error);
    static bool CheckEnding(const LevelScriptContent& scripts, std::string& error);
    static int32_t TemplateTypeOfRef(const LevelMapContent& map, uint8_t ref);
    // Whether an actor the map places can release a script waiting for one.
    static bool MapHasReleaser(const LevelMapContent& map);
};

#endif
