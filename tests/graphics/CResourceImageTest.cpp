#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CResourceTarga.h"
#include "CResourceTexture.h"
#include "CTarga.h"
#include "TargaFileBuilder.h"

namespace {

std::vector<uint8_t> SmallTarga() {
    targatest::TargaSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.depth = 16;
    spec.data = targatest::PatternPixels(2, 2, 2);
    return targatest::BuildTarga(spec);
}

}  // namespace

TEST(CResourceTexture, LoadsATargaStreamByTypeKey) {
    AssertCounter checks;
    const std::vector<uint8_t> file = SmallTarga();
    CArrayInputStream stream;
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    CResourceTexture resource;
    EXPECT_EQ(resource.Create(0x123, &stream, CTexture::kTargaTypeKey), CResource::kLoadedFromStream);
    ASSERT_NE(resource.GetTexture(), nullptr);
    EXPECT_EQ(resource.GetTexture()->GetHeader()->type, 0x8363u);
    EXPECT_EQ(resource.GetSize(), 24u);
    EXPECT_TRUE(checks.Logged("Created CResourceTexture hnd:0x00000123 from input stream"));

    // The same bytes read as a stored texture block are too short for a header.
    CResourceTexture block;
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    EXPECT_EQ(block.Create(0x124, &stream, 0), CResource::kFailed);
    EXPECT_EQ(block.GetTexture(), nullptr);
    EXPECT_TRUE(checks.Logged("Unable to create CResourceTexture hnd:0x00000124"));
}

TEST(CResourceTarga, LoadsAndWraps) {
    AssertCounter checks;
    const std::vector<uint8_t> file = SmallTarga();
    CArrayInputStream stream;
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    CResourceTarga resource;
    EXPECT_EQ(resource.Create(0x40000007, &stream, 0), CResource::kLoadedFromStream);
    ASSERT_NE(resource.GetTarga(), nullptr);
    EXPECT_EQ(resource.GetTarga()->GetBlockSize(), file.size() + 2);
    EXPECT_EQ(resource.GetSize(), 28u);
    EXPECT_TRUE(checks.Logged("Created CResource[ ??? ] hnd:0x40000007"));

    // A wrapped image is owned: ASan reports it if the resource does not free it.
    CResourceTarga wrapped(new CTarga(), 0x55);
    EXPECT_TRUE(wrapped.IsLoaded());
    CResourceTexture nothing(nullptr, 0x56);
    EXPECT_FALSE(nothing.IsLoaded());
    EXPECT_EQ(checks.Count(), 0);
}
