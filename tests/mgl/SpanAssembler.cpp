#include "SpanAssembler.h"

namespace SpanAsm {

namespace {

constexpr uint32_t Condition(Cond cond) { return static_cast<uint32_t>(cond) << 28; }
constexpr uint32_t Reg(uint32_t r, uint32_t at) { return (r & 15u) << at; }
constexpr uint32_t Flag(bool set, uint32_t bit) { return set ? 1u << bit : 0u; }

uint32_t IndexBits(Index index) {
    const bool pre = index == PreIndex || index == PreIndexWrite;
    const bool write = index == PreIndexWrite || index == PostIndexWrite;
    return Flag(pre, 24) | Flag(write, 21);
}

uint32_t DataCommon(Op op, bool setFlags, uint32_t rd, uint32_t rn, Cond cond) {
    return Condition(cond) | (static_cast<uint32_t>(op) << 21) | Flag(setFlags, 20) | Reg(rn, 16) | Reg(rd, 12);
}

}  // namespace

uint32_t DataReg(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t rm, Shift shift, uint32_t amount,
                 Cond cond) {
    return DataCommon(op, setFlags, rd, rn, cond) | ((amount & 31u) << 7) | (static_cast<uint32_t>(shift) << 5) |
           Reg(rm, 0);
}

uint32_t DataRegShift(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t rm, Shift shift, uint32_t rs,
                      Cond cond) {
    return DataCommon(op, setFlags, rd, rn, cond) | Reg(rs, 8) | (static_cast<uint32_t>(shift) << 5) | 0x10u |
           Reg(rm, 0);
}

uint32_t DataImm(Op op, bool setFlags, uint32_t rd, uint32_t rn, uint32_t imm8, uint32_t rotate, Cond cond) {
    return DataCommon(op, setFlags, rd, rn, cond) | 0x02000000u | ((rotate & 15u) << 8) | (imm8 & 0xFFu);
}

uint32_t Mul(bool setFlags, uint32_t rd, uint32_t rm, uint32_t rs, Cond cond) {
    return Condition(cond) | Flag(setFlags, 20) | Reg(rd, 16) | Reg(rs, 8) | 0x90u | Reg(rm, 0);
}

uint32_t Mla(bool setFlags, uint32_t rd, uint32_t rm, uint32_t rs, uint32_t rn, Cond cond) {
    return Mul(setFlags, rd, rm, rs, cond) | (1u << 21) | Reg(rn, 12);
}

uint32_t MulLong(LongMul kind, bool setFlags, uint32_t rdLo, uint32_t rdHi, uint32_t rm, uint32_t rs, Cond cond) {
    return Condition(cond) | (static_cast<uint32_t>(kind) << 21) | Flag(setFlags, 20) | Reg(rdHi, 16) |
           Reg(rdLo, 12) | Reg(rs, 8) | 0x90u | Reg(rm, 0);
}

uint32_t HalfImm(bool load, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t offset8, Cond cond) {
    return Condition(cond) | IndexBits(index) | Flag(up, 23) | (1u << 22) | Flag(load, 20) | Reg(rn, 16) |
           Reg(rd, 12) | ((offset8 & 0xF0u) << 4) | 0xB0u | (offset8 & 0x0Fu);
}

uint32_t HalfReg(bool load, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t rm, Cond cond) {
    return Condition(cond) | IndexBits(index) | Flag(up, 23) | Flag(load, 20) | Reg(rn, 16) | Reg(rd, 12) | 0xB0u |
           Reg(rm, 0);
}

uint32_t XferImm(bool load, bool byte, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t offset12,
                 Cond cond) {
    return Condition(cond) | 0x04000000u | IndexBits(index) | Flag(up, 23) | Flag(byte, 22) | Flag(load, 20) |
           Reg(rn, 16) | Reg(rd, 12) | (offset12 & 0xFFFu);
}

uint32_t XferReg(bool load, bool byte, Index index, bool up, uint32_t rd, uint32_t rn, uint32_t rm, Shift shift,
                 uint32_t amount, Cond cond) {
    return Condition(cond) | 0x06000000u | IndexBits(index) | Flag(up, 23) | Flag(byte, 22) | Flag(load, 20) |
           Reg(rn, 16) | Reg(rd, 12) | ((amount & 31u) << 7) | (static_cast<uint32_t>(shift) << 5) | Reg(rm, 0);
}

uint32_t BlockXfer(bool load, Block mode, bool writeback, uint32_t rn, uint32_t registerList, Cond cond) {
    return Condition(cond) | 0x08000000u | (static_cast<uint32_t>(mode) << 23) | Flag(writeback, 21) |
           Flag(load, 20) | Reg(rn, 16) | (registerList & 0xFFFFu);
}

uint32_t Branch(int32_t wordOffset, bool link, Cond cond) {
    return Condition(cond) | 0x0A000000u | Flag(link, 24) | (static_cast<uint32_t>(wordOffset) & 0x00FFFFFFu);
}

uint32_t Bx(uint32_t rm, Cond cond) { return Condition(cond) | 0x012FFF10u | Reg(rm, 0); }

Program& Program::operator<<(uint32_t word) {
    m_words.push_back(word);
    return *this;
}

void Program::BranchTo(size_t target, Cond cond, bool link) {
    const int32_t offset = static_cast<int32_t>(target) - static_cast<int32_t>(Here()) - 2;
    m_words.push_back(Branch(offset, link, cond));
}

size_t Program::BranchForward(Cond cond) {
    m_words.push_back(Branch(0, false, cond));
    return Here() - 1;
}

void Program::Bind(size_t branchIndex) {
    const int32_t offset = static_cast<int32_t>(Here()) - static_cast<int32_t>(branchIndex) - 2;
    m_words[branchIndex] = (m_words[branchIndex] & 0xFF000000u) | (static_cast<uint32_t>(offset) & 0x00FFFFFFu);
}

std::vector<uint8_t> Program::Bytes() const {
    std::vector<uint8_t> bytes;
    bytes.reserve(m_words.size() * 4);
    for (uint32_t word : m_words) {
        for (uint32_t i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
    }
    return bytes;
}

}  // namespace SpanAsm
