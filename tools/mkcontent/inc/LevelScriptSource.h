#ifndef LEVELSCRIPTSOURCE_H
#define LEVELSCRIPTSOURCE_H

#include "DialogueTable.h"
#include "LevelContent.h"
#include "SourceText.h"

#include <cstdint>
#include <string>
#include <vector>

// A level's scripts described as text (`*.scr`). Columns and rows are
// tiles; actors are the names the level's map gives them; texts are names
// of the dialogue table.
//
//   script ID [loop] [then=ID,...]      up to `end`
//     reach C R W H                     wait until the player's box meets
//                                       the tiles C..C+W-1, R..R+H-1
//                                       (W, H >= 0), an area that touches
//                                       the map
//     near ACTOR PIXELS                 wait until an actor comes nearer
//                                       than PIXELS (at least 1)
//     gone ACTOR                        wait until the actor is destroyed
//     camera C R [speed=N] [nowait]     camera to a tile's middle (instant
//     camera_type TYPE [speed=N] [nowait]   without a speed), to the first
//     camera_at ACTOR [speed=N] [nowait]    actor of a type, to an actor
//     say SPEAKER TEXT                  dialogue box (SPEAKER -1..10)
//     page SPEAKER TEXT                 centred text page
//     walk C R left|right [nowait]      the player walks there
//     teleport C R left|right
//     control off|on                    take or give back the controls
//     delay MS [landed]
//     shake MS AX AY [nowait]           MS -1: endless; `shake stop`
//     complete                          the level is done
//     signal ACTOR | touch ACTOR        wake an actor | name it (no effect)
//     timer                             wait 1200 ms
//     flag 0|1 | nothing | pause        script flag | no-op | scripted pause
//     bounds X1 Y1 X2 Y2                camera window (-1: last column/row)
//     place C R ACTOR                   put an actor on a tile
//     stop ID                           stop a script
//     wait_actor                        until an actor releases the script
//     substate N                        0 play, 2 game over, 3 complete, 5 black
class LevelScriptSource {
public:
    LevelScriptSource(const LevelMapContent& map, const DialogueTable& dialogue) : m_map(map), m_dialogue(dialogue) {}

    bool Parse(const SourceText& source, LevelScriptContent& out, std::string& error);

private:
    bool BeginScript(const SourceLine& line, std::string& error);
    bool ParseCommand(const SourceLine& line, std::string& error);
    bool Numbers(const SourceLine& line, size_t first, size_t count, int32_t* values, std::string& error) const;
    bool AreaSize(const SourceLine& line, int32_t width, int32_t height, std::string& error) const;
    // `area` is C, R, W, H in tiles.
    bool AreaTouchesMap(const SourceLine& line, const int32_t* area, std::string& error) const;
    // Tiles to pixels (plus `offset`), each of which must fit 16 bits.
    bool TilePixels(const SourceLine& line, const int32_t* tiles, size_t count, int32_t offset, int16_t* pixels,
                    std::string& error) const;
    bool Actor(const SourceLine& line, size_t word, int16_t& ref, std::string& error) const;
    bool Text(const SourceLine& line, int8_t& speaker, int16_t& text, std::string& error) const;
    bool Facing(const SourceLine& line, size_t word, int8_t& facing, std::string& error) const;
    bool CameraOptions(const SourceLine& line, size_t first, bool& instant, int16_t& speed, bool& wait,
                       std::string& error) const;

    const LevelMapContent& m_map;
    const DialogueTable& m_dialogue;
    LevelScriptContent m_out;
    bool m_open = false;
};

#endif
