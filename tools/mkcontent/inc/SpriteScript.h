#ifndef SPRITESCRIPT_H
#define SPRITESCRIPT_H

#include "BitmapFont.h"
#include "ColourPalette.h"
#include "ImageScript.h"
#include "SourceText.h"
#include "SpriteContent.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Sprite sets described as pictures, boxes, frames and animations:
//
//   ids keyset=H definition=H sets=H images=H   where the data lies
//   animations N              every set is padded to N animations with
//                             copies of its animation 0
//   picture NAME WxH          a picture, drawn by the image-script commands
//   ...                       that follow it up to `end`
//   end
//   box NAME WxH [attribute=N]   an invisible box: 1 body (default), 2-4 attack
//   set N [sprites=K]         begins set N (K sprites, default 1)
//   frame NAME PART...        a frame of the set; a part is NAME@X,Y (a
//                             picture or box, its top-left from the actor)
//   anim INDEX FRAME:MS ...   an animation of the set; MS a multiple of 10
//   figure NAME KIND WxH body=C trim=C eye=C flash=C
//                             the poses of a figure drawn by code
//                             (SpriteFigure), pictures NAME.POSE
//   figureframes FIGURE body=WxH [low=WxH] [attack=WxH@X,Y] [reach=WxH@X,Y]
//                [back=WxH@X,Y] [armed] [as=PREFIX]
//                             a frame per pose of the figure, named after
//                             the pose (PREFIX.POSE with as=): the picture standing on the actor's
//                             position over its body box (the low box in the
//                             crouching pose), an attack box (attribute 2)
//                             in the striking poses (every pose when
//                             armed), a reach box (3) and a
//                             back box (4) in every pose
//   anim A,B... FRAME:MS[*N] ... several animations alike; *N repeats a step
//   placeholders A..B [except=N,M...] [sprites=SET:K,...]
//                             labelled stand-in sets: a block with the set's
//                             number, bobbing, over a body box
//
// Pictures are drawn 12 pixels above their boxes, as the game draws a
// sprite's pictures 12 pixels lower than its boxes. The pictures become the
// definition's image slots and image modules (in order), boxes its
// rectangle modules; each set gets a pose per frame, and each sprite holds
// every image module its set's frames draw.
class SpriteScript {
public:
    SpriteScript(const ColourPalette& palette, const BitmapFont& font)
        : m_palette(palette), m_font(font), m_images(palette, font) {}

    bool Parse(const SourceText& source, SpriteContent& out, std::string& error);

private:
    // A part before module numbers are known: picture or box, by index.
    struct PendingPart {
        bool box = false;
        size_t index = 0;
        int16_t dx = 0;
        int16_t dy = 0;
    };
    struct PendingSet {
        int32_t number = 0;
        int32_t sprites = 1;
        SourcePlace place;
        std::map<std::string, uint16_t> frameIndex;
        std::vector<std::vector<PendingPart>> frames;
        std::map<int32_t, spritedata::Animation> animations;
    };

    bool Statement(const SourceText& source, size_t& index, const SourceLine& line, std::string& error);
    bool ParseIds(const SourceLine& line, std::string& error);
    bool ParsePicture(const SourceLine& line, std::string& error);
    bool ParseBox(const SourceLine& line, std::string& error);
    bool ParseSet(const SourceLine& line, std::string& error);
    bool ParseFrame(const SourceLine& line, std::string& error);
    bool ParseAnimation(const SourceLine& line, std::string& error);
    bool ParsePlaceholders(const SourceLine& line, std::string& error);
    bool ParseFigure(const SourceLine& line, std::string& error);
    bool ParseFigureFrames(const SourceLine& line, std::string& error);
    bool ParseStep(const std::string& step, const PendingSet& set, const SourcePlace& place,
                   spritedata::Animation& animation, std::string& error) const;
    // A box module of that size and attribute, made once.
    size_t BoxModule(int32_t width, int32_t height, int32_t attribute);
    bool ParsePart(const std::string& word, const SourcePlace& place, PendingPart& part, std::string& error) const;
    bool AddPlaceholder(int32_t number, int32_t sprites, const SourcePlace& place, std::string& error);
    bool NewSet(int32_t number, int32_t sprites, const SourcePlace& place, std::string& error);
    bool Finish(SpriteContent& out, std::string& error);
    spritedata::SpriteSet BuildSet(const PendingSet& pending, const spritedata::Definition& definition) const;

    const ColourPalette& m_palette;
    const BitmapFont& m_font;
    ImageScript m_images;
    SpriteContent m_out;
    bool m_haveIds = false;
    int32_t m_minAnimations = 1;
    std::map<std::string, size_t> m_pictureIndex;
    std::map<std::string, size_t> m_boxIndex;
    struct Figure {
        int32_t kind = 0;
        int32_t width = 0;
        int32_t height = 0;
    };
    std::map<std::string, Figure> m_figures;
    std::vector<PendingSet> m_sets;
    // The picture the drawing commands go to; -1 when none is open.
    int32_t m_openPicture = -1;
    int64_t m_pixels = 0;  // in the pictures so far
};

#endif
