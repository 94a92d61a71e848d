#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "SpanTestMachine.h"

using namespace SpanAsm;

namespace {

constexpr uint32_t N = MGLSpanInterpreter::kFlagN;
constexpr uint32_t Z = MGLSpanInterpreter::kFlagZ;
constexpr uint32_t C = MGLSpanInterpreter::kFlagC;
constexpr uint32_t V = MGLSpanInterpreter::kFlagV;

Program One(uint32_t word) {
    Program program;
    program << word;
    return program;
}

}  // namespace

// Every data-processing opcode with S against hand-worked results and flags,
// including the rules where this interpreter differs from the processor:
// logical results clear the carry, and the carry-out of ADC/SBC/RSC ignores
// the carry-in.
TEST(MGLSpanInterpreter, DataProcessingResultsAndFlags) {
    const struct {
        Op op;
        uint32_t a, b;
        bool carryIn;
        uint32_t result, flags;
    } cases[] = {
        {AND, 0xF0F0F0F0, 0x0FF00FF0, true, 0x00F000F0, 0},
        {EOR, 0x80000000, 0, true, 0x80000000, N},
        {EOR, 5, 5, false, 0, Z},
        {SUB, 5, 5, false, 0, Z | C},
        {SUB, 3, 5, false, 0xFFFFFFFE, N},
        {SUB, 0x80000000, 1, false, 0x7FFFFFFF, C | V},
        {RSB, 5, 3, false, 0xFFFFFFFE, N},
        {ADD, 0xFFFFFFFF, 1, false, 0, Z | C},
        {ADD, 0x7FFFFFFF, 1, false, 0x80000000, N | V},
        {ADC, 1, 1, true, 3, 0},
        {ADC, 0xFFFFFFFF, 0, true, 0, Z},
        {ADC, 0x7FFFFFFF, 0, true, 0x80000000, N | V},
        {SBC, 5, 3, false, 1, C},
        {SBC, 5, 3, true, 2, C},
        {SBC, 5, 5, false, 0xFFFFFFFF, N | C},
        {RSC, 3, 5, true, 2, C},
        {RSC, 5, 3, false, 0xFFFFFFFD, N},
        {ORR, 0xF0, 0x0F, true, 0xFF, 0},
        {MOV, 0, 0x80000000, true, 0x80000000, N},
        {BIC, 0xFF, 0x0F, false, 0xF0, 0},
        {MVN, 0, 0, false, 0xFFFFFFFF, N},
    };
    for (const auto& c : cases) {
        SpanTestMachine withFlags;
        ASSERT_EQ(withFlags.Run(One(DataReg(c.op, S, 3, 1, 2)), {{1, c.a}, {2, c.b}}, c.carryIn),
                  MGLSpanRunEnd::Exchange);
        EXPECT_EQ(withFlags.Reg(3), c.result) << "op " << c.op << " a " << c.a;
        EXPECT_EQ(withFlags.Flags(), c.flags) << "op " << c.op << " a " << c.a;

        // Without S the result is the same (ADC, SBC and RSC still use the
        // carry) and the flags stay as they were.
        SpanTestMachine plain;
        plain.Run(One(DataReg(c.op, false, 3, 1, 2)), {{1, c.a}, {2, c.b}}, c.carryIn);
        EXPECT_EQ(plain.Reg(3), c.result) << "op " << c.op << " without S";
        EXPECT_EQ(plain.Flags(), c.carryIn ? C : 0u) << "op " << c.op << " without S";
    }
}

TEST(MGLSpanInterpreter, CompareFormsSetFlagsOnly) {
    const struct {
        Op op;
        uint32_t a, b, flags;
    } cases[] = {
        {TST, 0xF0, 0x0F, Z},
        {TST, 0x80000001, 0x80000000, N},
        {TEQ, 0x80000000, 0, N},
        {TEQ, 7, 7, Z},
        {CMP, 5, 5, Z | C},
        {CMP, 4, 5, N},
        {CMN, 0x7FFFFFFF, 1, N | V},
        {CMN, 0xFFFFFFFF, 1, Z | C},
    };
    for (const auto& c : cases) {
        SpanTestMachine machine;
        machine.Run(One(DataReg(c.op, S, 3, 1, 2)), {{1, c.a}, {2, c.b}, {3, 0xDEADBEEF}}, true);
        EXPECT_EQ(machine.Reg(3), 0xDEADBEEFu) << "op " << c.op;
        EXPECT_EQ(machine.Flags(), c.flags) << "op " << c.op << " a " << c.a;
    }
}

