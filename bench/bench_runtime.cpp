// The runtime's containers and strings against the standard library's.
//
// Vectors: a fresh vector of the default size filled with 10,000 ids, the
// runtime's doubling from 10 against the standard vector's own growth; then
// reads of every element. Hash tables: 100,000 distinct scattered keys put
// into a table of the default size (the runtime's grows 11, 23, 47 ... as
// its rule says; the map grows as it likes), then looked up. Strings: the
// concatenation of two menu-sized texts into a new string (the runtime's
// strings are immutable, so each result is a new buffer on both sides) and
// searches in a text of a few kilobytes.

#include "JHashtable.h"
#include "JInteger.h"
#include "JString.h"
#include "JVector.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int32_t kVectorFill = 10000;
constexpr int32_t kKeyCount = 100000;
constexpr int32_t kTextCount = 256;
constexpr int32_t kHaystackRepeat = 200;

const std::vector<int32_t>& Keys() {
    static const std::vector<int32_t> keys = [] {
        std::vector<int32_t> made;
        made.reserve(kKeyCount);
        for (uint32_t i = 0; i < static_cast<uint32_t>(kKeyCount); ++i) {
            made.push_back(static_cast<int32_t>(i * 2654435761u));
        }
        return made;
    }();
    return keys;
}

std::u16string MenuText(int32_t i) {
    std::u16string text = u"OPTION ";
    for (char c : std::to_string(i * 7919)) text.push_back(static_cast<char16_t>(c));
    return text;
}

void BM_VectorAppendOurs(benchmark::State& state) {
    for (auto _ : state) {
        JVector<int32_t> vector;
        for (int32_t i = 0; i < kVectorFill; ++i) vector.addElement(i);
        benchmark::DoNotOptimize(vector.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kVectorFill);
}

void BM_VectorAppendReference(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<int32_t> vector;
        for (int32_t i = 0; i < kVectorFill; ++i) vector.push_back(i);
        benchmark::DoNotOptimize(vector.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kVectorFill);
}

void BM_VectorElementAtOurs(benchmark::State& state) {
    JVector<int32_t> vector;
    for (int32_t i = 0; i < kVectorFill; ++i) vector.addElement(i);
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t i = 0; i < vector.size(); ++i) sum += vector.elementAt(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kVectorFill);
}

void BM_VectorElementAtReference(benchmark::State& state) {
    std::vector<int32_t> vector;
    for (int32_t i = 0; i < kVectorFill; ++i) vector.push_back(i);
    for (auto _ : state) {
        int64_t sum = 0;
        for (size_t i = 0; i < vector.size(); ++i) sum += vector[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kVectorFill);
}

void FillTable(JHashtable<JInteger, uintptr_t>& table) {
    for (int32_t key : Keys()) table.put(JInteger(key), static_cast<uintptr_t>(key) ^ 0x5A5Au);
}

void FillMap(std::unordered_map<int32_t, uintptr_t>& map) {
    for (int32_t key : Keys()) map[key] = static_cast<uintptr_t>(key) ^ 0x5A5Au;
}

void BM_HashtablePutOurs(benchmark::State& state) {
    for (auto _ : state) {
        JHashtable<JInteger, uintptr_t> table;
        FillTable(table);
        benchmark::DoNotOptimize(table.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashtablePutReference(benchmark::State& state) {
    for (auto _ : state) {
        std::unordered_map<int32_t, uintptr_t> map;
        FillMap(map);
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashtableGetOurs(benchmark::State& state) {
    JHashtable<JInteger, uintptr_t> table;
    FillTable(table);
    for (auto _ : state) {
        uintptr_t sum = 0;
        for (int32_t key : Keys()) sum += table.get(JInteger(key));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_HashtableGetReference(benchmark::State& state) {
    std::unordered_map<int32_t, uintptr_t> map;
    FillMap(map);
    for (auto _ : state) {
        uintptr_t sum = 0;
        for (int32_t key : Keys()) {
            const auto found = map.find(key);
            sum += found != map.end() ? found->second : 0;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}

void BM_StringConcatOurs(benchmark::State& state) {
    std::vector<JString> texts;
    for (int32_t i = 0; i < kTextCount; ++i) texts.emplace_back(MenuText(i).c_str());
    const JString separator(u": ");
    for (auto _ : state) {
        for (int32_t i = 0; i + 1 < kTextCount; ++i) {
            const JString joined = texts[i] + separator;
            benchmark::DoNotOptimize(joined.getBuffer());
        }
    }
    state.SetItemsProcessed(state.iterations() * (kTextCount - 1));
}

void BM_StringConcatReference(benchmark::State& state) {
    std::vector<std::u16string> texts;
    for (int32_t i = 0; i < kTextCount; ++i) texts.push_back(MenuText(i));
    const std::u16string separator(u": ");
    for (auto _ : state) {
        for (int32_t i = 0; i + 1 < kTextCount; ++i) {
            const std::u16string joined = texts[i] + separator;
            benchmark::DoNotOptimize(joined.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * (kTextCount - 1));
}

std::u16string Haystack() {
    std::u16string text;
    for (int32_t i = 0; i < kHaystackRepeat; ++i) text += MenuText(i) + u" ";
    return text + u"THE END";
}

void BM_StringIndexOfOurs(benchmark::State& state) {
    const JString haystack(Haystack().c_str());
    const JString needle(u"THE END");
    for (auto _ : state) {
        benchmark::DoNotOptimize(haystack.indexOf(needle, 0) + haystack.indexOf(u'E', 100));
    }
}

void BM_StringIndexOfReference(benchmark::State& state) {
    const std::u16string haystack = Haystack();
    const std::u16string needle(u"THE END");
    for (auto _ : state) {
        benchmark::DoNotOptimize(haystack.find(needle, 0) + haystack.find(u'E', 100));
    }
}

}  // namespace

BENCHMARK(BM_VectorAppendOurs)->Name("JVectorAppend10k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VectorAppendReference)->Name("JVectorAppend10k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VectorElementAtOurs)->Name("JVectorElementAt10k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VectorElementAtReference)->Name("JVectorElementAt10k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashtablePutOurs)->Name("JHashtablePut100k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashtablePutReference)->Name("JHashtablePut100k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashtableGetOurs)->Name("JHashtableGet100k/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HashtableGetReference)->Name("JHashtableGet100k/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StringConcatOurs)->Name("JStringConcat/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StringConcatReference)->Name("JStringConcat/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StringIndexOfOurs)->Name("JStringIndexOf/ours");
BENCHMARK(BM_StringIndexOfReference)->Name("JStringIndexOf/reference");
