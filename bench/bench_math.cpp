// 16.16 scalar math against the same operations in float through the C
// library. Each iteration runs one operation over a table of varied inputs,
// so time per iteration / kCount is the time per operation.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "CMathFixed.h"

namespace {

constexpr size_t kCount = 1024;
constexpr float kRadiansPerDegree = 3.14159265f / 180.0f;

struct Inputs {
    std::vector<int32_t> fixedA, fixedB, fixedPositive, fixedAngle;
    std::vector<float> floatA, floatB, floatPositive, floatRadians;
};

// The same real values in both representations: operands up to +-128, so
// products stay in range, positives up to 32000 and angles up to +-720 degrees.
const Inputs& GetInputs() {
    static const Inputs inputs = [] {
        Inputs in;
        std::mt19937 random(2024);
        std::uniform_real_distribution<double> operand(-128.0, 128.0);
        std::uniform_real_distribution<double> positive(0.0, 32000.0);
        std::uniform_real_distribution<double> angle(-720.0, 720.0);
        for (size_t i = 0; i < kCount; ++i) {
            double a = operand(random), b = operand(random);
            if (std::fabs(b) < 0.01) b = 0.5;
            const double p = positive(random), d = angle(random);
            in.fixedA.push_back(static_cast<int32_t>(a * 65536));
            in.fixedB.push_back(static_cast<int32_t>(b * 65536));
            in.fixedPositive.push_back(static_cast<int32_t>(p * 65536));
            in.fixedAngle.push_back(static_cast<int32_t>(d * 65536));
            in.floatA.push_back(static_cast<float>(a));
            in.floatB.push_back(static_cast<float>(b));
            in.floatPositive.push_back(static_cast<float>(p));
            in.floatRadians.push_back(static_cast<float>(d) * kRadiansPerDegree);
        }
        return in;
    }();
    return inputs;
}

template <class Operation>
void RunFixed(benchmark::State& state, Operation operation) {
    for (auto _ : state) {
        int32_t sum = 0;
        for (size_t i = 0; i < kCount; ++i) sum += operation(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

template <class Operation>
void RunFloat(benchmark::State& state, Operation operation) {
    for (auto _ : state) {
        float sum = 0;
        for (size_t i = 0; i < kCount; ++i) sum += operation(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void BM_FixedMul(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFixed(state, [&](size_t i) { return FixedMul(in.fixedA[i], in.fixedB[i]); });
}

void BM_FloatMul(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFloat(state, [&](size_t i) { return in.floatA[i] * in.floatB[i]; });
}

void BM_FixedDiv(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFixed(state, [&](size_t i) { return FixedDiv(in.fixedA[i], in.fixedB[i]); });
}

void BM_FloatDiv(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFloat(state, [&](size_t i) { return in.floatA[i] / in.floatB[i]; });
}

void BM_FixedSqrt(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFixed(state, [&](size_t i) { return CMathFixed::Sqrt(in.fixedPositive[i]); });
}

void BM_FloatSqrt(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFloat(state, [&](size_t i) { return std::sqrt(in.floatPositive[i]); });
}

void BM_FixedSin(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFixed(state, [&](size_t i) { return CMathFixed::Sin(in.fixedAngle[i]); });
}

void BM_FloatSin(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFloat(state, [&](size_t i) { return std::sin(in.floatRadians[i]); });
}

void BM_FixedATan2(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFixed(state, [&](size_t i) { return CMathFixed::ATan2(in.fixedA[i], in.fixedB[i]); });
}

void BM_FloatATan2(benchmark::State& state) {
    const Inputs& in = GetInputs();
    RunFloat(state, [&](size_t i) { return std::atan2(in.floatA[i], in.floatB[i]); });
}

BENCHMARK(BM_FixedMul)->Name("FixedMul/ours");
BENCHMARK(BM_FloatMul)->Name("FixedMul/reference");
BENCHMARK(BM_FixedDiv)->Name("FixedDiv/ours");
BENCHMARK(BM_FloatDiv)->Name("FixedDiv/reference");
BENCHMARK(BM_FixedSqrt)->Name("Sqrt/ours");
BENCHMARK(BM_FloatSqrt)->Name("Sqrt/reference");
BENCHMARK(BM_FixedSin)->Name("Sin/ours");
BENCHMARK(BM_FloatSin)->Name("Sin/reference");
BENCHMARK(BM_FixedATan2)->Name("ATan2/ours");
BENCHMARK(BM_FloatATan2)->Name("ATan2/reference");

}  // namespace
