#ifndef LEVELMAPSOURCE_H
#define LEVELMAPSOURCE_H

#include "LevelContent.h"
#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A level map described as text (`*.map`):
//
//   type NAME [passable] [platform] [deadly] [ledge]
//                               tile types, codes 0, 1, ... in order
//   cell C [collide=TYPE] [tile=N]
//                               a terrain character: its collision type
//                               (none: empty) and main-layer tile (none:
//                               nothing drawn)
//   backcell C TILE             a character of the background layer
//   template NAME type=N|decor sprite=N|share=TEMPLATE [anchor=0|1]
//            [carrier] [range=H,V] [data=V,V,...]
//                               a spawn template; a data value is a number
//                               or @ACTOR, that actor's reference index
//   actor C TEMPLATE [name=NAME] [dx=N] [dy=N] [on=CELL]
//                               an actor character: a spawn of TEMPLATE at
//                               each cell showing it (x the cell's middle,
//                               y its bottom, or its top for anchor 1); a
//                               named actor has one cell and a reference
//   start C formA|formB [left]  the player's start character
//   grid                        the map, a character a cell, up to `end`
//   background                  rows repeated across and down to the
//                               map's size, up to `end`
//
// Several sources make one map, read in order (a legend the levels share,
// then the level's own file).
//
// Actor cells are empty terrain, or the terrain of the cell character `on`
// names (a lift on its track). Named actors get reference indexes 0, 1,
// ... in the order of their `actor` lines.
class LevelMapSource {
public:
    bool Parse(const std::vector<const SourceText*>& sources, LevelMapContent& out, std::string& error);

private:
    struct Cell {
        int8_t collision = -1;
        uint8_t tile = 0xFF;
    };
    struct Actor {
        std::string templateName;
        std::string name;
        int32_t dx = 0;
        int32_t dy = 0;
        char terrain = 0;  // 0: empty
        SourcePlace place;
    };
    struct PendingData {
        size_t templateIndex = 0;
        size_t byteIndex = 0;
        std::string actor;
        SourcePlace place;
    };
    struct Start {
        uint8_t kind = 0;
        SourcePlace place;
    };

    bool Statement(const SourceText& source, size_t& index, const SourceLine& line, std::string& error);
    bool ParseType(const SourceLine& line, std::string& error);
    bool ParseCell(const SourceLine& line, std::string& error);
    bool ParseBackCell(const SourceLine& line, std::string& error);
    bool ParseTemplate(const SourceLine& line, std::string& error);
    bool ParseTemplateData(const std::string& text, const SourcePlace& place, leveldata::Template& record,
                           std::string& error);
    bool ParseActor(const SourceLine& line, std::string& error);
    bool ParseStart(const SourceLine& line, std::string& error);
    bool ParseRows(const SourceText& source, size_t& index, const SourceLine& line, std::vector<std::string>& rows,
                   std::vector<SourcePlace>& places, std::string& error);
    bool NewCharacter(const SourceLine& line, char& character, std::string& error);

    bool Build(std::string& error);
    bool BuildLayers(std::string& error);
    bool BuildBackground(std::string& error);
    bool BuildActors(std::string& error);
    bool ResolveData(std::string& error);

    LevelMapContent m_out;
    std::map<std::string, int8_t> m_typeCodes;
    std::map<char, Cell> m_cells;
    std::map<char, uint8_t> m_backCells;
    std::map<char, Actor> m_actors;
    std::vector<std::string> m_actorNames;  // in order of their lines
    std::map<char, Start> m_starts;
    std::map<std::string, size_t> m_templateIndex;
    std::vector<PendingData> m_pendingData;
    std::vector<std::string> m_grid;
    std::vector<SourcePlace> m_gridPlaces;
    std::vector<std::string> m_backRows;
    std::vector<SourcePlace> m_backPlaces;
    bool m_haveGrid = false;
};

#endif
