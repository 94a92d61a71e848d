#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AssertCounter.h"
#include "SpanTestMachine.h"

using namespace SpanAsm;

namespace {

Program One(uint32_t word) {
    Program program;
    program << word;
    return program;
}

// Registers r1..r12 all point into the data plane, so a skipped instruction
// that wrongly ran would load or store there.
std::vector<std::pair<uint32_t, uint32_t>> PointersIntoData(const SpanTestMachine& machine) {
    std::vector<std::pair<uint32_t, uint32_t>> inputs;
    for (uint32_t r = 1; r <= 12; ++r) inputs.push_back({r, machine.DataBase() + 256 * r});
    return inputs;
}

}  // namespace

TEST(MGLSpanHostile, AccessesOutsideTheMapEndTheRunAndTouchNothing) {
    const struct {
        uint32_t word;
        bool fromData;     // r1 = data base + `address`, else r1 = `address`
        uint32_t address;
    } cases[] = {
        {XferImm(true, false, PreIndex, true, 3, 1, 0), false, 0},              // null
        {XferImm(true, false, PreIndex, true, 3, 1, 0), false, 0xFFFFFFFC},     // top of the space
        {XferImm(true, false, PreIndex, true, 3, 1, 4), false, 0xFFFFFFFE},     // wraps past 2^32
        {XferImm(false, false, PreIndex, true, 3, 1, 0), true, 4096},           // just past the end
        {XferImm(false, false, PreIndex, true, 3, 1, 0), true, 4093},           // straddles the end
        {XferImm(false, true, PreIndex, false, 3, 1, 1), true, 0},              // byte before the start
        {HalfImm(false, PreIndex, true, 3, 1, 0), true, 4095},                  // half straddling
        {BlockXfer(false, IA, false, 1, 0x0018), true, 4092},                   // second word outside
        {BlockXfer(false, DB, false, 1, 0x0018), true, 4},                      // first word outside
        {XferReg(false, false, PreIndex, true, 3, 1, 2, LSL, 12), true, 0},     // huge register offset
    };
    for (const auto& c : cases) {
        AssertCounter log;
        SpanTestMachine machine;
        const uint32_t address = c.fromData ? machine.DataBase() + c.address : c.address;
        Program program;
        program << c.word << DataImm(MOV, false, 9, 0, 9);  // must not run
        EXPECT_EQ(machine.Run(program, {{1, address}, {2, 0x0FFFFFFF}, {3, 0x33333333}, {4, 0x44444444}}),
                  MGLSpanRunEnd::MemoryFault)
            << std::hex << c.word;
        EXPECT_EQ(machine.Reg(9), 0u);
        EXPECT_TRUE(machine.GuardsIntact()) << std::hex << c.word;
        EXPECT_TRUE(log.Logged("outside guest memory")) << std::hex << c.word;
    }
}

TEST(MGLSpanHostile, EndlessLoopsEndOnTheBudget) {
    AssertCounter log;
    SpanTestMachine machine(1000);
    Program program;
    program.BranchTo(0);
    EXPECT_EQ(machine.Run(program), MGLSpanRunEnd::BudgetSpent);
    EXPECT_EQ(machine.Interpreter().InstructionsRun(), 1000u);
    EXPECT_TRUE(log.Logged("budget"));

    // The renderer's entry uses the default budget, which also ends.
    MGLGuestMemory memory;
    const std::vector<uint8_t> loop = program.Bytes();
    EXPECT_EQ(InterpretSpanCode(memory, loop.data(), loop.size(), 0, 0, 0), MGLSpanRunEnd::BudgetSpent);
}

