#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "AssertCounter.h"
#include "CColor.h"
#include "CPixelChannels.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLSpanInterpreter.h"
#include "MGLTestDevice.h"
#include "ShaderStateBuilder.h"
#include "SpanAssembler.h"

namespace {

constexpr int32_t ONE = 0x10000;

class MGLContextTest : public ::testing::Test {
protected:
    MGLTestDevice device;
    std::unique_ptr<MGLContext> context = std::make_unique<MGLContext>();
    MGLRecord& s = context->Record();

    // A guest word as span code would load it.
    uint32_t GuestWord(uint32_t guest) {
        const uint8_t* host = MGLContextCore::Of(*context).GuestMemory().ToHost(guest, 4);
        return host != nullptr ? PixelChannels::Load32(host) : 0xDEADBEEF;
    }
    uint32_t GuestHalf(uint32_t guest) {
        const uint8_t* host = MGLContextCore::Of(*context).GuestMemory().ToHost(guest, 2);
        return host != nullptr ? PixelChannels::Load16(host) : 0xDEADBEEF;
    }
};

TEST_F(MGLContextTest, InitSetsTheStartValuesAndMapsWhatSpanCodeReads) {
    int32_t* pool = context->Init(50);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(s.stencilMask, 0xFFFFFFFFu);
    EXPECT_EQ(s.recipTableSizeM1, 4095);
    EXPECT_EQ(s.sqrtTableSizeM1, 4095);
    EXPECT_EQ(s.depthWrite, 1);
    EXPECT_EQ(s.depthTest, 1);
    EXPECT_EQ(s.spare34740, 0x400000u);
    EXPECT_EQ(s.vertexPoolLimit, 1000);
    EXPECT_EQ(s.vertexPoolUsed, 0);
    EXPECT_EQ(s.texture_units[0].filter_mode, 0);
    EXPECT_EQ(s.texture_units[1].filter_mode, 5);
    EXPECT_EQ(s.texture_units[7].id, -1);
    EXPECT_EQ(s.fillMode, 1);
    EXPECT_EQ(s.depthInterpolant, -1);

    // Span code reaches the tables, the pool and the record by guest address.
    EXPECT_EQ(GuestWord(s.recipTable4 + 4 * 3), 357913952u);
    EXPECT_EQ(GuestHalf(s.recipTable + 2 * 4095), 16388u);
    const uint8_t* shift = MGLContextCore::Of(*context).GuestMemory().ToHost(s.recipShiftTable + 3, 1);
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(*shift, 16);
    EXPECT_EQ(GuestHalf(s.cosTable + 2 * 128), 46340u);
    EXPECT_EQ(GuestWord(s.sqrtTable + 4 * 4095), 4193792u);
    EXPECT_EQ(GuestHalf(s.cosTable + 2 * 257), 0xDEADBEEFu) << "past the cosine table";
    pool[999] = 0x1234;
    EXPECT_EQ(GuestWord(s.vertexPool + 4 * 999), 0x1234u);
    EXPECT_EQ(MGLContextCore::Of(*context).GuestMemory().ToHost(s.vertexPool + 4 * 1000, 4), nullptr);
    EXPECT_EQ(GuestWord(MGLContextCore::Of(*context).RecordGuestAddress() + offsetof(MGLRecord, stencilMask)),
              0xFFFFFFFFu);

    // The debug-font sheets are in the buffer table.
    ASSERT_NE(context->Buffers(), nullptr);
    EXPECT_GE(context->Buffers()->FontSheet(0), 0);
    EXPECT_GE(context->Buffers()->FontSheet(1), 0);
}

TEST_F(MGLContextTest, CreateBuffersMakesColourDepthAndStencilPlanes) {
    ASSERT_NE(context->Init(4), nullptr);
    const int32_t stencil = context->CreateBuffers(24, 16, RSBFormat_A4R4G4B4);
    EXPECT_EQ(stencil, s.stencilBuffer);
    const BufferTable& table = *context->Buffers();
    const std::pair<int32_t, uint32_t> planes[] = {
        {s.colorBuffer, RSBFormat_A4R4G4B4}, {s.depthBuffer, 0x520104}, {s.stencilBuffer, 0x280101}};
    for (auto [slot, format] : planes) {
        const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
        ASSERT_NE(record, nullptr) << slot;
        EXPECT_EQ(record->format, format);
        EXPECT_EQ(record->width, 24);
        EXPECT_EQ(record->height, 16);
        EXPECT_NE(record->guestBase, 0u) << "span code can reach it";
    }
}

TEST_F(MGLContextTest, TheTwoDimensionalStackStartsWithOneIdentity) {
    MatrixStack2d stack = context->Stack2d();
    EXPECT_EQ(stack.Count(), 1);
    const Matrix2x3 top = stack.Top();
    EXPECT_EQ(top.a, ONE);
    EXPECT_EQ(top.b, 0);
    EXPECT_EQ(top.d, ONE);
    EXPECT_EQ(top.tx, 0);
}

TEST_F(MGLContextTest, ARefusedPoolLeavesTheContextInert) {
    AssertCounter asserts;
    for (const int32_t capacity : {0, -1, MGLContext::kMaxPoolCapacity + 1, INT32_MAX}) {
        EXPECT_EQ(context->Init(capacity), nullptr) << capacity;
        EXPECT_FALSE(context->IsReady());
        EXPECT_EQ(s.vertexPool, 0u);
        EXPECT_EQ(s.vertexPoolLimit, 0);
        EXPECT_EQ(context->CreateBuffers(8, 8, RSBFormat_R5G6B5), -1);
    }
    EXPECT_TRUE(asserts.Logged("vertex pool"));
    // A later Init with a sound size works, and a second one replaces it.
    EXPECT_NE(context->Init(4), nullptr);
    const size_t regions = MGLContextCore::Of(*context).GuestMemory().RegionCount();
    EXPECT_NE(context->Init(4), nullptr);
    EXPECT_EQ(MGLContextCore::Of(*context).GuestMemory().RegionCount(), regions)
        << "the first Init's mappings are given back";
}

// The device forgets a context that goes, also while another device is
// installed: the first may be installed again.
TEST_F(MGLContextTest, TheDeviceForgetsAContextThatGoes) {
    context->Init(4);
    EXPECT_EQ(device.GetRendererContext(), context.get());
    auto second = std::make_unique<MGLContext>();
    second->Init(4);
    EXPECT_EQ(device.GetRendererContext(), second.get());
    context.reset();
    EXPECT_EQ(device.GetRendererContext(), second.get()) << "only the context it holds is cleared";
    {
        const AssertCounter secondDevice;
        MGLTestDevice other;
        second.reset();
    }
    MGLHost::InstallGraphics(&device);
    EXPECT_EQ(device.GetRendererContext(), nullptr);
    // A device that is not the registered one forgets it too, installed or not.
    const AssertCounter secondDevice;
    MGLTestDevice other;
    auto third = std::make_unique<MGLContext>();
    third->Init(4);
    EXPECT_EQ(other.GetRendererContext(), third.get());
    MGLHost::InstallGraphics(&device);
    third.reset();
    EXPECT_EQ(other.GetRendererContext(), nullptr);
}

TEST_F(MGLContextTest, RegisterIndicesOutsideTheFileChangeNothing) {
    for (int32_t i = 0; i < 128; ++i) s.regs[i] = 1000 + i;
    context->SetRegister(-1, 5);
    context->SetRegister(128, 5);
    context->SetRegister3(126, 5, 5, 5);
    context->SetRegister3(-2, 5, 5, 5);
    context->SetRegister4(125, 5, 5, 5, 5);
    context->SetRegister4(INT32_MIN, 5, 5, 5, 5);
    for (int32_t i = 0; i < 128; ++i) EXPECT_EQ(s.regs[i], 1000 + i) << i;
    EXPECT_EQ(s.CPUregs[127], 0u) << "no write before the register file";
    EXPECT_EQ(s.scissorx0, 0) << "no write after it";
    EXPECT_EQ(context->GetRegister(128), 0);
    EXPECT_EQ(context->GetRegister(-1), 0);

    context->SetRegister(127, -7);
    context->SetRegister3(125, 1, 2, 3);
    EXPECT_EQ(context->GetRegister(125), 1);
    EXPECT_EQ(context->GetRegister(127), 3);
    context->SetRegister4(124, 9, 8, 7, 6);
    EXPECT_EQ(context->GetRegister(124), 9);
    EXPECT_EQ(context->GetRegister(127), 6);
    context->SetRegister(0, -7);
    EXPECT_EQ(context->GetRegister(0), -7);
}

TEST_F(MGLContextTest, ResetClearsRegistersPoolCountersAndMatrices) {
    context->Init(4);
    context->SetRegister(3, 9);
    s.CPUregs[5] = 9;
    s.vertexPoolUsed = 40;
    s.pixels_shaded = 12;
    s.pieces_drawn = 3;
    context->PushModelview();
    context->SetFrustum(-ONE, ONE, -ONE, ONE, ONE, 10 * ONE);
    context->Reset();
    EXPECT_EQ(context->GetRegister(3), 0);
    EXPECT_EQ(s.CPUregs[5], 0u);
    EXPECT_EQ(s.vertexPoolUsed, 0);
    EXPECT_EQ(s.pixels_shaded, 0);
    EXPECT_EQ(s.pieces_drawn, 0);
    EXPECT_EQ(context->ModelviewStack().Count(), 1);
    EXPECT_EQ(context->ModelviewStack().Top().orthographic, 1);
}

TEST_F(MGLContextTest, BindingAStateCarriesItsKeysIntoTheRecord) {
    const MGLShaderState state = ShaderStateBuilder()
                                     .Code({0xE1A0C000, 0xE12FFF1E})
                                     .Keys({{37, 3}, {38, 2}, {29, 6}, {28, 0xABCD}, {31, 0}, {32, 129}, {42, 3}})
                                     .State();
    EXPECT_TRUE(context->BindShaderState(&state));
    EXPECT_EQ(s.numInterpolants, 3);
    EXPECT_EQ(s.numExtraInterpolants, 2);
    EXPECT_EQ(s.depthScaledMask, 6u);
    EXPECT_EQ(s.shaderKey28, 0xABCDu);
    EXPECT_EQ(s.depthInterpolant, 1);
    EXPECT_EQ(s.fillMode, 3);
    EXPECT_EQ(s.spanCodeDirect, 0);
    ASSERT_NE(context->SpanCode(), nullptr);
    EXPECT_EQ(PixelChannels::Load32(context->SpanCode()), 0xE1A0C000u);
    // The code is reachable at its guest address, as a copy the context owns.
    EXPECT_EQ(GuestWord(s.spanCode + 4), 0xE12FFF1Eu);
    EXPECT_NE(context->SpanCode(), state.Code());

    // Key 31 negative: no depth interpolant, whatever key 32 says.
    const MGLShaderState noDepth =
        ShaderStateBuilder().Keys({{37, 2}, {31, 0xFFFFFFFF}, {32, 130}, {42, 1}}).State();
    EXPECT_TRUE(context->BindShaderState(&noDepth));
    EXPECT_EQ(s.depthInterpolant, -1);
    EXPECT_EQ(s.fillMode, 1);

    EXPECT_TRUE(context->BindShaderState(nullptr));
    EXPECT_EQ(s.spanCode, 0u);
    EXPECT_EQ(context->SpanCode(), nullptr);
    EXPECT_EQ(s.numInterpolants, 0);
    EXPECT_EQ(s.depthInterpolant, -1);
    EXPECT_EQ(s.fillMode, 1);
}

TEST_F(MGLContextTest, AStateTheRecordCannotHoldBindsAsNoState) {
    struct Case {
        uint32_t interpolants, extra, hasDepth, depth, fillMode;
        bool fits;
    };
    const Case cases[] = {
        {6, 0, 0, 128, 1, true},            // six edge interpolants, depth first
        {7, 0, 0, 128, 2, false},           // polygon fill edge records hold six
        {7, 13, 0, 128, 4, true},           // triangle fill: twenty plane terms
        {7, 14, 0, 128, 4, false},          //   and not twenty-one
        {0xFFFFFFFF, 2, 0xFFFFFFFF, 0, 3, false},  // negative count
        {2, 0x7FFFFFFF, 0xFFFFFFFF, 0, 3, false},  // sum past the arrays
        {2, 0, 0, 130, 3, false},           // depth interpolant 2 of 2
        {2, 0, 0, 127, 3, false},           // depth interpolant -1 through key 32
        {0, 0, 0xFFFFFFFF, 0, 3, true},     // no interpolants, no depth
        {1, 0, 0, 128, 0, false},           // fill mode 0
        {1, 0, 0, 128, 5, false},           // fill mode 5
    };
    for (const Case& c : cases) {
        AssertCounter log;
        const MGLShaderState state = ShaderStateBuilder()
                                         .Code({0xE12FFF1E})
                                         .Keys({{37, c.interpolants},
                                                {38, c.extra},
                                                {31, c.hasDepth},
                                                {32, c.depth},
                                                {42, c.fillMode},
                                                {29, 1}})
                                         .State();
        EXPECT_EQ(context->BindShaderState(&state), c.fits) << c.interpolants << " " << c.extra << " " << c.depth;
        if (c.fits) continue;
        EXPECT_TRUE(log.Logged("bound as no state"));
        EXPECT_EQ(s.spanCode, 0u);
        EXPECT_EQ(s.numInterpolants, 0);
        EXPECT_EQ(s.numExtraInterpolants, 0);
        EXPECT_EQ(s.depthScaledMask, 0u);
        EXPECT_EQ(s.depthInterpolant, -1);
        EXPECT_EQ(s.fillMode, 1);
    }
}

TEST_F(MGLContextTest, UnbindingEmptiesTheUnitAndTheBinding) {
    context->Init(4);
    const int32_t slot = context->Buffers()->AllocBuffer(16, 8, RSBFormat_R5G6B5, 0);
    context->BindBufferToUnit(2, slot, *context->Buffers());
    const MGLShaderState state = ShaderStateBuilder().Keys({{37, 1}, {31, 0}, {32, 128}, {42, 3}}).State();
    context->BindShaderState(&state);
    context->UnbindShader(2);
    EXPECT_EQ(s.texture_units[2].id, -1);
    EXPECT_EQ(s.texture_units[2].b.levels[0], 0u);
    EXPECT_EQ(s.texture_units[2].b.width, 0);
    EXPECT_EQ(s.texture_units[2].filter_mode, 5);
    EXPECT_EQ(s.spanCode, 0u);
    EXPECT_EQ(s.depthInterpolant, -1);
    EXPECT_EQ(s.fillMode, 1);
    // A unit outside the eight only clears the binding.
    context->BindBufferToUnit(0, slot, *context->Buffers());
    context->UnbindShader(-1);
    context->UnbindShader(8);
    EXPECT_EQ(s.texture_units[0].id, slot);
}

}  // namespace