TEST(MGLSpanInterpreter, RotatedImmediates) {
    const struct {
        uint32_t imm8, rotate, value;
    } cases[] = {
        {0xFF, 0, 0xFF}, {0xFF, 4, 0xFF000000}, {0x80, 1, 0x20}, {0x01, 15, 0x4}, {0x81, 1, 0x40000020},
    };
    for (const auto& c : cases) {
        SpanTestMachine machine;
        machine.Run(One(DataImm(MOV, false, 3, 0, c.imm8, c.rotate)));
        EXPECT_EQ(machine.Reg(3), c.value);
    }
    SpanTestMachine machine;
    machine.Run(One(DataImm(ADD, S, 3, 1, 0x01, 4)), {{1, 0xFF000000}});
    EXPECT_EQ(machine.Reg(3), 0u);
    EXPECT_EQ(machine.Flags(), Z | C);
}

// The shifter, immediate and register amounts: zero amounts encode LSR #32,
// ASR #32 and RRX; amounts of 32 and more have defined results; RRX moves
// bit 0 into the carry even without S.
TEST(MGLSpanInterpreter, ShifterOperands) {
    const struct {
        Shift shift;
        bool byRegister;
        uint32_t amount, value;
        bool carryIn;
        uint32_t result, flags;
    } cases[] = {
        {LSL, false, 0, 0x12345678, true, 0x12345678, C},
        {LSR, false, 0, 0xFFFFFFFF, false, 0, 0},
        {ASR, false, 0, 0x80000000, false, 0xFFFFFFFF, 0},
        {ASR, false, 0, 0x7FFFFFFF, true, 0, C},
        {ROR, false, 0, 1, true, 0x80000000, C},
        {ROR, false, 0, 1, false, 0, C},
        {ROR, false, 0, 2, true, 0x80000001, 0},
        {LSL, false, 4, 0x8000000F, false, 0xF0, 0},
        {LSR, false, 4, 0x80000000, false, 0x08000000, 0},
        {ASR, false, 4, 0x80000000, false, 0xF8000000, 0},
        {ROR, false, 8, 0x12345678, false, 0x78123456, 0},
        {LSL, true, 40, 0xFFFFFFFF, false, 0, 0},
        {LSR, true, 40, 0xFFFFFFFF, false, 0, 0},
        {ASR, true, 40, 0x80000000, false, 0xFFFFFFFF, 0},
        {ROR, true, 40, 0x12345678, true, 0x78123456, C},
        {LSL, true, 32, 1, false, 0, 0},
        {LSR, true, 32, 0x80000000, false, 0, 0},
        {ASR, true, 32, 0x7FFFFFFF, false, 0, 0},
        {ROR, true, 32, 0x12345678, false, 0x12345678, 0},
        {LSR, true, 0, 0x80000000, false, 0x80000000, 0},
        {LSL, true, 0x104, 1, false, 0x10, 0},
        {LSL, true, 31, 1, false, 0x80000000, 0},
    };
    for (const auto& c : cases) {
        SpanTestMachine machine;
        const uint32_t word = c.byRegister ? DataRegShift(MOV, false, 3, 0, 1, c.shift, 2)
                                           : DataReg(MOV, false, 3, 0, 1, c.shift, c.amount);
        machine.Run(One(word), {{1, c.value}, {2, c.amount}}, c.carryIn);
        EXPECT_EQ(machine.Reg(3), c.result) << "shift " << c.shift << " by " << c.amount << " of " << c.value;
        EXPECT_EQ(machine.Flags(), c.flags) << "shift " << c.shift << " by " << c.amount << " of " << c.value;
    }
}

