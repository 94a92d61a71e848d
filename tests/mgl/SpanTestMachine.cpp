#include "SpanTestMachine.h"

#include <cstring>

using namespace SpanAsm;

SpanTestMachine::SpanTestMachine(uint32_t budget)
    : m_record(std::make_unique<MGLRecord>()),
      m_dataBlock(kDataBytes + 2 * kGuardBytes, kGuardFill),
      m_interpreter(m_memory, budget) {
    m_recordBase = m_memory.Map(m_record.get(), sizeof(MGLRecord));
    std::memset(Data(), 0, kDataBytes);
    m_dataBase = m_memory.Map(Data(), kDataBytes);
}

MGLSpanRunEnd SpanTestMachine::Run(const Program& body, const std::vector<std::pair<uint32_t, uint32_t>>& inputs,
                                   bool carryIn, uint32_t a1, uint32_t a2) {
    Program program;
    // r0 holds the record until the last load.
    for (const auto& [reg, value] : inputs) {
        m_record->CPUregs[reg] = value;
        if (reg != 0) program << XferImm(true, false, PreIndex, true, reg, 0, 4 * reg);
    }
    for (const auto& [reg, value] : inputs) {
        if (reg == 0) program << XferImm(true, false, PreIndex, true, 0, 0, 0);
    }
    // r13 holds a positive guest address: comparing it with 0 sets C alone.
    if (carryIn) program << DataImm(CMP, S, 0, 13, 0);
    for (uint32_t word : body.Words()) program << word;
    program << Bx(14);
    return RunRaw(program.Bytes(), a1, a2);
}

MGLSpanRunEnd SpanTestMachine::RunRaw(const std::vector<uint8_t>& code, uint32_t a1, uint32_t a2) {
    return m_interpreter.Run(code.empty() ? nullptr : code.data(), code.size(), m_recordBase, a1, a2);
}

uint32_t SpanTestMachine::DataWord(uint32_t offset) const {
    uint32_t value = 0;
    std::memcpy(&value, m_dataBlock.data() + kGuardBytes + offset, 4);
    return value;
}

void SpanTestMachine::SetDataWord(uint32_t offset, uint32_t value) {
    std::memcpy(Data() + offset, &value, 4);
}

bool SpanTestMachine::GuardsIntact() const {
    for (uint32_t i = 0; i < kGuardBytes; ++i) {
        if (m_dataBlock[i] != kGuardFill || m_dataBlock[kGuardBytes + kDataBytes + i] != kGuardFill) return false;
    }
    return true;
}
