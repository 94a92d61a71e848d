#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CResourceShader.h"
#include "CResourceTextureObject.h"

// This platform has no renderer objects: both resources are refused, with
// or without data, and hold nothing afterwards.
TEST(CResourceShader, IsAlwaysRefused) {
    AssertCounter checks;
    const std::vector<uint8_t> data = {1, 2, 3, 4};
    CArrayInputStream stream;
    stream.Open(data.data(), static_cast<uint32_t>(data.size()));
    CResourceShader shader;
    EXPECT_EQ(shader.Create(0x10, &stream, 0xD65E722E), CResource::kFailed);
    EXPECT_EQ(shader.Create(0x10, nullptr, 0xD65E722E), CResource::kFailed);
    EXPECT_FALSE(shader.IsLoaded());
    EXPECT_EQ(shader.GetObject(), nullptr);
    EXPECT_EQ(shader.GetSize(), 0u);
    EXPECT_EQ(checks.Count(), 0);
}

TEST(CResourceTextureObject, IsRefusedAndReportsTheMissingObject) {
    AssertCounter checks;
    CResourceTextureObject texture;
    EXPECT_EQ(texture.Create(0x11, nullptr, 0), CResource::kFailed);
    EXPECT_EQ(checks.Count(), 1);
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetObject(), nullptr);
    EXPECT_EQ(texture.GetSize(), 0u);
    EXPECT_EQ(checks.Count(), 2);
}
