#ifndef TARGAFILEBUILDER_H
#define TARGAFILEBUILDER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Small Targa files for the image tests and fuzz seeds, written from the
// file format: an 18-byte little-endian header, an optional image ID and
// the pixel data as given (plain bytes, or run-length packets built with
// the helpers below).
namespace targatest {

struct TargaSpec {
    uint8_t imageType = 2;
    uint8_t colorMapType = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    std::vector<uint8_t> id;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> BuildTarga(const TargaSpec& spec);

// The 18 header bytes of a spec.
std::vector<uint8_t> TargaHeaderBytes(const TargaSpec& spec);

// Distinct bytes for a width x height image of `bytesPerPixel`.
std::vector<uint8_t> PatternPixels(uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint8_t seed = 1);

// Run-length packets: `count` copies of one pixel, or `count` literal pixels.
void AppendRun(std::vector<uint8_t>* out, uint32_t count, const std::vector<uint8_t>& pixel);
void AppendLiterals(std::vector<uint8_t>* out, const std::vector<uint8_t>& pixels, uint32_t bytesPerPixel);

}  // namespace targatest

#endif
