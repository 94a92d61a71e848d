// The region allocator against the C library's malloc and free on the same
// fixed mix: 1024 slots, each operation frees a slot's block if it holds one
// and otherwise allocates a block of a size drawn from a mostly-small spread.

#include "MSpace.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint32_t kSlots = 1024;
constexpr uint32_t kOperations = 200000;
constexpr size_t kRegionBytes = 8u << 20;

struct Operation {
    uint32_t slot;
    uint32_t size;
};

uint32_t SizeFor(uint32_t draw) {
    const uint32_t kind = draw % 100;
    const uint32_t spread = draw >> 8;
    if (kind < 70) return 8 + spread % 120;
    if (kind < 95) return 128 + spread % 896;
    return 1024 + spread % 7168;
}

const std::vector<Operation>& Mix() {
    static const std::vector<Operation> mix = [] {
        std::vector<Operation> operations(kOperations);
        uint32_t state = 12345;
        for (Operation& operation : operations) {
            state = state * 1664525u + 1013904223u;
            operation.slot = (state >> 16) % kSlots;
            state = state * 1664525u + 1013904223u;
            operation.size = SizeFor(state >> 4);
        }
        return operations;
    }();
    return mix;
}

template <typename Allocate, typename Release>
void RunMix(Allocate allocate, Release release, std::vector<void*>& slots) {
    for (const Operation& operation : Mix()) {
        void*& slot = slots[operation.slot];
        if (slot != nullptr) {
            release(slot);
            slot = nullptr;
        } else {
            slot = allocate(operation.size);
            if (slot != nullptr) *static_cast<uint8_t*>(slot) = static_cast<uint8_t>(operation.size);
        }
    }
    for (void*& slot : slots) {
        if (slot != nullptr) release(slot);
        slot = nullptr;
    }
}

void BM_AllocFreeMixOurs(benchmark::State& state) {
    std::vector<uint64_t> region(kRegionBytes / sizeof(uint64_t));
    MSpace space = MSpaceCreate(region.data(), kRegionBytes, 0);
    std::vector<void*> slots(kSlots, nullptr);
    for (auto _ : state) {
        RunMix([space](size_t bytes) { return MSpaceMalloc(space, bytes); },
               [space](void* block) { MSpaceFree(space, block); }, slots);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kOperations);
}

void BM_AllocFreeMixReference(benchmark::State& state) {
    std::vector<void*> slots(kSlots, nullptr);
    for (auto _ : state) {
        RunMix([](size_t bytes) { return std::malloc(bytes); }, [](void* block) { std::free(block); }, slots);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kOperations);
}

}  // namespace

BENCHMARK(BM_AllocFreeMixOurs)->Name("AllocFreeMix/ours");
BENCHMARK(BM_AllocFreeMixReference)->Name("AllocFreeMix/reference");
