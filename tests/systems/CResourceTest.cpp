#include "CArrayInputStream.h"
#include "CBinary.h"
#include "CKeyset.h"
#include "CMedia.h"
#include "CPalette.h"
#include "CResourceBinary.h"
#include "CResourceKeyset.h"
#include "CResourceMedia.h"
#include "CResourcePalette.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

namespace {

TEST(CResource, BinaryWithoutStreamIsCreatedEmpty) {
    AssertCounter log;
    CResourceBinary resource;
    EXPECT_EQ(resource.Create(0x10, nullptr, 0), CResource::kCreatedEmpty);
    EXPECT_TRUE(resource.IsLoaded());
    EXPECT_EQ(resource.GetSize(), 20u);
    EXPECT_TRUE(log.Logged("Created CResourceBinary hnd:0x00000010 default construction only"));
}

TEST(CResource, LoadsFromAStreamAndReportsTheSizeTheHandsetDid) {
    const uint8_t keys[] = {2, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    CArrayInputStream stream;
    stream.Open(keys, sizeof keys);
    CResourceKeyset keyset;
    ASSERT_EQ(keyset.Create(0x20, &stream, 0x69E5D35C), CResource::kLoadedFromStream);
    EXPECT_EQ(keyset.GetKeyset()->Get(1), 2u);
    EXPECT_EQ(keyset.GetSize(), 12u);

    const uint8_t pcm[] = {1, 2, 3, 4};
    stream.Open(pcm, sizeof pcm);
    CResourceMedia media;
    ASSERT_EQ(media.Create(0x21, &stream, CMedia::kRawPcmType), CResource::kLoadedFromStream);
    EXPECT_EQ(media.GetObject()->GetClassKey(), CMedia::kClassKey);
    EXPECT_EQ(media.GetSize(), 24u);
}

TEST(CResource, FailedLoadsFreeThePayloadAndSayWhy) {
    AssertCounter log;
    const uint8_t nothing[1] = {0};
    CArrayInputStream stream;
    stream.Open(nothing, 0);
    CResourcePalette palette;
    EXPECT_EQ(palette.Create(0x30, &stream, 0x12345678), CResource::kFailed);
    EXPECT_FALSE(palette.IsLoaded());
    EXPECT_EQ(palette.GetObject(), nullptr);
    EXPECT_EQ(palette.GetSize(), 0u);
    EXPECT_TRUE(log.Logged("Unable to create CResourcePalette hnd:0x00000030"));
}

TEST(CResource, DestroyingWithReferencesWarnsAndStillFrees) {
    AssertCounter log;
    CResourceBinary* resource = new CResourceBinary();
    resource->Create(0x40, nullptr, 0);
    resource->AddRef();
    delete resource;
    EXPECT_TRUE(log.Logged("Warning, CResourceBinary hnd:0x00000040 is being destroyed with refCnt:1"));
}

TEST(CResource, HandleKinds) {
    EXPECT_TRUE(CResource::IsNameKeyHandle(0x80000001));
    EXPECT_FALSE(CResource::IsRuntimeHandle(0xC0000001));
    EXPECT_TRUE(CResource::IsRuntimeHandle(0x40000001));
    EXPECT_EQ(CResource::CountLeadingZeros(0), 32u);
    EXPECT_EQ(CResource::CountLeadingZeros(0x40000000), 1u);
    EXPECT_EQ(CResource::CountLeadingZeros(0x80000000), 0u);
}

}  // namespace
