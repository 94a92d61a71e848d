#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "FlatDepthSpanCode.h"
#include "MGLDisassembler.h"
#include "SpanTestMachine.h"

using namespace SpanAsm;

namespace {

struct Row {
    int32_t left, right;  // 16.16
    int32_t depth0, depthStep;
};

void ModelFlatDepthSpan(const MGLRecord& s, const Row& row, uint16_t* colour, int32_t* depth) {
    int32_t x0 = row.left >> 16;
    int32_t x1 = row.right >> 16;
    if (x0 < s.scissorx0) x0 = s.scissorx0;
    if (x1 > s.scissorx1) x1 = s.scissorx1;
    uint32_t z = static_cast<uint32_t>(row.depth0) + static_cast<uint32_t>(row.depthStep) * static_cast<uint32_t>(x0);
    for (int32_t x = x0; x < x1; ++x, z += static_cast<uint32_t>(row.depthStep)) {
        if (static_cast<int32_t>(z) > depth[x]) {
            depth[x] = static_cast<int32_t>(z);
            colour[x] = static_cast<uint16_t>(s.regs[0]);
        }
    }
}

}  // namespace

TEST(MGLSpanRoutine, FlatDepthSpanMatchesItsModelPixelForPixel) {
    constexpr int32_t kWidth = 64;
    const Row rows[] = {
        {5 << 16, 40 << 16, 1000, 37},
        {(10 << 16) + 0xFFFF, (20 << 16) + 1, -5000, 600},
        {-20 << 16, 90 << 16, 0x7FFF0000, 0x1000},  // depth wraps past 2^31
        {30 << 16, 30 << 16, 0, 1},                  // empty
        {40 << 16, 10 << 16, 0, 1},                  // reversed
        {2 << 16, 70 << 16, 0, -3},
    };
    SpanTestMachine machine;
    MGLRecord& s = machine.Record();
    s.scissorx0 = 3;
    s.scissorx1 = 61;
    s.regs[0] = 0xF81F;
    // Colour row at data 0, depth row at data 1024.
    s.destptr = machine.DataBase();
    s.zptr = machine.DataBase() + 1024;
    const std::vector<uint8_t> code = FlatDepthSpan(SpanColumns::Truncated).Bytes();

    std::vector<uint16_t> colour(kWidth);
    std::vector<int32_t> depth(kWidth);
    for (int32_t x = 0; x < kWidth; ++x) {
        colour[x] = static_cast<uint16_t>(x * 0x0101);
        depth[x] = static_cast<int32_t>((x * 2654435761u) >> 8) - 0x400000;
    }
    std::memcpy(machine.Data(), colour.data(), kWidth * 2);
    std::memcpy(machine.Data() + 1024, depth.data(), kWidth * 4);

    for (const Row& row : rows) {
        s.intp_y[0] = row.depth0;
        s.intp_dx[0] = row.depthStep;
        ASSERT_EQ(machine.RunRaw(code, static_cast<uint32_t>(row.left), static_cast<uint32_t>(row.right)),
                  MGLSpanRunEnd::Exchange);
        ModelFlatDepthSpan(s, row, colour.data(), depth.data());
        EXPECT_EQ(0, std::memcmp(machine.Data(), colour.data(), kWidth * 2)) << "row from " << (row.left >> 16);
        EXPECT_EQ(0, std::memcmp(machine.Data() + 1024, depth.data(), kWidth * 4)) << "row from " << (row.left >> 16);
    }
    EXPECT_TRUE(machine.GuardsIntact());
}

TEST(MGLSpanRoutine, ListingNamesTheFieldsTheSpanReads) {
    const Program program = FlatDepthSpan(SpanColumns::Truncated);
    const std::vector<uint32_t>& words = program.Words();
    std::string listing;
    for (size_t i = 0; i < words.size(); ++i) {
        char mnemonic[16];
        char operands[64];
        DisassembleSpanCode(words[i], 1, mnemonic, sizeof mnemonic, operands, sizeof operands, false);
        listing += std::string(mnemonic) + " " + operands + "\n";
    }
    EXPECT_EQ(listing,
              "mov r12,r0\n"
              "mov r1,r1>>16\n"
              "mov r2,r2>>16\n"
              "ldr r3,[s->scissorx0]\n"
              "cmps r1,r3\n"
              "movlt r1,r3\n"
              "ldr r3,[s->scissorx1]\n"
              "cmps r2,r3\n"
              "movgt r2,r3\n"
              "subs r8,r2,r1\n"
              "bxle r14\n"
              "ldr r3,[s->destptr]\n"
              "ldr r4,[s->zptr]\n"
              "ldr r5,[s->intp_y[0]]\n"
              "ldr r6,[s->intp_dx[0]]\n"
              "ldr r7,[s->regs[0]]\n"
              "mla r5,r6,r1,r5\n"
              "add r3,r3,r1<<1\n"
              "add r4,r4,r1<<2\n"
              "ldr r9,[r4,#0]\n"
              "cmps r5,r9\n"
              "strgt r5,[r4,#0]\n"
              "strgth r7,[r3,#0]\n"
              "add r4,r4,#0x00000004\n"
              "add r3,r3,#0x00000002\n"
              "add r5,r5,r6\n"
              "subs r8,r8,#0x00000001\n"
              "bgt .L1\n"
              "bx r14\n");
}
