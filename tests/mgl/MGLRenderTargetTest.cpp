#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "AssertCounter.h"
#include "CColor.h"
#include "CPixelChannels.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLTestDevice.h"

namespace {

constexpr int32_t ONE = 0x10000;
constexpr uint32_t kStencil = MGLContext::kSurfaceStencilFormat;
constexpr uint8_t kUntouched = 0x5A;

// A device that, unlike the test device, leaves the renderer as it was
// when it goes.
class BareDevice : public CGraphics {
public:
    bool Open() override { return true; }
    void Close() override {}
    void Present() override {}
};

// A surface over memory the test owns: any pitch, or the stand-in address
// an unlocked window surface holds.
class ExternalSurface : public CRenderSurface_SW_OffScreen {
public:
    bool Adopt(uint32_t format, uint16_t width, uint16_t height, int16_t pitch, void* pixels) {
        const uint32_t formats[kPlaneCount] = {format, 0, 0};
        AddFlags(kFlagColorRequested);
        return CreatePlanes(formats, width, height, nullptr, nullptr, CRenderSurfaceBuffer::kPitchExplicit, pitch,
                            pixels);
    }
};

class MGLRenderTargetTest : public ::testing::Test {
protected:
    MGLTestDevice device;
    std::unique_ptr<MGLContext> context = std::make_unique<MGLContext>();
    MGLRecord& s = context->Record();

    // Every byte of every row of a plane (not the padding) set to one value.
    static void Paint(const CRenderSurfaceBuffer* plane, uint8_t value) {
        const uint32_t rowBytes = plane->GetWidth() * (plane->GetFormat() & 31u);
        for (int32_t y = 0; y < plane->GetHeight(); ++y) std::memset(Row(plane, y), value, rowBytes);
    }
    static uint8_t* Row(const CRenderSurfaceBuffer* plane, int32_t y) {
        return static_cast<uint8_t*>(plane->GetPixels(0)) + static_cast<ptrdiff_t>(y) * plane->GetPitch();
    }
    // The guest address span code computes for row y, resolved.
    uint8_t* GuestRow(uint32_t base, int32_t stride, int32_t y, size_t bytes) {
        return MGLContextCore::Of(*context).GuestMemory().ToHost(base + static_cast<uint32_t>(y * stride), bytes);
    }
    void SetClearColour(int32_t a, int32_t r, int32_t g, int32_t b) {
        s.clearColor[0] = a;
        s.clearColor[1] = r;
        s.clearColor[2] = g;
        s.clearColor[3] = b;
    }
};

// Clear colour (a, r, g, b) = (0xFF, 0xF0, 0xC0, 0x80) in each format with a
// clear rule, byte for byte.
struct ClearCase {
    uint32_t format;
    std::vector<uint8_t> pixel;
};

const ClearCase kClearCases[] = {
    {RSBFormat_A8R8G8B8, {0x80, 0xC0, 0xF0, 0xFF}},
    {RSBFormat_ARGB_FIXED, {0x00, 0xFF, 0, 0, 0x00, 0xF0, 0, 0, 0x00, 0xC0, 0, 0, 0x00, 0x80, 0, 0}},
    {RSBFormat_L8, {0xF0}},
    {RSBFormat_A8L8, {0xF0, 0xFF}},
    {RSBFormat_Z32, {0x00, 0xF0, 0, 0}},
    {RSBFormat_R8G8B8, {0x80, 0xC0, 0xF0}},
    {RSBFormat_R4G4B4, {0xC8, 0x0F}},
    {RSBFormat_R5G6B5, {0x10, 0xF6}},
    {RSBFormat_A1R5G5B5, {0x10, 0xFB}},
    {RSBFormat_A4R4G4B4, {0xC8, 0xFF}},
    {RSBFormat_X14R6G6B6, {0x20, 0xCC, 0x03, 0x00}},
};

TEST_F(MGLRenderTargetTest, PlanesOfEveryFormatAndBothRowOrdersBindAndClearInside) {
    for (const ClearCase& c : kClearCases) {
        for (const bool bottomUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << std::hex << c.format << (bottomUp ? " bottom-up" : " top-down"));
            ASSERT_TRUE(device.MakeSurface(5, 3, c.format, RSBFormat_Z32, kStencil));
            CRenderSurfaceBuffer* colour = device.Plane(0);
            if (bottomUp) colour->FlipToBottom();
            ASSERT_EQ(colour->GetPitch() < 0, bottomUp);
            ASSERT_TRUE(context->BindRenderTarget());
            EXPECT_EQ(s.deststride, colour->GetPitch());
            EXPECT_EQ(s.destheight, 3);
            const uint32_t bpp = c.format & 31u;
            for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(GuestRow(s.destbase, s.deststride, y, 5 * bpp), Row(colour, y));

            Paint(colour, kUntouched);
            SetClearColour(0xFF, 0xF0, 0xC0, 0x80);
            EXPECT_EQ(context->ClearColorPlane(3, 2), c.format);
            for (int32_t y = 0; y < 3; ++y) {
                for (int32_t x = 0; x < 5; ++x) {
                    const uint8_t* pixel = Row(colour, y) + x * bpp;
                    const bool cleared = x < 3 && y < 2;
                    for (uint32_t i = 0; i < bpp; ++i)
                        ASSERT_EQ(pixel[i], cleared ? c.pixel[i] : kUntouched) << x << "," << y << " byte " << i;
                }
            }
            // Asked for more than the plane holds, it stops at the plane.
            context->ClearColorPlane(1000, 1000);
            EXPECT_EQ(std::memcmp(Row(colour, 2) + 4 * bpp, c.pixel.data(), bpp), 0);
        }
    }
}

