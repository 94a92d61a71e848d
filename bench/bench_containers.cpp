// The engine's containers against the standard library's.
//
// Hash tables: 100,000 distinct scattered keys (as name hashes are), both
// sides sized for the load up front: the table asks for 100,000 buckets and
// grows its node pool chunk by chunk, the map reserves 100,000 entries.
//
// Vectors: the growth rule of CVector (max(10, 2n) on every growth) is part
// of its contract, so appends are measured the way the engine fills its
// vectors: a fresh vector filled with a few dozen ids, and a kept vector
// cleared and refilled each time (text lines, level resources). The long
// append shows the cost of the rule when a vector gets large.

#include "CHash.h"
#include "CVector.h"

#include <benchmark/benchmark.h>

#include <unordered_map>
#include <vector>

namespace {

constexpr int32_t kKeyCount = 100000;
constexpr uint32_t kNodesPerChunk = 1024;
constexpr int32_t kShortFill = 64;
constexpr int32_t kLongFill = 4096;

const std::vector<uint32_t>& Keys() {
    static const std::vector<uint32_t> keys = [] {
        std::vector<uint32_t> made;
        made.reserve(kKeyCount);
        for (uint32_t i = 0; i < static_cast<uint32_t>(kKeyCount); ++i) made.push_back(i * 2654435761u);
        return made;
    }();
    return keys;
}

void FillTable(CHash& table) {
    table.Init(kKeyCount, kNodesPerChunk, true);
    for (uint32_t key : Keys()) table.Insert(key, key ^ 0x5A5Au);
}

void FillMap(std::unordered_map<uint32_t, uintptr_t>& map) {
    map.reserve(kKeyCount);
    for (uint32_t key : Keys()) map.emplace(key, key ^ 0x5A5Au);
}

void BM_HashInsertOurs(benchmark::State& state) {
    for (auto _ : state) {
        CHash table;
        FillTable(table);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashInsertReference(benchmark::State& state) {
    for (auto _ : state) {
        std::unordered_map<uint32_t, uintptr_t> map;
        FillMap(map);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashFindOurs(benchmark::State& state) {
    CHash table;
    FillTable(table);
    for (auto _ : state) {
        uintptr_t sum = 0;
        for (uint32_t key : Keys()) {
            uintptr_t value = 0;
            table.Find(key, &value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashFindReference(benchmark::State& state) {
    std::unordered_map<uint32_t, uintptr_t> map;
    FillMap(map);
    for (auto _ : state) {
        uintptr_t sum = 0;
        for (uint32_t key : Keys()) {
            const auto found = map.find(key);
            if (found != map.end()) sum += found->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void AppendFresh(benchmark::State& state, int32_t count) {
    for (auto _ : state) {
        CVector vector;
        for (int32_t i = 0; i < count; ++i) vector.Add(static_cast<uintptr_t>(i));
        benchmark::DoNotOptimize(vector.GetData());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void AppendFreshReference(benchmark::State& state, int32_t count) {
    for (auto _ : state) {
        std::vector<uintptr_t> vector;
        for (int32_t i = 0; i < count; ++i) vector.push_back(static_cast<uintptr_t>(i));
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_VectorAppendOurs(benchmark::State& state) { AppendFresh(state, kShortFill); }
void BM_VectorAppendReference(benchmark::State& state) { AppendFreshReference(state, kShortFill); }
void BM_VectorAppendLongOurs(benchmark::State& state) { AppendFresh(state, kLongFill); }
void BM_VectorAppendLongReference(benchmark::State& state) { AppendFreshReference(state, kLongFill); }

void BM_VectorRefillOurs(benchmark::State& state) {
    CVector vector;
    for (auto _ : state) {
        vector.Clear();
        for (int32_t i = 0; i < kShortFill; ++i) vector.Add(static_cast<uintptr_t>(i));
        benchmark::DoNotOptimize(vector.GetData());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kShortFill);
}

void BM_VectorRefillReference(benchmark::State& state) {
    std::vector<uintptr_t> vector;
    for (auto _ : state) {
        vector.clear();
        for (int32_t i = 0; i < kShortFill; ++i) vector.push_back(static_cast<uintptr_t>(i));
        benchmark::DoNotOptimize(vector.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kShortFill);
}

}  // namespace

BENCHMARK(BM_HashInsertOurs)->Name("HashInsert100k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashInsertReference)->Name("HashInsert100k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashFindOurs)->Name("HashFind100k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashFindReference)->Name("HashFind100k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VectorAppendOurs)->Name("VectorAppend/ours");
BENCHMARK(BM_VectorAppendReference)->Name("VectorAppend/reference");
BENCHMARK(BM_VectorRefillOurs)->Name("VectorAppendRefill/ours");
BENCHMARK(BM_VectorRefillReference)->Name("VectorAppendRefill/reference");
BENCHMARK(BM_VectorAppendLongOurs)->Name("VectorAppend4096/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VectorAppendLongReference)->Name("VectorAppend4096/reference")->Unit(benchmark::kMicrosecond);
