#ifndef MGLSPANINTERPRETER_H
#define MGLSPANINTERPRETER_H

#include <cstddef>
#include <cstdint>

class MGLGuestMemory;

// Why a run of span code stopped. Only `Exchange` is the normal end; every
// other end is logged with a debug line.
enum class MGLSpanRunEnd : uint8_t {
    Exchange,      // a branch-and-exchange passed its condition
    NullCode,      // no code: nothing ran
    LeftCodeArea,  // the code pointer left the code area
    BudgetSpent,   // the instruction budget ran out
    MemoryFault,   // a load or store outside every mapped region, or a store to a read-only one
};

// Runs stored span code (32-bit ARM-state instructions of the subset the
// renderer's pipeline states use) instruction by instruction, with its own
// register file and flags, on guest memory. The flag, shifter and multiply
// rules are this renderer's reference behaviour, which differs from the
// processor in places (no shifter carry-out, RRX updating the carry even
// without S, carry-out of ADC/SBC ignoring the carry-in, UMULLS never setting
// N): code meant for the interpreter is written against these rules.
//
// A run ends at the first executed branch-and-exchange. Nothing else of the
// run survives but its memory writes; the register file stays readable after
// the run for inspection until the next run starts.
class MGLSpanInterpreter {
public:
    static constexpr uint32_t kDefaultInstructionBudget = 1u << 24;

    // Flag bits, also the index into the condition table.
    static constexpr uint32_t kFlagN = 8;
    static constexpr uint32_t kFlagZ = 4;
    static constexpr uint32_t kFlagC = 2;
    static constexpr uint32_t kFlagV = 1;

    explicit MGLSpanInterpreter(const MGLGuestMemory& memory, uint32_t instructionBudget = kDefaultInstructionBudget);

    // Runs `codeBytes` bytes of instructions from `code` (the code area; the
    // first word is the entry) with r0..r2 = a0..a2 and r13 = a0 plus the
    // interpreter stack top of the state record.
    MGLSpanRunEnd Run(const uint8_t* code, size_t codeBytes, uint32_t a0, uint32_t a1, uint32_t a2);

    uint32_t Register(uint32_t index) const { return m_registers[index & 15]; }
    uint32_t Flags() const { return m_flags; }
    uint32_t InstructionsRun() const { return m_instructionsRun; }

private:
    enum class Step : uint8_t { Next, Exchange, Fault };

    Step Execute(uint32_t instruction);
    Step ExecuteMultiplyOrHalfword(uint32_t instruction);
    void ExecuteMultiply(uint32_t instruction);
    void ExecuteLongMultiply(uint32_t instruction);
    Step ExecuteHalfwordTransfer(uint32_t instruction);
    void ExecuteDataProcessing(uint32_t instruction, uint32_t operand2);
    Step ExecuteWordTransfer(uint32_t instruction);
    Step Transfer(uint32_t instruction, uint32_t offset, uint32_t width);
    Step ExecuteBlockTransfer(uint32_t instruction);
    void ExecuteBranch(uint32_t instruction);
    MGLSpanRunEnd Stop(MGLSpanRunEnd end, const char* why);

    uint32_t SetFlagsLogical(uint32_t r);
    uint32_t SetFlagsZero(uint32_t r);
    uint32_t AddWithFlags(uint32_t a, uint32_t b);
    uint32_t SubWithFlags(uint32_t a, uint32_t b);
    uint32_t AddCarryWithFlags(uint32_t a, uint32_t b);
    uint32_t SubCarryWithFlags(uint32_t a, uint32_t b);
    void SetArithmeticFlags(uint32_t r, bool carry, bool overflow);
    // The shifted-register operand, of data processing and of register
    // offsets alike.
    uint32_t ShifterOperand(uint32_t instruction);
    uint32_t Carry() const { return (m_flags & kFlagC) != 0 ? 1u : 0u; }

    // Guest memory access; false (and the fault noted) outside the map.
    bool Load(uint32_t address, uint32_t bytes, uint32_t& value);
    bool Store(uint32_t address, uint32_t bytes, uint32_t value);

    const MGLGuestMemory& m_memory;
    uint32_t m_budget;
    uint32_t m_registers[16] = {};
    uint32_t m_flags = 0;
    uint32_t m_instructionsRun = 0;
    int64_t m_codePointer = 0;  // byte offset of the next instruction in the code area
    uint32_t m_faultAddress = 0;
};

// The renderer's entry for one span: runs the code with a fresh interpreter.
MGLSpanRunEnd InterpretSpanCode(const MGLGuestMemory& memory, const uint8_t* code, size_t codeBytes, uint32_t a0,
                                uint32_t a1, uint32_t a2);

#endif
