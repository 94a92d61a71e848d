#ifndef IMAGESCRIPT_H
#define IMAGESCRIPT_H

#include "BitmapFont.h"
#include "ColourPalette.h"
#include "Raster.h"
#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One picture drawn by an image script.
struct DrawnImage {
    uint32_t handle = 0;
    SourcePlace place;
    Raster raster;
};

// Pictures described by drawing commands. A file holds any number of
// pictures, each starting with `image HANDLE WIDTHxHEIGHT` on a transparent
// canvas; colours are palette names (`key` is transparent):
//
//   fill COLOUR
//   rect X Y W H COLOUR
//   frame X Y W H COLOUR [width=N]
//   bevel X Y W H FACE LIGHT DARK          raised panel with a 1-pixel rim
//   gradient X Y W H FROM TO [horizontal] [bands=N]
//   line X0 Y0 X1 Y1 COLOUR
//   disc CX CY R COLOUR
//   triangle X0 Y0 X1 Y1 X2 Y2 COLOUR
//   text X Y COLOUR "TEXT" [scale=N] [align=left|centre|right] [shadow=COLOUR]
//   art X Y [scale=N] C=COLOUR ...         then rows of characters up to an
//                                          empty line; unmapped characters
//                                          leave the pixel as it is
class ImageScript {
public:
    ImageScript(const ColourPalette& palette, const BitmapFont& font) : m_palette(palette), m_font(font) {}

    bool Parse(const SourceText& source, std::vector<DrawnImage>& images, std::string& error);
    // Draws one command line (index: the line in `source`; `art` moves it
    // past its rows) onto `raster`.
    bool Draw(const SourceText& source, size_t& index, const SourceLine& line, Raster& raster, std::string& error);

private:
    // A drawing line: its words, the first being the command.
    struct Command {
        SourceLine line;
        std::map<std::string, std::string> options;  // `name=value` words after the positional ones
    };

    bool StartImage(const SourceLine& line, std::vector<DrawnImage>& images, std::string& error);
    // Reads `count` integers from word 1 on and the options after them.
    bool Numbers(Command& command, size_t count, int32_t* values, size_t extraPositional, std::string& error) const;
    bool Colour(const Command& command, size_t word, uint32_t& colour, std::string& error) const;

    bool DrawFill(Command& command, Raster& raster, std::string& error);
    bool DrawRect(Command& command, Raster& raster, std::string& error);
    bool DrawFrame(Command& command, Raster& raster, std::string& error);
    bool DrawBevel(Command& command, Raster& raster, std::string& error);
    bool DrawGradient(Command& command, Raster& raster, std::string& error);
    bool DrawLine(Command& command, Raster& raster, std::string& error);
    bool DrawDisc(Command& command, Raster& raster, std::string& error);
    bool DrawTriangle(Command& command, Raster& raster, std::string& error);
    bool DrawText(Command& command, Raster& raster, std::string& error);
    bool DrawArt(const SourceText& source, size_t& index, Command& command, Raster& raster,
                 std::string& error);

    const ColourPalette& m_palette;
    const BitmapFont& m_font;
    int64_t m_pixels = 0;  // drawn by the file so far
};

#endif
