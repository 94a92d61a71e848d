#ifndef LEVELSETVALIDATOR_H
#define LEVELSETVALIDATOR_H

#include "CompiledContent.h"

#include <string>

// The level data as a whole, once a content tree has levels: all nine,
// three members in each tileset group (main tiles, background-layer tiles,
// background pictures) that are images in whole 24-pixel tiles, a
// dialogue key set whose texts are all in string table 0, and every level
// by the rules of LevelValidator.
class LevelSetValidator {
public:
    static bool Check(const CompiledContent& content, std::string& error);

private:
    static bool CheckImageGroup(const CompiledContent& content, uint32_t handle, bool wholeTiles, std::string& error);
    static bool CheckDialogue(const CompiledContent& content, std::string& error);
};

#endif