// A run of rows from a row of the plane holds the rows from there to the
// last one, whichever way the rows lie: none past the plane, nor before it.
TEST_F(MGLRenderTargetTest, APlaneRunHandsOutOnlyItsOwnRows) {
    for (const bool bottomUp : {false, true}) {
        SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
        ASSERT_TRUE(device.MakeSurface(5, 3, RSBFormat_R5G6B5));
        CRenderSurfaceBuffer* colour = device.Plane(0);
        if (bottomUp) colour->FlipToBottom();
        ASSERT_TRUE(context->BindRenderTarget());
        const auto run = MGLContextCore::Of(*context).RunFrom(MGLContext::Plane::Colour,
                                                              s.destbase + static_cast<uint32_t>(s.deststride),
                                                              s.deststride);
        ASSERT_EQ(run.rows, 2);
        EXPECT_EQ(run.Span(0, 0, 5), Row(colour, 1));
        EXPECT_EQ(run.Span(1, 4, 1), Row(colour, 2) + 4 * 2);
        EXPECT_EQ(run.Span(2, 0, 1), nullptr);
        EXPECT_EQ(run.Span(-1, 0, 1), nullptr);
    }
}

// A viewport set while no target is bound stands as the scissor; the bind
// bounds it to the planes, in the record where span code reads it.
TEST_F(MGLRenderTargetTest, ABindBoundsTheScissorToThePlanes) {
    context->SetViewport(-5, -5, 100, 100, 0, ONE);
    ASSERT_EQ(s.scissorx1, 95);
    ASSERT_TRUE(device.MakeSurface(16, 8, RSBFormat_R5G6B5));
    ASSERT_TRUE(context->BindRenderTarget());
    EXPECT_EQ(s.scissorx0, 0);
    EXPECT_EQ(s.scissory0, 0);
    EXPECT_EQ(s.scissorx1, 16);
    EXPECT_EQ(s.scissory1, 8);
}

