// Runs the registered benchmarks and then prints one ratio per comparison.
// A comparison is a pair of benchmarks named "<Group>/ours" and
// "<Group>/reference"; the ratio is reference time / our time, so 1.0 means
// as fast as the reference and more means faster.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Pair {
    double ours = 0;
    double reference = 0;
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
            if (side == "ours") m_pairs[group].ours = run.GetAdjustedRealTime();
            if (side == "reference") m_pairs[group].reference = run.GetAdjustedRealTime();
        }
    }

    void PrintRatios() const {
        std::printf("\n%-48s %14s %14s %8s\n", "comparison", "ours", "reference", "ratio");
        for (const auto& [group, pair] : m_pairs) {
            if (pair.ours <= 0 || pair.reference <= 0) continue;
            std::printf("%-48s %14.1f %14.1f %8.2f\n", group.c_str(), pair.ours, pair.reference,
                        pair.reference / pair.ours);
        }
    }

private:
    std::map<std::string, Pair> m_pairs;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
