#ifndef SPANTESTMACHINE_H
#define SPANTESTMACHINE_H

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "MGLGuestMemory.h"
#include "MGLRecord.h"
#include "MGLSpanInterpreter.h"
#include "SpanAssembler.h"

// A zeroed state record and a data plane mapped in guest memory, and an
// interpreter to run assembled programs on them. Each plane is surrounded by
// guard bytes that are not mapped, so tests can prove a run never wrote
// outside its regions.
class SpanTestMachine {
public:
    static constexpr uint32_t kDataBytes = 4096;
    static constexpr uint32_t kGuardBytes = 256;
    static constexpr uint8_t kGuardFill = 0xA5;

    explicit SpanTestMachine(uint32_t budget = MGLSpanInterpreter::kDefaultInstructionBudget);

    // Runs `body` after a prologue that loads each (register, value) of
    // `inputs` (through the record) and, with `carryIn`, leaves exactly the
    // carry flag set; a BX r14 follows the body.
    MGLSpanRunEnd Run(const SpanAsm::Program& body, const std::vector<std::pair<uint32_t, uint32_t>>& inputs = {},
                      bool carryIn = false, uint32_t a1 = 0, uint32_t a2 = 0);
    // Runs the words as they are, with no prologue or epilogue.
    MGLSpanRunEnd RunRaw(const std::vector<uint8_t>& code, uint32_t a1 = 0, uint32_t a2 = 0);

    uint32_t Reg(uint32_t r) const { return m_interpreter.Register(r); }
    uint32_t Flags() const { return m_interpreter.Flags(); }
    const MGLSpanInterpreter& Interpreter() const { return m_interpreter; }

    MGLRecord& Record() { return *m_record; }
    uint32_t RecordBase() const { return m_recordBase; }
    uint8_t* Data() { return m_dataBlock.data() + kGuardBytes; }
    uint32_t DataBase() const { return m_dataBase; }
    uint32_t DataWord(uint32_t offset) const;
    void SetDataWord(uint32_t offset, uint32_t value);
    bool GuardsIntact() const;

private:
    std::unique_ptr<MGLRecord> m_record;
    std::vector<uint8_t> m_dataBlock;
    MGLGuestMemory m_memory;
    MGLSpanInterpreter m_interpreter;
    uint32_t m_recordBase;
    uint32_t m_dataBase;
};

#endif
