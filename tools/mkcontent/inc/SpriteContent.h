#ifndef SPRITECONTENT_H
#define SPRITECONTENT_H

#include "Raster.h"
#include "SourceText.h"
#include "SpriteData.h"

#include <cstdint>
#include <vector>

// The sprite module's data as a sprite script describes it, before it is
// written: where it lies, the definition, the sets (with the line each
// begins at) and the pictures behind the image slots.
struct SpriteContent {
    uint32_t keysetHandle = 0;
    spritedata::Ids ids;
    spritedata::Definition definition;
    std::vector<spritedata::SpriteSet> sets;
    std::vector<SourcePlace> setPlaces;
    std::vector<Raster> pictures;  // picture k: slot k, image module k
    SourcePlace place;
};

#endif
