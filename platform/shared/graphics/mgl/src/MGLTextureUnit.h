#ifndef MGLTEXTUREUNIT_H
#define MGLTEXTUREUNIT_H

#include <cstdint>

#include "TextureUnit.h"

class BufferTable;

// Filter and texture mode of a new or freshly filled unit.
constexpr int32_t kTextureUnitFilterMode = 5;
constexpr int32_t kTextureUnitTexMode = 1;

// A unit as new: the empty buffer part of a free slot, no sizes, and no
// slot mirrored (id -1).
void ResetTextureUnit(TextureUnit& unit);

// The log2 sizes, bytes and channels per pixel from the unit's format and size.
void DeriveTextureUnitSizes(TextureUnit& unit);

// Mirrors slot `slot` of the table into the unit: format, flags, size, mip
// state and the guest address of each level that span code may read (level
// 0 always; with a mip chain the levels below maxD), plus the derived
// log2 sizes, bytes and channels per pixel. The palette is not copied.
// Returns height_log2; a slot that is free or outside the table leaves the
// unit as it was and gives -1.
int32_t FillTextureUnit(TextureUnit& unit, const BufferTable& table, int32_t slot);

#endif
