#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "MGLDisassembler.h"
#include "SpanAssembler.h"

using namespace SpanAsm;

namespace {

struct Listing {
    std::string mnemonic;
    std::string operands;
};

Listing Disassemble(uint32_t word, int32_t label = 0, bool polygonNames = true) {
    char mnemonic[32];
    char operands[96];
    DisassembleSpanCode(word, label, mnemonic, sizeof mnemonic, operands, sizeof operands, polygonNames);
    return {mnemonic, operands};
}

struct Case {
    uint32_t word;
    const char* mnemonic;
    const char* operands;
};

void ExpectListings(const Case* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Listing listing = Disassemble(cases[i].word, 7);
        EXPECT_EQ(listing.mnemonic, cases[i].mnemonic) << std::hex << cases[i].word;
        EXPECT_EQ(listing.operands, cases[i].operands) << std::hex << cases[i].word;
    }
}

}  // namespace

TEST(MGLDisassembler, ListedInstructionWords) {
    const Case cases[] = {
        {0xE0810002, "add", "r0,r1,r2"},
        {0x10810002, "addne", "r0,r1,r2"},
        {0xE0910002, "adds", "r0,r1,r2"},
        {0x00910002, "addeqs", "r0,r1,r2"},
        {0xE12FFF1E, "bx", "r14"},
        {0xE3A000FF, "mov", "r0,#0x000000ff"},
        {0xE3A004FF, "mov", "r0,#0xff000000"},
        {0xE59C0460, "ldr", "r0,[s->zptr]"},
        {0xE59C0470, "ldr", "r0,[r12,#1136]"},
        {0xE51C0004, "ldr", "r0,[r12,#-4]"},
        {0xE59C04EC, "ldr", "r0,[s->texture_units[1].b.width]"},
        {0xE92D4FF0, "stmdb", "r13!,{4-11,14}"},
        {0xE8BD8FF0, "ldmia", "r13!,{4-11,15}"},
        {0xE1D001B2, "ldrh", "r0,[r0,#18]"},
        {0xE7910102, "ldr", "r0,[r1,r2<<2]"},
        {0xE7110102, "ldr", "r0,[r1,-r2<<2]"},
        {0xEA000010, "b", ".L7"},
        {0xEB000010, "bl", ".L7"},
        {0x0A000010, "beq", ".L7"},
        {0xEE000000, "", ""},
        {0xFF000000, "", ""},
    };
    ExpectListings(cases, std::size(cases));
}

// Every encoder of the test assembler, read back: this pins the assembler
// to the encodings the disassembler (and the interpreter) decode.
TEST(MGLDisassembler, RoundTripsEveryAssemblerForm) {
    const Case cases[] = {
        {DataReg(SUB, S, 3, 4, 5, LSL, 0, GT), "subgts", "r3,r4,r5"},
        {DataReg(MOV, false, 0, 0, 1, ROR, 0), "mov", "r0,r1 ror#0"},
        {DataReg(CMP, S, 0, 7, 8, ASR, 3), "cmps", "r7,r8>>3"},
        {DataReg(ORR, false, 1, 2, 3, LSR, 31), "orr", "r1,r2,r3 lsr#31"},
        {DataRegShift(MOV, false, 3, 0, 4, LSR, 5), "mov", "r3,r4 lsr r5"},
        {DataRegShift(EOR, S, 3, 1, 4, LSL, 5, MI), "eormis", "r3,r1,r4<<r5"},
        {DataRegShift(BIC, false, 3, 1, 4, ASR, 6), "bic", "r3,r1,r4>>r6"},
        {DataRegShift(MVN, false, 3, 0, 4, ROR, 6), "mvn", "r3,r4 ror r6"},
        {DataImm(TST, S, 0, 9, 0x80, 1), "tsts", "r9,#0x00000020"},
        {DataImm(RSC, false, 2, 3, 0x01, 4, CS), "rsccs", "r2,r3,#0x01000000"},
        {Mul(false, 1, 2, 3), "mul", "r1,r2,r3"},
        {Mla(S, 1, 2, 3, 4, LS), "mlalss", "r1,r2,r3,r4"},
        {MulLong(UMULL, false, 1, 2, 3, 4), "umull", "r1,r2,r3,r4"},
        {MulLong(UMLAL, S, 1, 2, 3, 4), "umlals", "r1,r2,r3,r4"},
        {MulLong(SMULL, false, 5, 6, 7, 8, VS), "smullvs", "r5,r6,r7,r8"},
        {MulLong(SMLAL, false, 5, 6, 7, 8), "smlal", "r5,r6,r7,r8"},
        {HalfImm(true, PreIndexWrite, false, 1, 2, 0x34), "ldrh", "r1,[r2,#-52]!"},
        {HalfImm(false, PostIndex, true, 1, 2, 0x34), "strh", "r1,[r2],#52"},
        {HalfReg(true, PreIndex, true, 1, 2, 3, HI), "ldrhih", "r1,[r2,r3]"},
        {HalfReg(false, PostIndex, false, 1, 2, 3), "strh", "r1,[r2],-r3"},
        {XferImm(true, false, PreIndex, true, 0, 12, 1108), "ldr", "r0,[s->destptr]"},
        {XferImm(false, true, PreIndexWrite, true, 3, 4, 12), "strb", "r3,[r4,#12]!"},
        {XferImm(true, true, PostIndex, false, 3, 4, 12, PL), "ldrplb", "r3,[r4],#-12"},
        {XferReg(false, false, PreIndexWrite, true, 3, 4, 5, ASR, 1), "str", "r3,[r4,r5>>1]!"},
        {XferReg(true, false, PostIndex, true, 3, 4, 5), "ldr", "r3,[r4],r5"},
        {XferReg(true, true, PostIndex, false, 3, 4, 5, LSR, 2), "ldrb", "r3,[r4],-r5 lsr#2"},
        {BlockXfer(true, IA, false, 0, 0x00F0), "ldmia", "r0,{4-7}"},
        {BlockXfer(false, IB, true, 1, 0x0175, LT), "stmltib", "r1!,{0,2,4-6,8}"},
        {BlockXfer(false, DA, false, 2, 0xF000), "stmda", "r2,{12-pc}"},
        {BlockXfer(true, DB, false, 2, 0x8001), "ldmdb", "r2,{0,15}"},
        {Branch(-3, false, NE), "bne", ".L7"},
        {Bx(3, LE), "bxle", "r3"},
    };
    ExpectListings(cases, std::size(cases));
}

