// The span-code interpreter's overhead: a hand-written flat-colour span with
// a depth test (r5g6b5 colour, 32-bit depth, one 240-pixel screen row)
// interpreted, against the same span written in C++. Every pixel passes the
// depth test (the row's depth rises each run), so each pixel costs the
// routine's full nine-instruction loop. The printed ratio is C++ time over
// interpreted time; its inverse is the interpreter's slowdown.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "MGLGuestMemory.h"
#include "MGLRecord.h"
#include "MGLSpanInterpreter.h"

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kDepthStep = 3;
constexpr uint32_t kColour = 0xF81F;

// r1, r2 = left and right x in 16.16; destptr and zptr the row starts;
// intp_y[0] the depth at column 0, intp_dx[0] its step; regs[0] the colour.
constexpr uint32_t kFlatDepthSpan[] = {
    0xE1A0C000,  // mov r12,r0
    0xE1A01841,  // mov r1,r1>>16
    0xE1A02842,  // mov r2,r2>>16
    0xE59C3400,  // ldr r3,[s->scissorx0]
    0xE1510003,  // cmps r1,r3
    0xB1A01003,  // movlt r1,r3
    0xE59C3408,  // ldr r3,[s->scissorx1]
    0xE1520003,  // cmps r2,r3
    0xC1A02003,  // movgt r2,r3
    0xE0528001,  // subs r8,r2,r1
    0xD12FFF1E,  // bxle r14
    0xE59C3454,  // ldr r3,[s->destptr]
    0xE59C4460,  // ldr r4,[s->zptr]
    0xE59C5940,  // ldr r5,[s->intp_y[0]]
    0xE59C69E0,  // ldr r6,[s->intp_dx[0]]
    0xE59C7200,  // ldr r7,[s->regs[0]]
    0xE0255196,  // mla r5,r6,r1,r5
    0xE0833081,  // add r3,r3,r1<<1
    0xE0844101,  // add r4,r4,r1<<2
    0xE5949000,  // ldr r9,[r4,#0]          .L1
    0xE1550009,  // cmps r5,r9
    0xC5845000,  // strgt r5,[r4,#0]
    0xC1C370B0,  // strgth r7,[r3,#0]
    0xE2844004,  // add r4,r4,#0x00000004
    0xE2833002,  // add r3,r3,#0x00000002
    0xE0855006,  // add r5,r5,r6
    0xE2588001,  // subs r8,r8,#0x00000001
    0xCAFFFFF6,  // bgt .L1
    0xE12FFF1E,  // bx r14
};

struct Row {
    std::unique_ptr<MGLRecord> record = std::make_unique<MGLRecord>();
    std::vector<uint16_t> colour = std::vector<uint16_t>(kWidth);
    std::vector<int32_t> depth = std::vector<int32_t>(kWidth);
    Row() {
        record->scissorx0 = 0;
        record->scissorx1 = kWidth;
        record->intp_dx[0] = kDepthStep;
        record->regs[0] = kColour;
    }
};

// The same span in C++ on host pointers.
void FlatDepthSpan(const MGLRecord& s, int32_t left, int32_t right, uint16_t* colour, int32_t* depth) {
    int32_t x0 = left >> 16;
    int32_t x1 = right >> 16;
    if (x0 < s.scissorx0) x0 = s.scissorx0;
    if (x1 > s.scissorx1) x1 = s.scissorx1;
    const uint32_t step = static_cast<uint32_t>(s.intp_dx[0]);
    uint32_t z = static_cast<uint32_t>(s.intp_y[0]) + step * static_cast<uint32_t>(x0);
    const uint16_t packed = static_cast<uint16_t>(s.regs[0]);
    for (int32_t x = x0; x < x1; ++x, z += step) {
        if (static_cast<int32_t>(z) > depth[x]) {
            depth[x] = static_cast<int32_t>(z);
            colour[x] = packed;
        }
    }
}

void FlatDepthSpanInterpreted(benchmark::State& state) {
    Row row;
    MGLGuestMemory memory;
    const uint32_t recordBase = memory.Map(row.record.get(), sizeof(MGLRecord));
    row.record->destptr = memory.Map(row.colour.data(), row.colour.size() * 2);
    row.record->zptr = memory.Map(row.depth.data(), row.depth.size() * 4);
    std::vector<uint8_t> code;
    for (uint32_t word : kFlatDepthSpan) {
        for (int i = 0; i < 4; ++i) code.push_back(static_cast<uint8_t>(word >> (8 * i)));
    }
    MGLSpanInterpreter interpreter(memory);
    int64_t instructions = 0;
    for (auto _ : state) {
        row.record->intp_y[0] += kWidth * kDepthStep;
        interpreter.Run(code.data(), code.size(), recordBase, 0, static_cast<uint32_t>(kWidth) << 16);
        instructions += interpreter.InstructionsRun();
    }
    benchmark::DoNotOptimize(row.colour.data());
    state.counters["instructions/s"] = benchmark::Counter(static_cast<double>(instructions), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * kWidth);
}

void FlatDepthSpanNative(benchmark::State& state) {
    Row row;
    for (auto _ : state) {
        row.record->intp_y[0] += kWidth * kDepthStep;
        FlatDepthSpan(*row.record, 0, kWidth << 16, row.colour.data(), row.depth.data());
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(row.colour.data());
    state.SetItemsProcessed(state.iterations() * kWidth);
}

}  // namespace

BENCHMARK(FlatDepthSpanInterpreted)->Name("InterpretedFlatDepthSpan/ours");
BENCHMARK(FlatDepthSpanNative)->Name("InterpretedFlatDepthSpan/reference");
