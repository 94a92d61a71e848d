#ifndef TEXTUREUNIT_H
#define TEXTUREUNIT_H

#include <cstddef>
#include <cstdint>

// The first 68 bytes of a texture unit: a buffer-table slot as span code sees
// it. The pointer fields hold guest addresses (MGLGuestMemory), since span
// code loads them into 32-bit registers and dereferences them.
struct TextureUnitBuffer {
    uint32_t format;      // pixel-format id
    uint16_t flags;
    uint16_t spare6;
    int32_t width;
    int32_t height;
    uint32_t palette;     // guest address
    int32_t miptype;
    int32_t maxD;
    uint32_t levels[10];  // guest address of each mip level
};

// One of the eight texture units of the state record. Its byte layout is read
// by stored span code at fixed offsets, so it is fixed here.
struct TextureUnit {
    TextureUnitBuffer b;
    int32_t width_log2;
    int32_t height_log2;
    int32_t bpp;
    int32_t cpp;
    int32_t filter_mode;
    int32_t texmode;
    uint32_t spare92[2];
    int32_t id;           // buffer-table slot mirrored, -1 when none
};

static_assert(offsetof(TextureUnitBuffer, format) == 0);
static_assert(offsetof(TextureUnitBuffer, flags) == 4);
static_assert(offsetof(TextureUnitBuffer, width) == 8);
static_assert(offsetof(TextureUnitBuffer, height) == 12);
static_assert(offsetof(TextureUnitBuffer, palette) == 16);
static_assert(offsetof(TextureUnitBuffer, miptype) == 20);
static_assert(offsetof(TextureUnitBuffer, maxD) == 24);
static_assert(offsetof(TextureUnitBuffer, levels) == 28);
static_assert(sizeof(TextureUnitBuffer) == 68);
static_assert(offsetof(TextureUnit, width_log2) == 68);
static_assert(offsetof(TextureUnit, height_log2) == 72);
static_assert(offsetof(TextureUnit, bpp) == 76);
static_assert(offsetof(TextureUnit, cpp) == 80);
static_assert(offsetof(TextureUnit, filter_mode) == 84);
static_assert(offsetof(TextureUnit, texmode) == 88);
static_assert(offsetof(TextureUnit, id) == 100);
static_assert(sizeof(TextureUnit) == 104);

#endif