TEST(MGLSpanHostile, CodeLeavingItsAreaEndsTheRun) {
    AssertCounter log;
    SpanTestMachine machine;
    // Running off the end without a branch-and-exchange.
    Program fallsOff;
    fallsOff << DataImm(MOV, false, 1, 0, 1) << DataImm(MOV, false, 2, 0, 2);
    EXPECT_EQ(machine.RunRaw(fallsOff.Bytes()), MGLSpanRunEnd::LeftCodeArea);
    EXPECT_EQ(machine.Reg(2), 2u);
    EXPECT_TRUE(log.Logged("left the code area"));

    const int32_t offsets[] = {-3, -0x800000, 0x7FFFFF, 2};
    for (int32_t offset : offsets) {
        Program branch;
        branch << Branch(offset) << Bx(14);
        EXPECT_EQ(machine.RunRaw(branch.Bytes()), MGLSpanRunEnd::LeftCodeArea) << offset;
    }
    // A trailing partial word is not code.
    std::vector<uint8_t> ragged = fallsOff.Bytes();
    ragged.push_back(0x1E);
    ragged.push_back(0xFF);
    EXPECT_EQ(machine.RunRaw(ragged), MGLSpanRunEnd::LeftCodeArea);
    EXPECT_EQ(machine.Interpreter().InstructionsRun(), 2u);
}

// Every encoding outside the subset is skipped without any effect: no
// register, flag or memory byte changes.
TEST(MGLSpanHostile, EncodingsOutsideTheSubsetDoNothing) {
    const uint32_t skipped[] = {
        0xE10F3000,  // class 0x10: status-register read
        0xE14F3000,  // class 0x14
        0xE16F3F14,  // class 0x16: count leading zeros
        0xE328F00F,  // class 0x32: status-register write, immediate
        0xE300300F,  // class 0x30
        0xE3443001,  // class 0x34
        0xE368F001,  // class 0x36
        0xE0443291,  // class 0x04 with 1001: long multiply-accumulate space
        0xE0743291,  // class 0x07
        0xE1013092,  // swap
        0xE1413092,  // swap byte
        0xE1C130D0,  // double-word load
        0xE1C130F0,  // double-word store
        0xE1D130D0,  // signed byte load
        0xE1D130F0,  // signed halfword load
        0xE0B130B2,  // halfword post-indexed with W
        0xE03130B2,  // halfword post-indexed with W, register offset
        0xE4B13004,  // word post-indexed with W (user form)
        0xE6E13002,  // byte post-indexed with W, register offset
        0xE8D1000C,  // block transfer with bit 22
        0xE9C1000C,  // block store with bit 22
        0xEB000000,  // call with link
        0xEC813100,  // coprocessor store
        0xED913100,  // coprocessor load
        0xEE013110,  // coprocessor register transfer
        0xEF000000,  // software interrupt
        0xF0000000 | 0x0A000000,  // condition 15
    };
    SpanTestMachine baseline;
    const auto inputs = PointersIntoData(baseline);
    ASSERT_EQ(baseline.Run(Program(), inputs, true), MGLSpanRunEnd::Exchange);
    for (uint32_t word : skipped) {
        SpanTestMachine machine;
        machine.Run(Program(), inputs, true);
        const std::vector<uint8_t> dataBefore(machine.Data(), machine.Data() + SpanTestMachine::kDataBytes);
        std::vector<uint8_t> recordBefore(sizeof(MGLRecord));
        std::memcpy(recordBefore.data(), &machine.Record(), sizeof(MGLRecord));

        ASSERT_EQ(machine.Run(One(word), inputs, true), MGLSpanRunEnd::Exchange) << std::hex << word;
        for (uint32_t r = 0; r < 16; ++r) EXPECT_EQ(machine.Reg(r), baseline.Reg(r)) << std::hex << word << " r" << r;
        EXPECT_EQ(machine.Flags(), baseline.Flags()) << std::hex << word;
        EXPECT_EQ(0, std::memcmp(dataBefore.data(), machine.Data(), dataBefore.size())) << std::hex << word;
        EXPECT_EQ(0, std::memcmp(recordBefore.data(), &machine.Record(), sizeof(MGLRecord))) << std::hex << word;
    }
}