namespace {

using namespace SpanAsm;

// A bound state's span code runs through the interpreter on the context's
// own guest memory: it reaches the record through r0, the lookup tables
// through their pointer fields and the bound colour buffer through destbase.
// The tables it may read but never change.
TEST_F(MGLContextTest, BoundSpanCodeReachesRecordTablesAndPlanes) {
    ASSERT_TRUE(device.MakeSurface(4, 2, RSBFormat_R5G6B5, RSBFormat_Z32));
    ASSERT_NE(context->Init(4), nullptr);
    context->Reset();
    const uint32_t regs = offsetof(MGLRecord, regs);
    Program code;
    code << DataReg(MOV, false, 12, 0, 0)
         << XferImm(true, false, PreIndex, true, 3, 12, offsetof(MGLRecord, destbase))
         << XferImm(true, false, PreIndex, true, 1, 12, offsetof(MGLRecord, deststride))
         << DataReg(ADD, false, 3, 3, 1)  // row 1
         << XferImm(true, false, PreIndex, true, 4, 12, regs)
         << HalfImm(false, PreIndex, true, 4, 3, 6)  // pixel 3 of row 1
         << XferImm(true, false, PreIndex, true, 5, 12, offsetof(MGLRecord, recipTable4))
         << XferImm(true, false, PreIndex, true, 6, 5, 4 * 3)
         << XferImm(false, false, PreIndex, true, 6, 12, regs + 4) << Bx(14);
    const MGLShaderState state =
        ShaderStateBuilder().Code(code.Words()).Keys({{37, 1}, {31, 0}, {32, 128}, {42, 3}}).State();
    ASSERT_TRUE(context->BindShaderState(&state));
    context->SetRegister(0, 0xF81F);

    const MGLSpanRunEnd end =
        InterpretSpanCode(MGLContextCore::Of(*context).GuestMemory(), context->SpanCode(), MGLShaderState::kCodeBytes,
                          MGLContextCore::Of(*context).RecordGuestAddress(), 0, 0);
    EXPECT_EQ(end, MGLSpanRunEnd::Exchange);
    const uint8_t* row1 = context->PlanePixels(MGLContext::Plane::Colour) + device.Plane(0)->GetPitch();
    EXPECT_EQ(PixelChannels::Load16(row1 + 6), 0xF81Fu);
    EXPECT_EQ(context->GetRegister(1), 357913952);

    Program store;
    store << XferImm(true, false, PreIndex, true, 5, 0, offsetof(MGLRecord, recipTable4))
          << XferImm(false, false, PreIndex, true, 0, 5, 4 * 3) << Bx(14);
    const std::vector<uint8_t> storeCode = store.Bytes();
    AssertCounter log;
    EXPECT_EQ(InterpretSpanCode(MGLContextCore::Of(*context).GuestMemory(), storeCode.data(), storeCode.size(),
                                MGLContextCore::Of(*context).RecordGuestAddress(), 0, 0),
              MGLSpanRunEnd::MemoryFault);
    EXPECT_EQ(context->Tables().RecipTable4()[3], 357913952);
}

}  // namespace