TEST(MGLSpanInterpreter, RrxCarryFeedsTheInstructionThatUsesIt) {
    // ADC reads the carry after RRX has set it from bit 0.
    SpanTestMachine adc;
    adc.Run(One(DataReg(ADC, false, 3, 2, 1, ROR, 0)), {{1, 1}, {2, 10}});
    EXPECT_EQ(adc.Reg(3), 11u);
    EXPECT_EQ(adc.Flags(), C);

    // With S the instruction's own rule decides all four flags afterwards.
    SpanTestMachine adcs;
    adcs.Run(One(DataReg(ADC, S, 3, 2, 1, ROR, 0)), {{1, 1}, {2, 0xFFFFFFFF}});
    EXPECT_EQ(adcs.Reg(3), 0u);
    EXPECT_EQ(adcs.Flags(), Z);

    SpanTestMachine movs;
    movs.Run(One(DataReg(MOV, S, 3, 0, 1, ROR, 0)), {{1, 1}}, true);
    EXPECT_EQ(movs.Reg(3), 0x80000000u);
    EXPECT_EQ(movs.Flags(), N);

    // The register offset of a transfer goes through the same shifter.
    SpanTestMachine load;
    load.SetDataWord(8, 0x600DF00D);
    load.Run(One(XferReg(true, false, PreIndex, true, 3, 1, 2, ROR, 0)), {{1, load.DataBase()}, {2, 17}}, false);
    EXPECT_EQ(load.Reg(3), 0x600DF00Du);
    EXPECT_EQ(load.Flags(), C);
}

TEST(MGLSpanInterpreter, Multiplies) {
    const struct {
        uint32_t word;
        uint32_t r1, r2, r3, r4;
        bool carryIn;
        uint32_t expect3, expect4, flags;
    } cases[] = {
        {Mul(false, 3, 1, 2), 7, 6, 0, 0, true, 42, 0, C},
        {Mul(S, 3, 1, 2), 0x10000, 0x10000, 0, 0, true, 0, 0, Z},
        {Mul(S, 3, 1, 2), 0xFFFFFFFF, 2, 0, 0, true, 0xFFFFFFFE, 0, N},
        {Mla(false, 3, 1, 2, 4), 7, 6, 0, 100, false, 142, 100, 0},
        {Mla(S, 3, 1, 2, 4), 1, 1, 0, 0xFFFFFFFF, true, 0, 0xFFFFFFFF, Z},
        // UMULL(S): RdLo r3, RdHi r4.
        {MulLong(UMULL, false, 3, 4, 1, 2), 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, false, 1, 0xFFFFFFFE, 0},
        {MulLong(UMULL, S, 3, 4, 1, 2), 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, true, 1, 0xFFFFFFFE, 0},
        {MulLong(UMULL, S, 3, 4, 1, 2), 0x80000000, 1, 0, 0, true, 0x80000000, 0, 0},
        {MulLong(UMULL, S, 3, 4, 1, 2), 0, 5, 9, 9, true, 0, 0, Z},
        {MulLong(UMLAL, false, 3, 4, 1, 2), 1, 1, 0xFFFFFFFF, 1, false, 0, 2, 0},
        {MulLong(UMLAL, S, 3, 4, 1, 2), 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, false, 0, 0, Z},
        {MulLong(SMULL, false, 3, 4, 1, 2), 0xFFFFFFFF, 1, 0, 0, false, 0xFFFFFFFF, 0xFFFFFFFF, 0},
        {MulLong(SMULL, S, 3, 4, 1, 2), 0xFFFFFFFF, 1, 0, 0, true, 0xFFFFFFFF, 0xFFFFFFFF, N},
        {MulLong(SMULL, S, 3, 4, 1, 2), 0x80000000, 0x80000000, 0, 0, false, 0, 0x40000000, 0},
        {MulLong(SMULL, S, 3, 4, 1, 2), 2, 0xC0000000, 0, 0, false, 0x80000000, 0xFFFFFFFF, N},
        {MulLong(SMULL, S, 3, 4, 1, 2), 0xFFFFFFFF, 0x80000000, 0, 0, true, 0x80000000, 0, 0},
        {MulLong(SMLAL, false, 3, 4, 1, 2), 0xFFFFFFFF, 2, 5, 0, false, 3, 0, 0},
        {MulLong(SMLAL, S, 3, 4, 1, 2), 0xFFFFFFFF, 5, 5, 0, true, 0, 0, Z},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SpanTestMachine machine;
        machine.Run(One(c.word), {{1, c.r1}, {2, c.r2}, {3, c.r3}, {4, c.r4}}, c.carryIn);
        EXPECT_EQ(machine.Reg(3), c.expect3) << "case " << i;
        EXPECT_EQ(machine.Reg(4), c.expect4) << "case " << i;
        EXPECT_EQ(machine.Flags(), c.flags) << "case " << i;
    }
}

