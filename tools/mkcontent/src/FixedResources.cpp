#include "FixedResources.h"

#include "ContentTypes.h"

namespace {

using Kind = FixedResources::Kind;

}  // namespace

const std::vector<FixedResources::Resource>& FixedResources::All() {
    static const std::vector<Resource> resources = {
        // Start-up.
        {271, Kind::Binary, "resource directory", false},
        {0x030001B7, Kind::Binary, "properties.dat fallback", false},
        {0x03000286, Kind::Binary, "font 0 data", false},
        {0x0000023F, Kind::Image, "font 0 atlas", false},
        {0x0500010E, Kind::Keyset, "sprite data key set", false},
        // Front end.
        {597, Kind::Image, "soft-key strip", false},
        {542, Kind::Image, "soft-key corner", false},
        {671, Kind::Image, "logo sheet", false},
        {429, Kind::Image, "menu frame half", false},
        {460, Kind::Image, "menu top bar", false},
        {612, Kind::Image, "menu side edge", false},
        {654, Kind::Image, "selection bar tile", false},
        {555, Kind::Image, "selection bar framed cap", false},
        {334, Kind::Image, "selection bar cap", false},
        {491, Kind::Image, "row frame end", false},
        {526, Kind::Image, "row tile", false},
        {331, Kind::Image, "scroll arrow", false},
        {605, Kind::Image, "side frame top", false},
        {604, Kind::Image, "side frame tile", false},
        {512, Kind::Image, "side frame bottom", false},
        {324, Kind::Image, "dialogue frame left", false},
        {562, Kind::Image, "dialogue frame tile", false},
        {593, Kind::Image, "dialogue frame right", false},
        {0x05000101, Kind::Keyset, "intro images", false},
        // Play: touch controls, portraits, dialogue border, HUD icons.
        {536, Kind::Image, "direction pad", false},
        {372, Kind::Image, "fire button", false},
        {343, Kind::Image, "second button", false},
        {523, Kind::Image, "portrait 0", false},
        {375, Kind::Image, "portrait 1", false},
        {500, Kind::Image, "portrait 3", false},
        {332, Kind::Image, "portrait 4", false},
        {487, Kind::Image, "portrait 5", false},
        {441, Kind::Image, "portrait 6", false},
        {506, Kind::Image, "portrait 7", false},
        {520, Kind::Image, "portrait 8", false},
        {518, Kind::Image, "portrait 10", false},
        {600, Kind::Image, "border bottom-left corner", false},
        {337, Kind::Image, "border bottom-right corner", false},
        {615, Kind::Image, "border bottom tile", false},
        {533, Kind::Image, "border top-left corner", false},
        {357, Kind::Image, "border top-right corner", false},
        {344, Kind::Image, "border side tile", false},
        {421, Kind::Image, "border top tile", false},
        {530, Kind::Image, "border emblem 7", false},
        {353, Kind::Image, "border emblem 8", false},
        {432, Kind::Image, "border emblem 9", false},
        {440, Kind::Image, "HUD icon", false},
        {623, Kind::Image, "HUD icon of the last level", false},
        {453, Kind::Image, "interlude picture", false},
        // Levels.
        {0x05000108, Kind::Keyset, "level maps", true},
        {0x05000109, Kind::Keyset, "level scripts", true},
        {0x0500010A, Kind::Keyset, "tilesets", true},
        {0x0500010B, Kind::Keyset, "background tilesets", true},
        {0x0500010C, Kind::Keyset, "background pictures", true},
        {0x0500010D, Kind::Keyset, "dialogue texts", true},
        // Sounds.
        {0x09000163, Kind::Sound, "logo slide-in", false},
        {0x09000169, Kind::Sound, "menu music (looped)", false},
        {0x09000223, Kind::Sound, "sound on, pickup", false},
        {0x09000298, Kind::Sound, "hit, explosion", false},
        {0x09000280, Kind::Sound, "hard landing", false},
        {0x0900016B, Kind::Sound, "shot", false},
        {0x09000126, Kind::Sound, "boost", false},
        {0x09000203, Kind::Sound, "finishing blow", false},
        {0x09000250, Kind::Sound, "boss blow", false},
        {0x09000239, Kind::Sound, "partner greeting", false},
        {0x0900012C, Kind::Sound, "finisher", false},
        // Texts of string table 0.
        {0x21FF0207, Kind::Text, "sound question", false},
        {0x21FF022C, Kind::Text, "message box: no", false},
        {0x21FF028D, Kind::Text, "message box: yes", false},
        {0x21FF023D, Kind::Text, "saving impossible", false},
        {0x21FF017E, Kind::Text, "menu: play", false},
        {0x21FF020A, Kind::Text, "menu: options", false},
        {0x21FF017F, Kind::Text, "menu: help", false},
        {0x21FF0222, Kind::Text, "menu: about", false},
        {0x21FF0201, Kind::Text, "menu: quit", false},
        {0x21FF01D7, Kind::Text, "quit question", false},
        {0x21FF0187, Kind::Text, "goodbye", false},
        {0x21FF0213, Kind::Text, "options: sound", false},
        {0x21FF01F2, Kind::Text, "options: vibration", false},
        {0x21FF01D3, Kind::Text, "options: reset progress", false},
        {0x21FF0226, Kind::Text, "on", false},
        {0x21FF01D6, Kind::Text, "off", false},
        {0x21FF0145, Kind::Text, "reset question", false},
        {0x21FF02A9, Kind::Text, "about page layout", false},
        {0x21FF01CD, Kind::Text, "about part 2", false},
        {0x21FF0168, Kind::Text, "about part 3", false},
        {0x21FF0133, Kind::Text, "about part 4", false},
        {0x21FF0184, Kind::Text, "help", false},
        {0x21FF0242, Kind::Text, "pause: resume", false},
        {0x21FF021D, Kind::Text, "pause: restart level", false},
        {0x21FF01A8, Kind::Text, "pause: quit to menu", false},
        {0x21FF0196, Kind::Text, "restart question", false},
        {0x21FF0252, Kind::Text, "quit-to-menu question", false},
        {0x21FF011E, Kind::Text, "game over: retry", false},
        {0x21FF024B, Kind::Text, "level 1 name", false},
        {0x21FF0234, Kind::Text, "level 2 name", false},
        {0x21FF01AE, Kind::Text, "level 3 name", false},
        {0x21FF019A, Kind::Text, "level 4 name", false},
        {0x21FF01D9, Kind::Text, "level 5 name", false},
        {0x21FF01B4, Kind::Text, "level 6 name", false},
        {0x21FF0130, Kind::Text, "level 7 name", false},
        {0x21FF0118, Kind::Text, "level 8 name", false},
        {0x21FF0175, Kind::Text, "level 9 name", false},
        {0x21FF01BF, Kind::Text, "caption", false},
        {0x21FF0292, Kind::Text, "loading", false},
        {0x21FF01DD, Kind::Text, "soft key: select", false},
        {0x21FF02AA, Kind::Text, "soft key: menu", false},
        {0x21FF015C, Kind::Text, "soft key: back", false},
        {0x21FF015E, Kind::Text, "speaker 0", false},
        {0x21FF026C, Kind::Text, "speaker 1", false},
        {0x21FF011C, Kind::Text, "speaker 3", false},
        {0x21FF0269, Kind::Text, "speaker 4", false},
        {0x21FF0270, Kind::Text, "speaker 5", false},
        {0x21FF022F, Kind::Text, "speaker 6", false},
        {0x21FF0121, Kind::Text, "speaker 7", false},
        {0x21FF01EA, Kind::Text, "speaker 8", false},
        {0x21FF0227, Kind::Text, "speaker 9", false},
        {0x21FF0131, Kind::Text, "hint 1", false},
        {0x21FF014A, Kind::Text, "hint 2", false},
        {0x21FF0123, Kind::Text, "hint 3", false},
        {0x21FF01A6, Kind::Text, "hint 4", false},
        {0x21FF01CB, Kind::Text, "hint 5", false},
        {0x21FF017B, Kind::Text, "hint 6", false},
        {0x21FF011D, Kind::Text, "hint 7", false},
        {0x21FF0220, Kind::Text, "hint 8", false},
    };
    return resources;
}

uint32_t FixedResources::TypeWordOf(Kind kind) {
    switch (kind) {
        case Kind::Image:
            return ContentTypes::kImageDescriptor;
        case Kind::Binary:
            return ContentTypes::kBinary;
        case Kind::Keyset:
            return ContentTypes::kKeyset;
        case Kind::Sound:
            return ContentTypes::kRawPcm;
        case Kind::Text:
            return ContentTypes::kUtf8Text;
    }
    return 0;
}

const char* FixedResources::NameOf(Kind kind) {
    switch (kind) {
        case Kind::Image:
            return "image";
        case Kind::Binary:
            return "binary";
        case Kind::Keyset:
            return "key set";
        case Kind::Sound:
            return "sound";
        case Kind::Text:
            return "text";
    }
    return "";
}
