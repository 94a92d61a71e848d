// The sprite-set reader on arbitrary set data, against a fixed definition
// of image and rectangle modules and two module maps: a set must load with
// every index inside its tables or stay unloaded, and every picture of a
// set that loads must walk without reading outside them.

#include "SpriteFuzzHarness.h"

namespace {

std::vector<uint8_t> FixedDefinition() {
    spritedata::Definition definition;
    definition.slots = {{0, spritedata::kNone}, {1, spritedata::kNone}};
    for (uint8_t v = 0; v < 8; ++v) definition.imageModules.push_back({static_cast<uint16_t>(v % 2), v, v});
    definition.imageModules.push_back({1, 0, 1});
    definition.rectModules = {{0xFF204060, 3, 2, 2}, {spritedata::kBoxColour, 5, 6, 1}};
    definition.maps = {{{0, 9, spritedata::kMapReplace, 1, 1}, {9, 8, spritedata::kMapOverlay, 2, 0}},
                       {{1, 10, spritedata::kMapUnderlay, 0, 0}}};
    definition.setCount = 2;
    std::vector<uint8_t> bytes;
    std::string error;
    Check(SpriteDataWriter::EncodeDefinition(definition, &bytes, &error));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> definition = FixedDefinition();
    spritefuzz::Run(definition, std::vector<uint8_t>(data, data + size));
    return 0;
}
