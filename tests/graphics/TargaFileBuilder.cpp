#include "TargaFileBuilder.h"

namespace targatest {

std::vector<uint8_t> TargaHeaderBytes(const TargaSpec& spec) {
    return {static_cast<uint8_t>(spec.id.size()),
            spec.colorMapType,
            spec.imageType,
            0, 0, 0, 0, 0,  // colour-map specification
            0, 0, 0, 0,     // origin
            static_cast<uint8_t>(spec.width),
            static_cast<uint8_t>(spec.width >> 8),
            static_cast<uint8_t>(spec.height),
            static_cast<uint8_t>(spec.height >> 8),
            spec.depth,
            spec.descriptor};
}

std::vector<uint8_t> BuildTarga(const TargaSpec& spec) {
    std::vector<uint8_t> out = TargaHeaderBytes(spec);
    out.insert(out.end(), spec.id.begin(), spec.id.end());
    out.insert(out.end(), spec.data.begin(), spec.data.end());
    return out;
}

std::vector<uint8_t> PatternPixels(uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint8_t seed) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bytesPerPixel);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(seed + i * 7);
    return pixels;
}

void AppendRun(std::vector<uint8_t>* out, uint32_t count, const std::vector<uint8_t>& pixel) {
    out->push_back(static_cast<uint8_t>(0x80 | (count - 1)));
    out->insert(out->end(), pixel.begin(), pixel.end());
}

void AppendLiterals(std::vector<uint8_t>* out, const std::vector<uint8_t>& pixels, uint32_t bytesPerPixel) {
    out->push_back(static_cast<uint8_t>(pixels.size() / bytesPerPixel - 1));
    out->insert(out->end(), pixels.begin(), pixels.end());
}

}  // namespace targatest