TEST(MGLSpanInterpreter, LongMultiplyIntoOneRegisterKeepsTheLowWord) {
    // RdHi is written before RdLo; the flags read the register afterwards.
    SpanTestMachine machine;
    machine.Run(One(MulLong(UMULL, S, 3, 3, 1, 2)), {{1, 0x10000}, {2, 0x30000}});
    EXPECT_EQ(machine.Reg(3), 0u);
    EXPECT_EQ(machine.Flags(), Z);
}

TEST(MGLSpanInterpreter, HalfwordTransfers) {
    SpanTestMachine machine;
    machine.SetDataWord(16, 0x80011234);
    machine.SetDataWord(20, 0xAAAAAAAA);
    const uint32_t base = machine.DataBase();
    Program program;
    program << HalfImm(true, PreIndex, true, 3, 1, 0x12)         // r3 = half at base + 18
            << HalfImm(true, PreIndex, true, 4, 1, 0x10)         // r4 = half at base + 16
            << HalfImm(false, PreIndex, true, 2, 1, 0x16)        // low half of r2 to base + 22
            << HalfReg(true, PreIndexWrite, false, 5, 6, 7)      // r6 -= r7 first, then load
            << HalfImm(false, PostIndex, true, 2, 8, 0x20)       // store at r8, then r8 += 32
            << HalfImm(true, PostIndexWrite, true, 9, 1, 0x10);  // skipped form
    machine.Run(program, {{1, base}, {2, 0xFFFF5678}, {6, base + 20}, {7, 4}, {8, base + 40}, {9, 77}});
    EXPECT_EQ(machine.Reg(3), 0x8001u);  // zero-extended
    EXPECT_EQ(machine.Reg(4), 0x1234u);
    EXPECT_EQ(machine.DataWord(20), 0x5678AAAAu);
    EXPECT_EQ(machine.Reg(6), base + 16);
    EXPECT_EQ(machine.Reg(5), 0x1234u);
    EXPECT_EQ(machine.DataWord(40), 0x5678u);
    EXPECT_EQ(machine.Reg(8), base + 72);
    EXPECT_EQ(machine.Reg(9), 77u);
}

TEST(MGLSpanInterpreter, WordAndByteTransfers) {
    SpanTestMachine machine;
    const uint32_t base = machine.DataBase();
    machine.SetDataWord(0, 0x11223344);
    machine.SetDataWord(4, 0x000000F0);
    machine.SetDataWord(64, 0xCAFEF00D);
    machine.SetDataWord(128, 0x0BADBEEF);
    Program program;
    program << XferImm(true, false, PreIndex, true, 3, 1, 0)             // r3 = word at base
            << XferImm(true, true, PreIndex, true, 4, 1, 4)              // r4 = byte 0xF0, zero-extended
            << XferImm(false, true, PreIndex, true, 5, 1, 9)             // low byte of r5 to base + 9
            << XferReg(true, false, PreIndex, true, 6, 1, 7, LSL, 4)     // r6 = word at base + (4 << 4)
            << XferImm(true, false, PreIndexWrite, true, 8, 8, 64)       // Rd = Rn: loaded value wins
            << XferImm(true, false, PostIndex, true, 9, 9, 8)            // Rd = Rn: base + 8 wins
            << XferImm(false, false, PreIndexWrite, true, 10, 10, 12)    // stores the updated address
            << XferImm(true, false, PostIndexWrite, true, 11, 1, 0)      // skipped user form
            << XferReg(false, false, PostIndex, false, 5, 12, 7, LSL, 2); // store at r12, then r12 -= 16
    machine.Run(program, {{1, base},
                          {5, 0xFFFFFF7E},
                          {7, 4},
                          {8, base + 64},
                          {9, base + 128},
                          {10, base + 200},
                          {11, 55},
                          {12, base + 300}});
    EXPECT_EQ(machine.Reg(3), 0x11223344u);
    EXPECT_EQ(machine.Reg(4), 0xF0u);
    EXPECT_EQ(machine.DataWord(8), 0x00007E00u);
    EXPECT_EQ(machine.Reg(6), 0xCAFEF00Du);
    EXPECT_EQ(machine.Reg(8), 0x0BADBEEFu);
    EXPECT_EQ(machine.Reg(9), base + 136);
    EXPECT_EQ(machine.Reg(10), base + 212);
    EXPECT_EQ(machine.DataWord(212), base + 212);
    EXPECT_EQ(machine.Reg(11), 55u);
    EXPECT_EQ(machine.DataWord(300), 0xFFFFFF7Eu);
    EXPECT_EQ(machine.Reg(12), base + 284);
    EXPECT_TRUE(machine.GuardsIntact());
}

