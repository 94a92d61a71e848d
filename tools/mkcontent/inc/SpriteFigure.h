#ifndef SPRITEFIGURE_H
#define SPRITEFIGURE_H

#include "Raster.h"

#include <cstdint>
#include <string>
#include <vector>

// The poses of a figure, drawn by code in the style every actor of the game
// shares: parts with a one-pixel ink outline, a body colour, a trim colour
// for joints and stripes, and a lit eye on the side it faces (right).
//
// Kinds and their poses:
//   walker  stand idle step1 step2 crouch jump fall windup strike shoot use hurt down
//   flyer   hover1 hover2 dive strike hurt down
//   orb     idle blink armed blast hurt
class SpriteFigure {
public:
    enum class Kind { Walker, Flyer, Orb };

    struct Colours {
        uint32_t ink = 0;
        uint32_t body = 0;
        uint32_t trim = 0;
        uint32_t eye = 0;
        uint32_t flash = 0;  // the eye and trim of a hurt figure
    };

    static bool KindOf(const std::string& name, Kind& kind);
    static const std::vector<std::string>& Poses(Kind kind);
    // Poses that strike: an attack box goes with them.
    static bool IsAttackPose(const std::string& pose);
    // The low pose: the low box replaces the body box.
    static bool IsLowPose(const std::string& pose);

    static Raster Draw(Kind kind, const std::string& pose, int32_t width, int32_t height, const Colours& colours);

private:
    static Raster DrawWalker(const std::string& pose, int32_t width, int32_t height, const Colours& colours);
    static Raster DrawFlyer(const std::string& pose, int32_t width, int32_t height, const Colours& colours);
    static Raster DrawOrb(const std::string& pose, int32_t width, int32_t height, const Colours& colours);
};

#endif
