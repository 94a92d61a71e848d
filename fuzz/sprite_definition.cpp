// The sprite definition reader on arbitrary definition data, with a small
// sound set 0 beside it: the definition must load or stay unloaded, never
// read outside the input or keep an index outside its tables.

#include "SpriteFuzzHarness.h"

namespace {

// One frame of module 0, one pose, one animation, one sprite holding image
// module 0; read against whatever definition the input is.
std::vector<uint8_t> FixedSet() {
    return {1, 0, 1, 0, 0, 0, 0, 0, 0,  // a frame of module 0 at (0, 0)
            1, 0, 1, 0, 0, 0, 0, 0, 0,  // a pose of frame 0
            1, 0, 0xFF, 1, 0, 0, 10, 0,  // an animation of pose 0 for 100 ms
            1, 0x01, 0x00, 0xFF};       // a sprite of image module 0, no map
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spritefuzz::Run(std::vector<uint8_t>(data, data + size), FixedSet());
    return 0;
}