TEST(MGLSpanInterpreter, UnalignedWordsAreLittleEndianAtTheExactAddress) {
    SpanTestMachine machine;
    for (uint32_t i = 0; i < 8; ++i) machine.Data()[i] = static_cast<uint8_t>(0x10 + i);
    machine.Run(One(XferImm(true, false, PreIndex, true, 3, 1, 1)), {{1, machine.DataBase()}});
    EXPECT_EQ(machine.Reg(3), 0x14131211u);
}

TEST(MGLSpanInterpreter, BlockTransferOrdersAndWriteback) {
    // STMDB r13!,{r4,r14} then LDMIA r13!,{r5,r6}: the stack round trip.
    SpanTestMachine machine;
    Program program;
    program << BlockXfer(false, DB, true, 13, (1u << 4) | (1u << 14)) << DataReg(MOV, false, 7, 0, 13)
            << BlockXfer(true, IA, true, 13, (1u << 5) | (1u << 6));
    machine.Run(program, {{4, 0x44444444}, {14, 0x1E1E1E1E}});
    const uint32_t top = machine.RecordBase() + kMGLInterpreterStackTop;
    EXPECT_EQ(machine.Reg(7), top - 8);
    const MGLRecord& record = machine.Record();
    uint32_t stored[2];
    std::memcpy(stored, record.interpreterStack + sizeof record.interpreterStack - 8, 8);
    EXPECT_EQ(stored[0], 0x44444444u);
    EXPECT_EQ(stored[1], 0x1E1E1E1Eu);
    EXPECT_EQ(machine.Reg(5), 0x44444444u);
    EXPECT_EQ(machine.Reg(6), 0x1E1E1E1Eu);
    EXPECT_EQ(machine.Reg(13), top);

    // Every mode puts the lowest register at the lowest address.
    const struct {
        Block mode;
        uint32_t firstOffset, finalOffset;
    } modes[] = {{IA, 100, 112}, {IB, 104, 112}, {DA, 92, 88}, {DB, 88, 88}};
    for (const auto& m : modes) {
        SpanTestMachine block;
        const uint32_t base = block.DataBase();
        block.Run(One(BlockXfer(false, m.mode, true, 1, 0x0B00)), {{1, base + 100}, {8, 8}, {9, 9}, {11, 11}});
        EXPECT_EQ(block.DataWord(m.firstOffset), 8u) << "mode " << m.mode;
        EXPECT_EQ(block.DataWord(m.firstOffset + 4), 9u) << "mode " << m.mode;
        EXPECT_EQ(block.DataWord(m.firstOffset + 8), 11u) << "mode " << m.mode;
        EXPECT_EQ(block.Reg(1), base + m.finalOffset) << "mode " << m.mode;
    }

    // With the base in the list, a store takes its value before any
    // writeback, and a loaded base is overwritten by the final address.
    SpanTestMachine own;
    const uint32_t base = own.DataBase();
    own.SetDataWord(16, 0x11111111);
    own.SetDataWord(20, 0x22222222);
    Program baseInList;
    baseInList << BlockXfer(false, IA, true, 1, 0x0006) << BlockXfer(true, IA, true, 3, 0x000C);
    own.Run(baseInList, {{1, base + 8}, {2, 0x2}, {3, base + 16}});
    EXPECT_EQ(own.DataWord(8), base + 8);
    EXPECT_EQ(own.Reg(1), base + 16);
    EXPECT_EQ(own.DataWord(12), 0x2u);
    EXPECT_EQ(own.Reg(2), 0x11111111u);
    EXPECT_EQ(own.Reg(3), base + 24);
}