TEST_F(MGLRenderTargetTest, SixteenBitClearsMatchTheHandValues) {
    ASSERT_TRUE(device.MakeSurface(3, 1, RSBFormat_R5G6B5));
    ASSERT_TRUE(context->BindRenderTarget());
    SetClearColour(0, 255, 255, 255);
    context->ClearColorPlane(3, 1);
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(PixelChannels::Load16(Row(device.Plane(0), 0) + 2 * x), 0xFFFFu);
    SetClearColour(0, 0x80, 0, 0);
    context->ClearColorPlane(3, 1);
    EXPECT_EQ(PixelChannels::Load16(Row(device.Plane(0), 0) + 4), 0x8000u);
}

TEST_F(MGLRenderTargetTest, AFormatWithoutAClearRuleIsLeftAlone) {
    ASSERT_TRUE(device.MakeSurface(4, 2, RSBFormat_A8));
    ASSERT_TRUE(context->BindRenderTarget());
    Paint(device.Plane(0), kUntouched);
    SetClearColour(1, 2, 3, 4);
    EXPECT_EQ(context->ClearColorPlane(4, 2), RSBFormat_A8);
    EXPECT_EQ(Row(device.Plane(0), 1)[3], kUntouched);
}

TEST_F(MGLRenderTargetTest, DepthAndStencilClearEachTheirOwnPlane) {
    ASSERT_TRUE(device.MakeSurface(5, 3, RSBFormat_R5G6B5, RSBFormat_Z32, kStencil));
    device.Plane(1)->FlipToBottom();
    ASSERT_TRUE(context->BindRenderTarget());
    EXPECT_EQ(s.zstride, -20);
    EXPECT_EQ(s.stencilstride, 5);
    EXPECT_EQ(GuestRow(s.zbase, s.zstride, 2, 20), Row(device.Plane(1), 2));
    EXPECT_EQ(GuestRow(s.stencilbase, s.stencilstride, 2, 5), Row(device.Plane(2), 2));
    for (uint32_t plane = 0; plane < 3; ++plane) Paint(device.Plane(plane), kUntouched);

    s.clearDepth = 0x12345678;
    s.clearStencil = 0x1A5;
    context->ClearDepthPlane(4, 3);
    context->ClearStencilPlane(5, 3);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(PixelChannels::Load32(Row(device.Plane(1), y) + 4 * x), x < 4 ? 0x12345678u : 0x5A5A5A5Au);
            EXPECT_EQ(Row(device.Plane(2), y)[x], 0xA5);  // the low byte, odd counts stored singly
        }
    }
    EXPECT_EQ(Row(device.Plane(0), 0)[0], kUntouched) << "neither touches the colour plane";
}

TEST_F(MGLRenderTargetTest, ClearTakesItsSizeFromTheColourSlotAndLeavesStencil) {
    ASSERT_TRUE(device.MakeSurface(4, 4, RSBFormat_R5G6B5, RSBFormat_Z32, kStencil));
    ASSERT_TRUE(context->BindRenderTarget());
    for (uint32_t plane = 0; plane < 3; ++plane) Paint(device.Plane(plane), kUntouched);
    context->Clear();  // no buffer table yet: nothing
    EXPECT_EQ(Row(device.Plane(0), 0)[0], kUntouched);

    ASSERT_NE(context->Init(4), nullptr);
    context->CreateBuffers(2, 3, RSBFormat_R5G6B5);
    SetClearColour(0, 255, 255, 255);
    s.clearDepth = 7;
    s.clearStencil = 9;
    context->Clear();
    EXPECT_EQ(PixelChannels::Load16(Row(device.Plane(0), 2) + 2), 0xFFFFu);
    EXPECT_EQ(Row(device.Plane(0), 2)[4], kUntouched);
    EXPECT_EQ(Row(device.Plane(0), 3)[0], kUntouched);
    EXPECT_EQ(PixelChannels::Load32(Row(device.Plane(1), 2) + 4), 7u);
    EXPECT_EQ(Row(device.Plane(2), 0)[0], kUntouched);

    // A colour slot larger than the bound planes clears only the planes.
    context->Buffers()->FreeBuffer(s.colorBuffer);
    s.colorBuffer = context->Buffers()->AllocBuffer(64, 64, RSBFormat_R5G6B5, 0);
    context->Clear();
    EXPECT_EQ(PixelChannels::Load16(Row(device.Plane(0), 3) + 6), 0xFFFFu);
}