TEST(MGLDisassembler, NamesRecordFieldsReachedThroughR12) {
    const struct {
        uint32_t offset;
        bool polygonNames;
        const char* operands;
    } cases[] = {
        {0, true, "r0,[s->CPUregs[0]]"},
        {508, true, "r0,[s->CPUregs[127]]"},
        {520, true, "r0,[s->regs[2]]"},
        {1024, true, "r0,[s->scissorx0]"},
        {1100, true, "r0,[r12,#1100]"},
        {1148 + 104 * 7 + 28 + 36, true, "r0,[s->texture_units[7].b.levels[9]]"},
        {1148 + 100, true, "r0,[s->texture_units[0].]"},
        {1988 + 12, true, "r0,[s->rp123[3]]"},
        {1980, true, "r0,[r12,#1980]"},
        {2368 + 8, true, "r0,[s->le[2]]"},
        {2368 + 8, false, "r0,[s->intp_y[2]]"},
        {2448, false, "r0,[s->re[0]]"},
        {2528 + 4, false, "r0,[s->intp_dx[1]]"},
        {2608 + 4, true, "r0,[s->dr[1]]"},
        {3008 + 76, true, "r0,[s->pcnextp[19]]"},
        {3184, true, "r0,[s->ccz1]"},
        {3188, true, "r0,[r12,#3188]"},
    };
    for (const auto& c : cases) {
        const Listing listing = Disassemble(XferImm(true, false, PreIndex, true, 0, 12, c.offset), 0, c.polygonNames);
        EXPECT_EQ(listing.operands, c.operands) << c.offset;
    }
    // Another base register or a subtracted offset is never a field.
    EXPECT_EQ(Disassemble(XferImm(false, false, PreIndexWrite, true, 1, 11, 1120)).operands, "r1,[r11,#1120]!");
    EXPECT_EQ(Disassemble(XferImm(false, false, PreIndex, false, 1, 12, 1120)).operands, "r1,[r12,#-1120]");
}

TEST(MGLDisassembler, NameTablesAndTruncation) {
    EXPECT_STREQ(ConditionName(13), "le");
    EXPECT_STREQ(ConditionName(16), "?CC");
    EXPECT_STREQ(OpcodeName(-1), "?IN");
    EXPECT_STREQ(ShiftName(8), "?SN");
    EXPECT_STREQ(BlockModeName(4), "?MN");

    // Output that does not fit is cut, terminated, and nothing past the
    // capacity is written.
    char mnemonic[4] = {'x', 'x', 'x', 'x'};
    char operands[12];
    std::memset(operands, '#', sizeof operands);
    DisassembleSpanCode(0x00910002, 0, mnemonic, 3, operands, 8, true);
    EXPECT_STREQ(mnemonic, "ad");
    EXPECT_EQ(mnemonic[3], 'x');
    EXPECT_STREQ(operands, "r0,r1,r");
    EXPECT_EQ(operands[8], '#');
    DisassembleSpanCode(0xE59C04EC, 0, mnemonic, 4, operands, 10, true);
    EXPECT_STREQ(operands, "r0,[s->te");

    // A host's operand text with no end within its capacity is full: the
    // operand is not appended, and nothing past the capacity is read.
    char unterminated[4] = {'r', '0', ',', '['};
    DescribeStateOperand(0xE59C0460, unterminated, sizeof unterminated, false);
    EXPECT_EQ(std::string(unterminated, sizeof unterminated), "r0,[");
}
