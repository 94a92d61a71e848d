// Runs the registered benchmarks and then prints one ratio per comparison.
// A comparison is a pair of benchmarks named "<Group>/ours" and
// "<Group>/reference"; the ratio is reference time / our time, so 1.0 means
// as fast as the reference and more means faster. Each side's time is the
// median of its repetitions (--benchmark_repetitions), so that one disturbed
// repetition does not decide the ratio. Repetitions of different benchmarks
// run interleaved unless the command line says otherwise, so that a machine
// that slows down or speeds up during a run weighs on both sides alike.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The median of the times, 0 for none.
double Median(std::vector<double> times) {
    if (times.empty()) return 0;
    const size_t middle = times.size() / 2;
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(middle), times.end());
    const double upper = times[middle];
    if (times.size() % 2 != 0) return upper;
    return (upper + *std::max_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(middle))) / 2;
}

// The times of every repetition of each side.
struct Pair {
    std::vector<double> ours;
    std::vector<double> reference;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.benchmark_name();
            const size_t slash = name.rfind('/');
            if (slash == std::string::npos) continue;
            const std::string group = name.substr(0, slash);
            const std::string side = name.substr(slash + 1);
            if (side == "ours") m_pairs[group].ours.push_back(run.GetAdjustedRealTime());
            if (side == "reference") m_pairs[group].reference.push_back(run.GetAdjustedRealTime());
        }
    }

    void PrintRatios() const {
        std::printf("\n%-48s %14s %14s %8s\n", "comparison", "ours", "reference", "ratio");
        for (const auto& [group, pair] : m_pairs) {
            const double ours = Median(pair.ours);
            const double reference = Median(pair.reference);
            if (ours <= 0 || reference <= 0) continue;
            std::printf("%-48s %14.1f %14.1f %8.2f\n", group.c_str(), ours, reference, reference / ours);
        }
    }

private:
    std::map<std::string, Pair> m_pairs;
};

}  // namespace

int main(int argc, char** argv) {
    // Flags given later on the command line take precedence.
    std::vector<char*> arguments(argv, argv + argc);
    static char interleaved[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + (argc > 0 ? 1 : 0), interleaved);
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