TEST_F(MGLRenderTargetTest, ARefusedSurfaceLeavesTheBoundPlanes) {
    AssertCounter log;
    ASSERT_TRUE(device.MakeSurface(4, 4, RSBFormat_R5G6B5, RSBFormat_Z32, kStencil));
    ASSERT_TRUE(context->BindRenderTarget());
    const uint32_t destbase = s.destbase;
    ASSERT_NE(destbase, 0u);
    const uint8_t* pixels = context->PlanePixels(MGLContext::Plane::Colour);

    // A stencil plane of the buffer table's stencil format is no render target.
    MGLTestDevice other;
    ASSERT_TRUE(other.MakeSurface(8, 8, RSBFormat_R5G6B5, 0, MGLContext::kStencilBufferFormat));
    EXPECT_FALSE(context->BindRenderTarget());
    EXPECT_TRUE(log.Logged("stencil plane"));
    EXPECT_EQ(s.destbase, destbase);
    EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), pixels);
    other.DropSurface();
    EXPECT_FALSE(context->BindRenderTarget()) << "no current surface";
    context->Reset();
    EXPECT_EQ(s.destbase, destbase);
    // They are no longer the device's: a colour clear, before any draw, lets go of them.
    context->ClearColorPlane(4, 4);
    EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), nullptr);
}

TEST_F(MGLRenderTargetTest, PaddedRowsAndTheUnlockedStandInAddress) {
    // Rows of 3 pixels 16 bytes apart: the clear keeps out of the padding.
    std::vector<uint8_t> memory(16 * 4, kUntouched);
    auto padded = std::make_unique<ExternalSurface>();
    ASSERT_TRUE(padded->Adopt(RSBFormat_A8R8G8B8, 3, 4, 16, memory.data()));
    device.SetCurrentSurface(padded.get());
    ASSERT_TRUE(context->BindRenderTarget());
    EXPECT_EQ(s.deststride, 16);
    SetClearColour(1, 2, 3, 4);
    context->ClearColorPlane(3, 4);
    for (int32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(PixelChannels::Load32(&memory[16 * y + 8]), 0x01020304u);
        EXPECT_EQ(PixelChannels::Load32(&memory[16 * y + 12]), 0x5A5A5A5Au) << y;
    }

    // An unlocked window surface's plane holds address 1: no colour plane.
    auto unlocked = std::make_unique<ExternalSurface>();
    ASSERT_TRUE(unlocked->Adopt(RSBFormat_R5G6B5, 240, 320, 1, reinterpret_cast<void*>(uintptr_t{1})));
    device.SetCurrentSurface(unlocked.get());
    ASSERT_TRUE(context->BindRenderTarget());
    EXPECT_EQ(s.destbase, 0u);
    EXPECT_EQ(s.deststride, 0);
    EXPECT_EQ(context->ClearColorPlane(240, 320), 0u);
    device.SetCurrentSurface(nullptr);
}

// Two surfaces over one block, the second made current in place of the
// bound first, then the first deleted: the context lets go of it at once,
// though the memory is the current surface's too, and its next bind
// reaches nothing freed.
TEST_F(MGLRenderTargetTest, ADeletedTargetIsLetGoOfWhateverTheMemorySays) {
    std::vector<uint8_t> memory(4 * 4 * 2);
    auto first = std::make_unique<ExternalSurface>();
    auto second = std::make_unique<ExternalSurface>();
    ASSERT_TRUE(first->Adopt(RSBFormat_R5G6B5, 4, 4, 8, memory.data()));
    ASSERT_TRUE(second->Adopt(RSBFormat_R5G6B5, 4, 4, 8, memory.data()));
    device.SetCurrentSurface(first.get());
    ASSERT_TRUE(context->BindRenderTarget());
    device.SetCurrentSurface(second.get());
    first.reset();
    EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), nullptr);
    ASSERT_TRUE(context->BindRenderTarget());
    EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), memory.data());
    device.SetCurrentSurface(nullptr);
}

