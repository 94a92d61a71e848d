#ifndef SPRITEBITMAPWRITER_H
#define SPRITEBITMAPWRITER_H

// Writes a sprite image as the sprite module decodes it: an uncompressed
// 8-bit bitmap (40-byte info header, rows bottom-up, padded to 4 bytes)
// whose palette colours are 0xRRGGBB. Pixels of the palette entry
// kTransparent (magenta) are not drawn.

#include <cstdint>
#include <string>
#include <vector>

class SpriteBitmapWriter {
public:
    static constexpr uint32_t kTransparent = 0xFF00FF;
    static constexpr uint32_t kMaxColours = 256;

    // `indices` holds width x height palette indices, top row first. False,
    // with the reason, for an empty picture, a palette of more than 256
    // colours or an index outside the palette.
    static bool EncodeIndexed(int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                              const std::vector<uint8_t>& indices, std::vector<uint8_t>* out, std::string* error);
};

#endif