TEST(MGLSpanInterpreter, LoadIntoR15IsOnlyAValue) {
    SpanTestMachine machine;
    machine.SetDataWord(0, 0xFFFFFFF0);
    machine.SetDataWord(4, 0x00000010);
    Program program;
    program << BlockXfer(true, IA, false, 1, 0x8008)  // r3 and r15
            << DataImm(MOV, false, 4, 0, 1)           // still runs
            << XferImm(true, false, PreIndex, true, 15, 1, 4) << DataReg(ADD, false, 5, 15, 3);
    ASSERT_EQ(machine.Run(program, {{1, machine.DataBase()}}), MGLSpanRunEnd::Exchange);
    EXPECT_EQ(machine.Reg(4), 1u);
    EXPECT_EQ(machine.Reg(15), 0x10u);
    EXPECT_EQ(machine.Reg(5), 0u);  // 0x10 + 0xFFFFFFF0
}

TEST(MGLSpanInterpreter, ConditionsBranchesAndTheEnd) {
    MGLGuestMemory memory;
    MGLSpanInterpreter interpreter(memory);
    EXPECT_EQ(interpreter.Run(nullptr, 64, 0, 0, 0), MGLSpanRunEnd::NullCode);
    EXPECT_EQ(interpreter.InstructionsRun(), 0u);

    // Condition 15 never runs; 14 always does; a failing BX does not end the
    // run, a passing one does; BL is skipped entirely.
    SpanTestMachine machine;
    Program program;
    program << DataImm(MOV, false, 1, 0, 1, 0, NV) << DataImm(MOV, false, 2, 0, 2, 0, AL)
            << DataReg(CMP, S, 0, 0, 0)  // Z and C
            << Bx(14, NE) << DataImm(MOV, false, 3, 0, 3) << Branch(100, true) << DataImm(MOV, false, 5, 0, 5);
    const size_t skip = program.BranchForward(EQ);
    program << DataImm(MOV, false, 6, 0, 6);  // jumped over
    program.Bind(skip);
    // A backward loop: r7 counts 4 down, r8 adds 3 each time.
    program << DataImm(MOV, false, 7, 0, 4);
    const size_t loop = program.Here();
    program << DataImm(ADD, false, 8, 8, 3) << DataImm(SUB, S, 7, 7, 1);
    program.BranchTo(loop, NE);
    program << Bx(14, EQ) << DataImm(MOV, false, 9, 0, 9);
    ASSERT_EQ(machine.Run(program, {{14, 0x1234}}), MGLSpanRunEnd::Exchange);
    EXPECT_EQ(machine.Reg(1), 0u);
    EXPECT_EQ(machine.Reg(2), 2u);
    EXPECT_EQ(machine.Reg(3), 3u);
    EXPECT_EQ(machine.Reg(14), 0x1234u);
    EXPECT_EQ(machine.Reg(5), 5u);
    EXPECT_EQ(machine.Reg(6), 0u);
    EXPECT_EQ(machine.Reg(8), 12u);
    EXPECT_EQ(machine.Reg(9), 0u);
}

TEST(MGLSpanInterpreter, RunStartsFromTheArguments) {
    SpanTestMachine machine;
    Program program;
    program << DataReg(MOV, false, 3, 0, 13);
    machine.Run(program, {}, false, 0x1111, 0x2222);
    EXPECT_EQ(machine.Reg(0), machine.RecordBase());
    EXPECT_EQ(machine.Reg(1), 0x1111u);
    EXPECT_EQ(machine.Reg(2), 0x2222u);
    EXPECT_EQ(machine.Reg(3), machine.RecordBase() + 9084);
    EXPECT_EQ(machine.Reg(15), 0u);
}
