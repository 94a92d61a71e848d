#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CArrayOutputStream.h"
#include "CShader_MGL.h"
#include "FailingStream.h"
#include "ShaderStateBuilder.h"

namespace {

constexpr uint32_t kTag = CShader_MGL::kStateTag;
constexpr uint32_t kRawTag = 0x12345678;

class CShaderMGLTest : public ::testing::Test {
protected:
    std::unique_ptr<CShader_MGL> shader = std::make_unique<CShader_MGL>();

    bool Load(const std::vector<uint8_t>& bytes, uint32_t tag = kTag) {
        CArrayInputStream stream;
        stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return shader->Load(&stream, tag);
    }
    // What Save writes, or nothing when it fails.
    std::vector<uint8_t> Save(uint32_t tag = kTag, uint32_t capacity = 1 << 17) {
        std::vector<uint8_t> out(capacity);
        CArrayOutputStream stream;
        stream.Open(out.data(), capacity);
        if (!shader->Save(&stream, tag)) return {};
        out.resize(stream.GetPosition());
        return out;
    }
    static std::vector<uint8_t> StateImage(const int32_t (&keys)[6], uint32_t lead = 0) {
        return ShaderStateBuilder().Lead(lead).Selection(keys).Code({0xE1A0C000, 0xE12FFF1E}).Key(77, lead).Image();
    }
    static std::vector<uint8_t> RawImage(uint32_t payloadBytes) {
        std::vector<uint8_t> bytes(3 + payloadBytes);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
        return bytes;
    }
};

TEST_F(CShaderMGLTest, IsAShaderObjectOfTypeTwo) {
    EXPECT_EQ(shader->GetClassKey(), 0xD65E722Eu);
    EXPECT_EQ(shader->GetType(), 2u);
    EXPECT_FALSE(shader->Reserved2(1));
    EXPECT_EQ(shader->GetStatus(), 0u);
    EXPECT_EQ(shader->GetSelectedState(), nullptr);
}

TEST_F(CShaderMGLTest, StatesFillSlotsInOrderAndTheLowestMatchWins) {
    ASSERT_TRUE(Load(StateImage({1, 2, 3, 4, 5, 6}, 10)));
    ASSERT_TRUE(Load(StateImage({7, 8, 9, 10, 11, 12}, 11)));
    ASSERT_TRUE(Load(StateImage({7, 8, 9, 10, 11, 12}, 12)));
    EXPECT_EQ(shader->StateCount(), 3);
    EXPECT_TRUE(shader->SelectState(7, 8, 9, 10, 11, 12));
    EXPECT_EQ(shader->GetSelectedState(), shader->State(1));
    EXPECT_EQ(shader->GetSelectedState()->GetKey(77), 11u);

    // A search that finds nothing leaves nothing selected.
    EXPECT_FALSE(shader->SelectState(7, 8, 9, 10, 11, 13));
    EXPECT_EQ(shader->GetSelectedState(), nullptr);
    EXPECT_TRUE(Save().empty()) << "no selection, nothing saved";
}

TEST_F(CShaderMGLTest, EachOfTheSixKeysTakesPartInTheSelection) {
    const int32_t base[6] = {-1, 91, 115, 2, INT32_MIN, 5};
    for (int32_t i = 0; i < 6; ++i) {
        int32_t keys[6];
        for (int32_t k = 0; k < 6; ++k) keys[k] = base[k];
        keys[i] += 1000;
        ASSERT_TRUE(Load(StateImage(keys)));
    }
    ASSERT_TRUE(Load(StateImage(base)));
    EXPECT_TRUE(shader->SelectState(base[0], base[1], base[2], base[3], base[4], base[5]));
    EXPECT_EQ(shader->GetSelectedState(), shader->State(6));
    for (int32_t i = 0; i < 6; ++i) {
        int32_t k[6];
        for (int32_t j = 0; j < 6; ++j) k[j] = base[j];
        k[i] += 1000;
        EXPECT_TRUE(shader->SelectState(k[0], k[1], k[2], k[3], k[4], k[5]));
        EXPECT_EQ(shader->GetSelectedState(), shader->State(i)) << i;
    }
}

TEST_F(CShaderMGLTest, SaveAndLoadRoundTripByteForByte) {
    const std::vector<uint8_t> image = StateImage({1, 2, 3, 4, 5, 6}, 0xCAFEF00D);
    ASSERT_TRUE(Load(image));
    ASSERT_TRUE(shader->SelectState(1, 2, 3, 4, 5, 6));
    const std::vector<uint8_t> saved = Save();
    EXPECT_EQ(saved, image) << "the leading word and every key survive";
    shader = std::make_unique<CShader_MGL>();
    ASSERT_TRUE(Load(saved));
    ASSERT_TRUE(shader->SelectState(1, 2, 3, 4, 5, 6));
    EXPECT_EQ(Save(), image);
    AssertCounter overflow;
    EXPECT_TRUE(Save(kTag, MGLShaderState::kBytes - 1).empty()) << "a write error is a failure";
}

TEST_F(CShaderMGLTest, StateStreamsOfAnyOtherLengthAreRefused) {
    AssertCounter log;
    ASSERT_TRUE(Load(StateImage({1, 2, 3, 4, 5, 6})));
    ASSERT_TRUE(shader->SelectState(1, 2, 3, 4, 5, 6));
    std::vector<uint8_t> image = StateImage({1, 2, 3, 4, 5, 6});
    image.pop_back();
    EXPECT_FALSE(Load(image));
    image.resize(MGLShaderState::kBytes + 1);
    EXPECT_FALSE(Load(image));
    EXPECT_FALSE(Load({}));
    EXPECT_TRUE(log.Logged("2959 bytes"));
    EXPECT_EQ(shader->StateCount(), 1);
    EXPECT_EQ(shader->GetSelectedState(), shader->State(0));

    // A read error drops the new state and keeps the rest.
    FailingStream failing(MGLShaderState::kBytes);
    EXPECT_FALSE(shader->Load(&failing, kTag));
    EXPECT_EQ(shader->StateCount(), 1);
    EXPECT_EQ(shader->GetSelectedState(), shader->State(0));
    EXPECT_EQ(shader->GetStatus(), 0u);
}

TEST_F(CShaderMGLTest, AThirtyFirstStateIsRefused) {
    AssertCounter log;
    for (int32_t i = 0; i < CShader_MGL::kMaxStates; ++i) ASSERT_TRUE(Load(StateImage({i, 0, 0, 0, 0, 0})));
    EXPECT_FALSE(Load(StateImage({99, 0, 0, 0, 0, 0})));
    EXPECT_EQ(shader->StateCount(), CShader_MGL::kMaxStates);
    EXPECT_TRUE(shader->SelectState(29, 0, 0, 0, 0, 0));
    EXPECT_FALSE(shader->SelectState(99, 0, 0, 0, 0, 0));
    shader->Unload();
    EXPECT_EQ(shader->StateCount(), 0);
    EXPECT_TRUE(Load(StateImage({99, 0, 0, 0, 0, 0})));
}

TEST_F(CShaderMGLTest, RawContentRoundTripsAndReplacesTheEarlierPayload) {
    ASSERT_TRUE(Load(RawImage(100), kRawTag));
    EXPECT_EQ(shader->GetStatus(), 2u);
    EXPECT_EQ(shader->PayloadLength(), 100u);
    ASSERT_TRUE(Load(RawImage(5000), kRawTag));
    const std::vector<uint8_t> saved = Save(kRawTag);
    EXPECT_EQ(saved, RawImage(5000));
    {
        AssertCounter overflow;
        EXPECT_TRUE(Save(kRawTag, 100).empty());
    }

    // The longest payload a 16-bit length holds is kept whole.
    ASSERT_TRUE(Load(RawImage(0xFFFF), kRawTag));
    EXPECT_EQ(Save(kRawTag), RawImage(0xFFFF));

    // Only the three header bytes: an empty payload, and a load that works.
    ASSERT_TRUE(Load(RawImage(0), kRawTag));
    EXPECT_EQ(shader->Payload(), nullptr);
    EXPECT_EQ(shader->PayloadLength(), 0u);
    EXPECT_EQ(Save(kRawTag), RawImage(0));
}

TEST_F(CShaderMGLTest, ARawPayloadTooLongForItsLengthIsRefusedWhole) {
    AssertCounter log;
    ASSERT_TRUE(Load(StateImage({1, 2, 3, 4, 5, 6})));
    ASSERT_TRUE(shader->SelectState(1, 2, 3, 4, 5, 6));
    EXPECT_FALSE(Load(RawImage(70000), kRawTag)) << "rather than keeping 70,000 modulo 65,536 bytes";
    EXPECT_TRUE(log.Logged("refused a raw payload of 70000 bytes"));
    EXPECT_EQ(shader->GetStatus(), 0u);
    EXPECT_EQ(shader->StateCount(), 1);
    EXPECT_NE(shader->GetSelectedState(), nullptr);
}

TEST_F(CShaderMGLTest, AFailedRawLoadReleasesEverythingButTheStatus) {
    ASSERT_TRUE(Load(StateImage({1, 2, 3, 4, 5, 6})));
    ASSERT_TRUE(shader->SelectState(1, 2, 3, 4, 5, 6));
    FailingStream failing(40);
    EXPECT_FALSE(shader->Load(&failing, kRawTag));
    EXPECT_EQ(shader->GetStatus(), 2u);
    EXPECT_EQ(shader->StateCount(), 0);
    EXPECT_EQ(shader->GetSelectedState(), nullptr);
    EXPECT_EQ(shader->Payload(), nullptr);

    // The status outlives an unload.
    ASSERT_TRUE(Load(RawImage(8), kRawTag));
    shader->Unload();
    EXPECT_EQ(shader->GetStatus(), 2u);
    EXPECT_EQ(shader->Header()[0], 0);
    EXPECT_EQ(Save(kRawTag), std::vector<uint8_t>(3, 0));
}

TEST_F(CShaderMGLTest, KeysOutsideTheKeyWordsReadZero) {
    const MGLShaderState state = ShaderStateBuilder().Key(0, 5).Key(130, 0xFFFFFFFF).State();
    EXPECT_EQ(state.GetKey(0), 5u);
    EXPECT_EQ(state.GetKey(130), 0xFFFFFFFFu);
    EXPECT_EQ(state.GetKey(131), 0u);
    EXPECT_EQ(state.GetKey(-1), 0u);
    EXPECT_EQ(state.GetKey(INT32_MIN), 0u);
}

}  // namespace
