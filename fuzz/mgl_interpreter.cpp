// Span code from a pipeline-state image run by the interpreter on a state
// record and two planes, as the scan converters would run it. Whatever the
// code does, the run ends, and nothing outside the mapped regions changes.
//
// Input: a 2960-byte state image (bytes 4..2435 are the code area), then
// bytes for the start of the state record.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "MGLDisassembler.h"
#include "MGLGuestMemory.h"
#include "MGLRecord.h"
#include "MGLSpanInterpreter.h"

namespace {

constexpr size_t kStateBytes = 2960;
constexpr size_t kCodeStart = 4;
constexpr size_t kCodeBytes = 2432;
constexpr size_t kSpanVisibleBytes = 4096;
constexpr uint32_t kBudget = 1u << 16;
constexpr size_t kGuard = 64;
constexpr uint8_t kGuardFill = 0x5A;

// A plane with unmapped guard bytes on both sides.
class GuardedPlane {
public:
    explicit GuardedPlane(size_t bytes) : m_block(bytes + 2 * kGuard, kGuardFill), m_bytes(bytes) {
        std::memset(Pixels(), 0, bytes);
    }
    uint8_t* Pixels() { return m_block.data() + kGuard; }
    size_t Bytes() const { return m_bytes; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i) {
            if (m_block[i] != kGuardFill || m_block[kGuard + m_bytes + i] != kGuardFill) return false;
        }
        return true;
    }

private:
    std::vector<uint8_t> m_block;
    size_t m_bytes;
};

void DisassembleEveryWord(const uint8_t* code) {
    for (size_t at = 0; at + 4 <= kCodeBytes; at += 4) {
        const uint32_t word = uint32_t{code[at]} | uint32_t{code[at + 1]} << 8 | uint32_t{code[at + 2]} << 16 |
                              uint32_t{code[at + 3]} << 24;
        char mnemonic[8];
        char operands[24];
        DisassembleSpanCode(word, 1, mnemonic, sizeof mnemonic, operands, sizeof operands, (word & 1) != 0);
        Check(std::strlen(mnemonic) < sizeof mnemonic && std::strlen(operands) < sizeof operands);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> state(kStateBytes, 0);
    std::memcpy(state.data(), data, size < kStateBytes ? size : kStateBytes);
    auto record = std::make_unique<MGLRecord>();
    if (size > kStateBytes) {
        const size_t recordBytes = size - kStateBytes < kSpanVisibleBytes ? size - kStateBytes : kSpanVisibleBytes;
        std::memcpy(record.get(), data + kStateBytes, recordBytes);
    }

    constexpr int32_t kWidth = 64;
    constexpr int32_t kHeight = 16;
    GuardedPlane colour(kWidth * kHeight * 2);
    GuardedPlane depth(kWidth * kHeight * 4);
    MGLGuestMemory memory;
    const uint32_t recordBase = memory.Map(record.get(), sizeof(MGLRecord));
    record->destbase = record->destptr = memory.Map(colour.Pixels(), colour.Bytes());
    record->deststride = kWidth * 2;
    record->zbase = record->zptr = memory.Map(depth.Pixels(), depth.Bytes());
    record->zstride = kWidth * 4;
    Check(recordBase != 0 && record->destbase != 0 && record->zbase != 0);

    MGLSpanInterpreter interpreter(memory, kBudget);
    const MGLSpanRunEnd end = interpreter.Run(state.data() + kCodeStart, kCodeBytes, recordBase,
                                              recordBase + offsetof(MGLRecord, le),
                                              recordBase + offsetof(MGLRecord, re));
    Check(end != MGLSpanRunEnd::NullCode);
    Check(interpreter.InstructionsRun() <= kBudget);
    Check(colour.GuardsIntact() && depth.GuardsIntact());

    DisassembleEveryWord(state.data() + kCodeStart);
    return 0;
}
