#ifndef APPTESTDATA_H
#define APPTESTDATA_H

// The game's data as the application tests make it: a small archive with
// the resource directory, font 0 and optional sounds and properties, and
// the configuration files, written into the application directory.

#include <cstdint>
#include <string>
#include <vector>

namespace apptest {

// Font 0: every printable character a solid 4 x 6 block of the font's
// colour; advance 5 with spacing 1, so each character steps 6 pixels; a
// space (advance only) steps 4. Line height 8.
constexpr int32_t kGlyphStep = 6;
constexpr int32_t kSpaceStep = 4;
constexpr int32_t kGlyphWidth = 4;
constexpr int32_t kGlyphHeight = 6;
constexpr int32_t kLineHeight = 8;
constexpr uint32_t kInkRgb = 0xFFFFFF;

struct Sound {
    uint32_t id;
    uint32_t samples;
};

// Any other entry: its id, resource type and stored bytes.
struct Entry {
    uint32_t id;
    uint32_t type;
    std::vector<uint8_t> bytes;
};

// An image resource drawn from a colour function, its bitmap filed under
// an id of its own.
struct Image {
    uint32_t id;
    int32_t width;
    int32_t height;
    uint32_t (*rgbAt)(int32_t x, int32_t y);
};

struct ArchiveSpec {
    bool directory = true;
    bool font = true;
    // The archive copy of properties.dat; empty for none.
    std::string properties;
    std::vector<Sound> sounds;
    std::vector<Entry> entries;
    std::vector<Image> images;
};

// Raw UTF-16 text, as a wide-text resource stores it.
std::vector<uint8_t> WideText(const std::u16string& text);
// A key set: a 16-bit count and the 32-bit ids, little-endian.
std::vector<uint8_t> KeySet(const std::vector<uint32_t>& ids);

std::vector<uint8_t> BuildArchive(const ArchiveSpec& spec);
// Writes mchvx2.big into the directory.
void WriteArchive(const std::string& directory, const ArchiveSpec& spec);
void WriteText(const std::string& directory, const std::string& name, const std::string& text);

}  // namespace apptest

#endif
