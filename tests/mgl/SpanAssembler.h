#ifndef SPANASSEMBLER_H
#define SPANASSEMBLER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A test-only assembler for span code: one encoder per instruction form the
// interpreter knows, each giving the 32-bit word. Tests build programs with
// it, run them through the interpreter and read them back through the
// disassembler.
namespace SpanAsm {

enum Cond : uint32_t { EQ, NE, CS, CC, MI, PL, VS, VC, HI, LS, GE, LT, GT, LE, AL, NV };
enum Op : uint32_t { AND, EOR, SUB, RSB, ADD, ADC, SBC, RSC, TST, TEQ, CMP, CMN, ORR, MOV, BIC, MVN };
enum Shift : uint32_t { LSL, LSR, ASR, ROR };
enum LongMul : uint32_t { UMULL = 4, UMLAL = 5, SMULL = 6, SMLAL = 7 };

// Addressing of single transfers.
enum Index : uint32_t {
    PostIndex = 0,       // P = 0, W = 0
    PreIndex = 1,        // P = 1, W = 0
    PreIndexWrite = 2,   // P = 1, W = 1
    PostIndexWrite = 3,  // P = 0, W = 1 (the user-mode forms)
};
// Block transfer modes by bits 24..23.
enum Block : uint32_t { DA, IA, DB, IB };

constexpr bool S = true;

uint32_t DataReg(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t rm, Shift shift = LSL,
                 uint32_t amount = 0, Cond cond = AL);
uint32_t DataRegShift(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t rm, Shift shift, uint32_t rs,
                      Cond cond = AL);
// imm8 rotated right by 2 x rotate.
uint32_t DataImm(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t imm8, uint32_t rotate = 0,
                 Cond cond = AL);
uint32_t Mul(bool setFlags, uint32_t rd, uint32_t rm, uint32_t rs, Cond cond = AL);
uint32_t Mla(bool setFlags, uint32_t rd, uint32_t rm, uint32_t rs, uint32_t rn, Cond cond = AL);
uint32_t MulLong(LongMul kind, bool setFlags, uint32_t rdLo, uint32_t rdHi, uint32_t rm, uint32_t rs,
                 Cond cond = AL);
// Offsets are magnitudes; `up` false subtracts them.
uint32_t HalfImm(bool load, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t offset8, Cond cond = AL);
uint32_t HalfReg(bool load, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t rm, Cond cond = AL);
uint32_t XferImm(bool load, bool byte, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t offset12,
                 Cond cond = AL);
uint32_t XferReg(bool load, bool byte, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t rm,
                 Shift shift = LSL, uint32_t amount = 0, Cond cond = AL);
uint32_t BlockXfer(bool load, Block mode, bool writeback, uint32_t rn, uint32_t registerList, Cond cond = AL);
// Word offset relative to the branch's own address + 8.
uint32_t Branch(int32_t wordOffset, bool link = false, Cond cond = AL);
uint32_t Bx(uint32_t rm, Cond cond = AL);

// A program under construction, with backward and forward branch targets
// given as instruction indices.
class Program {
public:
    Program& operator<<(uint32_t word);
    size_t Here() const { return m_words.size(); }
    // Emits a branch to the instruction at index `target`.
    void BranchTo(size_t target, Cond cond = AL, bool link = false);
    // Emits a placeholder branch whose target is set later by Bind.
    size_t BranchForward(Cond cond = AL);
    void Bind(size_t branchIndex);

    const std::vector<uint32_t>& Words() const { return m_words; }
    // Little-endian bytes of the code area.
    std::vector<uint8_t> Bytes() const;

private:
    std::vector<uint32_t> m_words;
};

}  // namespace SpanAsm

#endif