// A device the host installs is not the registered one: a target surface
// it had current that is deleted is its current one no longer, so the next
// Reset reads nothing of it; and one the host deletes without taking it
// out leaves the renderer the registered device.
TEST_F(MGLRenderTargetTest, AnInstalledDeviceOutlivesNeitherItsSurfaceNorItself) {
    const AssertCounter secondDevices;
    ASSERT_NE(context->Init(4), nullptr);
    {
        MGLTestDevice other;
        std::vector<uint8_t> memory(4 * 4 * 2);
        auto surface = std::make_unique<ExternalSurface>();
        ASSERT_TRUE(surface->Adopt(RSBFormat_R5G6B5, 4, 4, 8, memory.data()));
        other.SetCurrentSurface(surface.get());
        ASSERT_TRUE(context->BindRenderTarget());
        surface.reset();
        EXPECT_EQ(other.GetCurrentSurface(), nullptr);
        context->Reset();
        EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), nullptr);
    }
    {
        BareDevice bare;
        MGLHost::InstallGraphics(&bare);
        EXPECT_EQ(MGLHost::Graphics(), &bare);
    }
    EXPECT_EQ(MGLHost::Graphics(), &device);
    // A device made where the installed one lay was never installed.
    alignas(BareDevice) unsigned char place[sizeof(BareDevice)];
    BareDevice* first = new (place) BareDevice;
    MGLHost::InstallGraphics(first);
    first->~BareDevice();
    BareDevice* second = new (place) BareDevice;
    EXPECT_EQ(MGLHost::Graphics(), &device);
    second->~BareDevice();
}

TEST_F(MGLRenderTargetTest, TextureUnitsMirrorSlotsWithGuestLevelAddresses) {
    ASSERT_NE(context->Init(4), nullptr);
    BufferTable& table = *context->Buffers();
    EXPECT_EQ(context->FindTextureUnit(-1), 0) << "every fresh unit mirrors no slot";

    const int32_t slot = table.AllocBuffer(8, 4, RSBFormat_R5G6B5, 0x21);
    BuildMipChain(table, slot);
    const BufferRecord& record = *BufferSlots::Of(table).UsedSlot(slot);
    ASSERT_EQ(record.miptype, kBufferMipChain);
    context->BindBufferToUnit(3, slot, table);
    const TextureUnit& unit = s.texture_units[3];
    EXPECT_EQ(unit.id, slot);
    EXPECT_EQ(unit.b.format, RSBFormat_R5G6B5);
    EXPECT_EQ(unit.b.flags, 0x21);
    EXPECT_EQ(unit.b.width, 8);
    EXPECT_EQ(unit.b.height, 4);
    EXPECT_EQ(unit.width_log2, 3);
    EXPECT_EQ(unit.height_log2, 2);
    EXPECT_EQ(unit.bpp, 2);
    EXPECT_EQ(unit.cpp, 3);
    EXPECT_EQ(unit.filter_mode, 5);
    EXPECT_EQ(unit.texmode, 1);
    EXPECT_EQ(unit.b.maxD, record.maxD);
    for (int32_t j = 0; j < unit.b.maxD; ++j) {
        EXPECT_EQ(MGLContextCore::Of(*context).GuestMemory().ToHost(unit.b.levels[j], 2), record.levels[j]) << j;
    }
    EXPECT_EQ(unit.b.levels[unit.b.maxD], 0u);
    EXPECT_EQ(context->FindTextureUnit(slot), 3);

    // Only level 0 of a slot without a mip chain; log2 0 for a width that is
    // no power of two.
    const int32_t wide = table.AllocBuffer(48, 16, RSBFormat_A8R8G8B8, 0);
    context->BindBufferToUnit(2, wide, table);
    context->BindBufferToUnit(5, wide, table);
    EXPECT_EQ(s.texture_units[2].width_log2, 0);
    EXPECT_EQ(s.texture_units[2].height_log2, 4);
    EXPECT_EQ(s.texture_units[2].b.levels[1], 0u);
    EXPECT_EQ(MGLContextCore::Of(*context).GuestMemory().ToHost(s.texture_units[2].b.levels[0], 48 * 16 * 4),
              BufferSlots::Of(table).UsedSlot(wide)->levels[0]);
    EXPECT_EQ(context->FindTextureUnit(wide), 2);

    // A negative, free or unknown slot, a slot of another table or a unit
    // outside the eight changes nothing.
    const TextureUnit before = s.texture_units[2];
    std::unique_ptr<BufferTable> foreign{CreateBufferTable(&MGLContextCore::Of(*context).Mappings(), {})};
    context->BindBufferToUnit(2, foreign->AllocBuffer(2, 2, RSBFormat_R5G6B5, 0), *foreign);
    table.FreeBuffer(slot);
    context->BindBufferToUnit(2, -1, table);
    context->BindBufferToUnit(2, slot, table);
    context->BindBufferToUnit(2, BufferTable::kSlotCount, table);
    context->BindBufferToUnit(8, wide, table);
    context->BindBufferToUnit(-1, wide, table);
    EXPECT_EQ(std::memcmp(&s.texture_units[2], &before, sizeof before), 0);
    EXPECT_EQ(context->FindTextureUnit(12345), -1);
}

