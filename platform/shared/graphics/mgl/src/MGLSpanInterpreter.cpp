#include "MGLSpanInterpreter.h"

#include "CAssert.h"
#include "MGLGuestMemory.h"
#include "MGLInstructionFields.h"
#include "MGLRecord.h"

namespace {

// Bit f of entry c is set when condition c holds for the flag value f
// (N = 8, Z = 4, C = 2, V = 1). Condition 15 never holds.
constexpr uint32_t kConditionMasks[16] = {
    0xF0F0, 0x0F0F, 0xCCCC, 0x3333, 0xFF00, 0x00FF, 0xAAAA, 0x5555,
    0x0C0C, 0xF3F3, 0xAA55, 0x55AA, 0x0A05, 0xF5FA, 0xFFFF, 0x0000,
};

using MGLInstructionFields::Bit;
using MGLInstructionFields::Field;

constexpr uint32_t SignBit(uint32_t value) { return value >> 31; }

uint32_t ReadLittleEndian(const uint8_t* bytes, uint32_t count) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < count; ++i) value |= uint32_t{bytes[i]} << (8 * i);
    return value;
}

void WriteLittleEndian(uint8_t* bytes, uint32_t count, uint32_t value) {
    for (uint32_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

MGLSpanInterpreter::MGLSpanInterpreter(const MGLGuestMemory& memory, uint32_t instructionBudget)
    : m_memory(memory), m_budget(instructionBudget) {}

// Every step of an instruction is inlined into the loop: the interpreter is
// the only way span code runs here, and the calls cost about a quarter of it.
[[gnu::flatten]] MGLSpanRunEnd MGLSpanInterpreter::Run(const uint8_t* code, size_t codeBytes, uint32_t a0, uint32_t a1, uint32_t a2) {
    for (uint32_t& r : m_registers) r = 0;
    m_flags = 0;
    m_instructionsRun = 0;
    m_codePointer = 0;
    m_faultAddress = 0;
    if (code == nullptr) return MGLSpanRunEnd::NullCode;
    m_registers[0] = a0;
    m_registers[1] = a1;
    m_registers[2] = a2;
    m_registers[13] = a0 + kMGLInterpreterStackTop;

    for (;;) {
        if (m_codePointer < 0 || static_cast<uint64_t>(m_codePointer) + 4 > codeBytes) {
            return Stop(MGLSpanRunEnd::LeftCodeArea, "the code pointer left the code area");
        }
        if (m_instructionsRun == m_budget) return Stop(MGLSpanRunEnd::BudgetSpent, "the instruction budget ran out");
        ++m_instructionsRun;
        const uint32_t instruction = ReadLittleEndian(code + m_codePointer, 4);
        m_codePointer += 4;
        if (((kConditionMasks[instruction >> 28] >> m_flags) & 1u) == 0) continue;
        switch (Execute(instruction)) {
            case Step::Next:
                break;
            case Step::Exchange:
                return MGLSpanRunEnd::Exchange;
            case Step::Fault:
                return Stop(MGLSpanRunEnd::MemoryFault, "an access outside guest memory or a store to read-only memory");
        }
    }
}

MGLSpanRunEnd MGLSpanInterpreter::Stop(MGLSpanRunEnd end, const char* why) {
    if (end == MGLSpanRunEnd::MemoryFault) {
        DebugPrintf("MGL span code stopped at code offset %lld after %u instructions: %s at 0x%08x",
                    static_cast<long long>(m_codePointer - 4), m_instructionsRun, why, m_faultAddress);
    } else {
        DebugPrintf("MGL span code stopped at code offset %lld after %u instructions: %s",
                    static_cast<long long>(m_codePointer), m_instructionsRun, why);
    }
    return end;
}

MGLSpanInterpreter::Step MGLSpanInterpreter::Execute(uint32_t instruction) {
    if ((instruction & 0x0E000090u) == 0x00000090u) return ExecuteMultiplyOrHalfword(instruction);
    const uint32_t opClass = Field(instruction, 20, 8);
    if (opClass < 0x20) {
        if (opClass == 0x12) return Step::Exchange;
        if (opClass == 0x10 || opClass == 0x14 || opClass == 0x16) return Step::Next;
        ExecuteDataProcessing(instruction, ShifterOperand(instruction));
        return Step::Next;
    }
    if (opClass < 0x40) {
        if (opClass == 0x30 || opClass == 0x32 || opClass == 0x34 || opClass == 0x36) return Step::Next;
        ExecuteDataProcessing(instruction, MGLInstructionFields::RotatedImmediate(instruction));
        return Step::Next;
    }
    if (opClass < 0x80) {
        // Post-indexed with W: the user-mode transfers.
        if (Bit(instruction, 24) == 0 && Bit(instruction, 21) == 1) return Step::Next;
        return ExecuteWordTransfer(instruction);
    }
    if (opClass < 0xA0) {
        // Bit 22: user-bank and status-register forms.
        if (Bit(instruction, 22) == 1) return Step::Next;
        return ExecuteBlockTransfer(instruction);
    }
    if (opClass < 0xB0) ExecuteBranch(instruction);
    // Calls with link, coprocessor instructions and software interrupts are
    // skipped.
    return Step::Next;
}

MGLSpanInterpreter::Step MGLSpanInterpreter::ExecuteMultiplyOrHalfword(uint32_t instruction) {
    const uint32_t opClass = Field(instruction, 20, 8);
    switch (Field(instruction, 4, 4)) {
        case 0x9:
            if (opClass <= 0x03) ExecuteMultiply(instruction);
            else if (opClass >= 0x08 && opClass <= 0x0F) ExecuteLongMultiply(instruction);
            // 0x04..0x07 and the swaps above 0x0F are skipped.
            return Step::Next;
        case 0xB:
            if (Bit(instruction, 24) == 0 && Bit(instruction, 21) == 1) return Step::Next;
            return ExecuteHalfwordTransfer(instruction);
        default:
            // Signed byte and halfword loads and the double-word forms.
            return Step::Next;
    }
}

void MGLSpanInterpreter::ExecuteMultiply(uint32_t instruction) {
    const uint32_t rd = Field(instruction, 16, 4);
    uint32_t product = m_registers[Field(instruction, 0, 4)] * m_registers[Field(instruction, 8, 4)];
    if (Bit(instruction, 21) == 1) product += m_registers[Field(instruction, 12, 4)];
    m_registers[rd] = product;
    if (Bit(instruction, 20) == 1) SetFlagsLogical(m_registers[rd]);
}

void MGLSpanInterpreter::ExecuteLongMultiply(uint32_t instruction) {
    const uint32_t rdHi = Field(instruction, 16, 4);
    const uint32_t rdLo = Field(instruction, 12, 4);
    const uint32_t rm = m_registers[Field(instruction, 0, 4)];
    const uint32_t rs = m_registers[Field(instruction, 8, 4)];
    const bool isSigned = Bit(instruction, 22) == 1;
    uint64_t result = isSigned ? static_cast<uint64_t>(int64_t{static_cast<int32_t>(rm)} * static_cast<int32_t>(rs))
                               : uint64_t{rm} * rs;
    if (Bit(instruction, 21) == 1) result += (uint64_t{m_registers[rdHi]} << 32) | m_registers[rdLo];
    m_registers[rdHi] = static_cast<uint32_t>(result >> 32);
    m_registers[rdLo] = static_cast<uint32_t>(result);
    if (Bit(instruction, 20) == 0) return;
    // The flags read the registers after both writes, so RdHi = RdLo sees
    // the low word.
    if (m_registers[rdHi] != 0) {
        if (isSigned) SetFlagsLogical(m_registers[rdHi]);
        else SetFlagsZero(m_registers[rdHi]);
    } else {
        SetFlagsZero(m_registers[rdLo]);
    }
}

MGLSpanInterpreter::Step MGLSpanInterpreter::ExecuteHalfwordTransfer(uint32_t instruction) {
    const uint32_t offset = Bit(instruction, 22) == 1 ? (Field(instruction, 8, 4) << 4) | Field(instruction, 0, 4)
                                                      : m_registers[Field(instruction, 0, 4)];
    return Transfer(instruction, offset, 2);
}

// A single load or store of `width` bytes: the offset added or taken
// (bit 23), before the access with write-back when asked (bits 24 and 21),
// or after it, always written back.
MGLSpanInterpreter::Step MGLSpanInterpreter::Transfer(uint32_t instruction, uint32_t offset, uint32_t width) {
    const uint32_t rn = Field(instruction, 16, 4);
    const uint32_t rd = Field(instruction, 12, 4);
    const uint32_t base = m_registers[rn];
    const uint32_t indexed = Bit(instruction, 23) == 1 ? base + offset : base - offset;
    const bool preIndexed = Bit(instruction, 24) == 1;
    if (preIndexed && Bit(instruction, 21) == 1) m_registers[rn] = indexed;
    const uint32_t address = preIndexed ? indexed : base;
    if (Bit(instruction, 20) == 1) {
        uint32_t value = 0;
        if (!Load(address, width, value)) return Step::Fault;
        m_registers[rd] = value;
    } else if (!Store(address, width, m_registers[rd])) {
        return Step::Fault;
    }
    if (!preIndexed) m_registers[rn] = indexed;
    return Step::Next;
}

void MGLSpanInterpreter::ExecuteDataProcessing(uint32_t instruction, uint32_t operand2) {
    const uint32_t rn = m_registers[Field(instruction, 16, 4)];
    uint32_t& rd = m_registers[Field(instruction, 12, 4)];
    const bool setFlags = Bit(instruction, 20) == 1;
    const uint32_t borrow = 1u - Carry();
    switch (Field(instruction, 21, 4)) {
        case 0: rd = setFlags ? SetFlagsLogical(rn & operand2) : rn & operand2; break;
        case 1: rd = setFlags ? SetFlagsLogical(rn ^ operand2) : rn ^ operand2; break;
        case 2: rd = setFlags ? SubWithFlags(rn, operand2) : rn - operand2; break;
        case 3: rd = setFlags ? SubWithFlags(operand2, rn) : operand2 - rn; break;
        case 4: rd = setFlags ? AddWithFlags(rn, operand2) : rn + operand2; break;
        case 5: rd = setFlags ? AddCarryWithFlags(rn, operand2) : rn + operand2 + Carry(); break;
        case 6: rd = setFlags ? SubCarryWithFlags(rn, operand2) : rn - operand2 - borrow; break;
        case 7: rd = setFlags ? SubCarryWithFlags(operand2, rn) : operand2 - rn - borrow; break;
        case 8: if (setFlags) SetFlagsLogical(rn & operand2); break;
        case 9: if (setFlags) SetFlagsLogical(rn ^ operand2); break;
        case 10: if (setFlags) SubWithFlags(rn, operand2); break;
        case 11: if (setFlags) AddWithFlags(rn, operand2); break;
        case 12: rd = setFlags ? SetFlagsLogical(rn | operand2) : rn | operand2; break;
        case 13: rd = setFlags ? SetFlagsLogical(operand2) : operand2; break;
        case 14: rd = setFlags ? SetFlagsLogical(rn & ~operand2) : rn & ~operand2; break;
        default: rd = setFlags ? SetFlagsLogical(~operand2) : ~operand2; break;
    }
}

MGLSpanInterpreter::Step MGLSpanInterpreter::ExecuteWordTransfer(uint32_t instruction) {
    const uint32_t offset = Bit(instruction, 25) == 1 ? ShifterOperand(instruction) : Field(instruction, 0, 12);
    return Transfer(instruction, offset, Bit(instruction, 22) == 1 ? 1 : 4);
}

MGLSpanInterpreter::Step MGLSpanInterpreter::ExecuteBlockTransfer(uint32_t instruction) {
    const uint32_t rn = Field(instruction, 16, 4);
    const bool increment = Bit(instruction, 23) == 1;
    const bool before = Bit(instruction, 24) == 1;
    const bool load = Bit(instruction, 20) == 1;
    const uint32_t step = increment ? 4u : 0u - 4u;
    uint32_t address = m_registers[rn];
    for (uint32_t n = 0; n < 16; ++n) {
        // Increments take r0 upwards, decrements r15 downwards: the lowest
        // register always lands at the lowest address.
        const uint32_t r = increment ? n : 15 - n;
        if (Bit(instruction, r) == 0) continue;
        if (before) address += step;
        if (load) {
            uint32_t value = 0;
            if (!Load(address, 4, value)) return Step::Fault;
            m_registers[r] = value;
        } else if (!Store(address, 4, m_registers[r])) {
            return Step::Fault;
        }
        if (!before) address += step;
    }
    if (Bit(instruction, 21) == 1) m_registers[rn] = address;
    return Step::Next;
}

void MGLSpanInterpreter::ExecuteBranch(uint32_t instruction) {
    // Sign-extend the 24-bit word offset; the target is relative to the
    // branch's own address plus 8.
    const int64_t offset = static_cast<int32_t>(instruction << 8) >> 8;
    const int64_t own = m_codePointer - 4;
    m_codePointer = own + 8 + 4 * offset;
}

uint32_t MGLSpanInterpreter::SetFlagsLogical(uint32_t r) {
    m_flags = r == 0 ? kFlagZ : (SignBit(r) != 0 ? kFlagN : 0);
    return r;
}

uint32_t MGLSpanInterpreter::SetFlagsZero(uint32_t r) {
    m_flags = r == 0 ? kFlagZ : 0;
    return r;
}

void MGLSpanInterpreter::SetArithmeticFlags(uint32_t r, bool carry, bool overflow) {
    m_flags = (SignBit(r) != 0 ? kFlagN : 0) | (r == 0 ? kFlagZ : 0) | (carry ? kFlagC : 0) | (overflow ? kFlagV : 0);
}

uint32_t MGLSpanInterpreter::AddWithFlags(uint32_t a, uint32_t b) {
    const uint32_t r = a + b;
    SetArithmeticFlags(r, a > ~b, SignBit((a ^ r) & (b ^ r)) != 0);
    return r;
}

uint32_t MGLSpanInterpreter::AddCarryWithFlags(uint32_t a, uint32_t b) {
    // The carry-out ignores the carry-in, as the renderer's reference does.
    const uint32_t r = a + b + Carry();
    SetArithmeticFlags(r, a > ~b, SignBit((a ^ r) & (b ^ r)) != 0);
    return r;
}

uint32_t MGLSpanInterpreter::SubWithFlags(uint32_t a, uint32_t b) {
    const uint32_t r = a - b;
    SetArithmeticFlags(r, a >= b, SignBit((a ^ b) & (a ^ r)) != 0);
    return r;
}

uint32_t MGLSpanInterpreter::SubCarryWithFlags(uint32_t a, uint32_t b) {
    // The carry-out ignores the borrow-in, as the renderer's reference does.
    const uint32_t r = a - b - (1u - Carry());
    SetArithmeticFlags(r, a >= b, SignBit((a ^ b) & (a ^ r)) != 0);
    return r;
}

uint32_t MGLSpanInterpreter::ShifterOperand(uint32_t instruction) {
    const uint32_t rm = m_registers[Field(instruction, 0, 4)];
    const uint32_t type = Field(instruction, 5, 2);
    if ((instruction & 0xF90u) == 0) {
        // Immediate amount 0 encodes LSR #32, ASR #32 and RRX.
        switch (type) {
            case 0: return rm;
            case 1: return 0;
            case 2: return SignBit(rm) != 0 ? 0xFFFFFFFFu : 0;
            default: {
                // RRX moves bit 0 into the carry whether or not the
                // instruction sets flags, before the instruction reads it.
                const uint32_t result = (Carry() << 31) | (rm >> 1);
                m_flags = (m_flags & ~kFlagC) | ((rm & 1u) != 0 ? kFlagC : 0);
                return result;
            }
        }
    }
    const uint32_t amount = Bit(instruction, 4) == 1 ? (m_registers[Field(instruction, 8, 4)] & 0xFFu)
                                                     : Field(instruction, 7, 5);
    switch (type) {
        case 0: return amount >= 32 ? 0 : rm << amount;
        case 1: return amount >= 32 ? 0 : rm >> amount;
        case 2: {
            const int32_t value = static_cast<int32_t>(rm);
            return static_cast<uint32_t>(value >> (amount >= 32 ? 31 : amount));
        }
        default:
            return MGLInstructionFields::RotateRight(rm, amount & 31u);
    }
}

bool MGLSpanInterpreter::Load(uint32_t address, uint32_t bytes, uint32_t& value) {
    const uint8_t* host = m_memory.ToHost(address, bytes);
    if (host == nullptr) {
        m_faultAddress = address;
        return false;
    }
    value = ReadLittleEndian(host, bytes);
    return true;
}

bool MGLSpanInterpreter::Store(uint32_t address, uint32_t bytes, uint32_t value) {
    uint8_t* host = m_memory.ToHostWritable(address, bytes);
    if (host == nullptr) {
        m_faultAddress = address;
        return false;
    }
    WriteLittleEndian(host, bytes, value);
    return true;
}

MGLSpanRunEnd InterpretSpanCode(const MGLGuestMemory& memory, const uint8_t* code, size_t codeBytes, uint32_t a0,
                                uint32_t a1, uint32_t a2) {
    MGLSpanInterpreter interpreter(memory);
    return interpreter.Run(code, codeBytes, a0, a1, a2);
}
