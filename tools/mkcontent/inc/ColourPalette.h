#ifndef COLOURPALETTE_H
#define COLOURPALETTE_H

#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>

// The named colours every picture is drawn with, so that all of them share
// one style. Source lines: `colour NAME RRGGBB`. The name `key` is the
// transparent colour and cannot be redefined.
class ColourPalette {
public:
    bool Parse(const SourceText& source, std::string& error);
    bool Define(const std::string& name, uint32_t colour, const SourcePlace& place, std::string& error);
    // The colour of a name, or false with a message naming the place.
    bool Find(const std::string& name, const SourcePlace& place, uint32_t& colour, std::string& error) const;

private:
    std::map<std::string, uint32_t> m_colours;
};

#endif