// The guest base of a block the table lets go of goes to the next block
// mapped: a unit still naming it would show another plane's texels.
TEST_F(MGLRenderTargetTest, AUnitIsEmptiedWhenTheSlotItMirrorsLetsGoOfItsBlock) {
    ASSERT_NE(context->Init(4), nullptr);
    BufferTable& table = *context->Buffers();
    const TextureUnit& unit = s.texture_units[1];
    for (const bool resize : {false, true}) {
        const int32_t slot = table.AllocBuffer(4, 4, RSBFormat_R5G6B5, 0);
        const int32_t after = table.AllocBuffer(4, 4, RSBFormat_R5G6B5, 0);  // bounds the slot's guest room
        const uint32_t base = BufferSlots::Of(table).UsedSlot(slot)->guestBase;
        context->BindBufferToUnit(1, slot, table);
        ASSERT_EQ(unit.b.levels[0], base);
        if (resize) {
            ASSERT_NE(table.ResizeBuffer(slot, 256, 256), nullptr);  // too large for the room it leaves
        } else {
            table.FreeBuffer(slot);
        }
        const int32_t other = table.AllocBuffer(2, 2, RSBFormat_A8R8G8B8, 0);
        ASSERT_EQ(BufferSlots::Of(table).UsedSlot(other)->guestBase, base) << resize;
        EXPECT_EQ(unit.b.levels[0], 0u) << resize;
        EXPECT_EQ(unit.id, -1) << resize;
        for (const int32_t used : {other, after, slot}) table.FreeBuffer(used);
    }

    // A second Init ends the whole table.
    context->BindBufferToUnit(1, table.AllocBuffer(4, 4, RSBFormat_R5G6B5, 0), table);
    ASSERT_NE(unit.b.levels[0], 0u);
    ASSERT_NE(context->Init(4), nullptr);
    EXPECT_EQ(unit.b.levels[0], 0u);
    EXPECT_EQ(unit.id, -1);
}

TEST_F(MGLRenderTargetTest, LevelOfDetailIsAPiecewiseLinearLog) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, -ONE},           {0x7FFF, -ONE},    {0x8000, 0},         {0xC000, 0x8000},
        {0x10000, 0x10000},  {0x18000, 0x18000}, {0x20000, 0x20000}, {0x30000, 0x28000},
        {0x40000, 0x30000},  {INT32_MAX, 0x10000 * 16 - 1},
    };
    for (auto [d, lod] : cases) EXPECT_EQ(MGLContextCore::ComputeLod(d), lod) << std::hex << d;
}

}  // namespace
