#ifndef PLANELOADTEST_H
#define PLANELOADTEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "CArrayInputStream.h"
#include "CMemory.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "ImageFileBuilder.h"

// For the image-loader tests: an image file in memory decoded into a fresh
// plane through a one-pair format map, and the check of what the plane holds.
class PlaneLoadTest : public ::testing::Test {
protected:
    void SetUp() override { params.Init(); }
    void TearDown() override { MemFree(keptPalette); }

    // Points the load parameters at the file, mapping `source` to `destination`.
    void Prepare(const std::vector<uint8_t>& file, uint32_t source, uint32_t destination) {
        stream.Open(file.data(), static_cast<uint32_t>(file.size()));
        params.stream = &stream;
        params.formatMap[0] = {source, destination};
    }

    // Expects the plane to hold a width × height image whose rows, top
    // first, hold palette indices (colours 0xRRGGBB where `palette` is
    // empty): at each pixel what a decoder writes for its colour, or 0 where
    // the colour is the key.
    template <typename Row>
    void ExpectPlane(int32_t width, int32_t height, const std::vector<Row>& rows, const std::vector<uint32_t>& palette,
                     uint32_t keyColour) {
        ASSERT_EQ(plane.GetWidth(), width);
        ASSERT_EQ(plane.GetHeight(), height);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t index = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
                const uint32_t rgb = palette.empty() ? index : palette[index];
                const uint32_t expected =
                    rgb == keyColour ? 0u : imagetest::ExpectedPixel(plane.GetFormat(), rgb, index);
                ASSERT_EQ(imagetest::PlanePixel(plane, x, y), expected) << "pixel " << x << "," << y;
            }
        }
    }

    imagetest::BlitRegistryScope registry;
    CArrayInputStream stream;
    CRenderSurfaceLoadParams params;
    CRenderSurfaceBuffer plane;
    uint32_t* keptPalette = nullptr;
};

#endif
