// READ of the whole spectral table into SINGLE variables (RESTORE, then 1,384
// READs), next to a plain strtod loop over the same items. Prints the medians
// of both and their ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "calculator/spectral_table.h"
#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

constexpr int table_items = 1384;
float targets[table_items];

void read_whole_table(benchmark::State& state) {
    for (auto _ : state) {
        data_restore();
        for (float& target : targets)
            target = static_cast<float>(
                read_data_number(spectral_table_text, &data_read_offset, spectral_table_length, type_code_single));
        benchmark::DoNotOptimize(targets);
        benchmark::ClobberMemory();
    }
    if (pending_error != 0) state.SkipWithError("READ failed");
}

// The baseline: libc's conversion alone, item after item (the text ends in a zero).
void strtod_whole_table(benchmark::State& state) {
    for (auto _ : state) {
        const char* item = spectral_table_text;
        for (float& target : targets) {
            char* end;
            target = static_cast<float>(std::strtod(item, &end));
            item = end + 1;  // past the comma
        }
        benchmark::DoNotOptimize(targets);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(read_whole_table)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(strtod_whole_table)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The console report, plus the median CPU time of each benchmark kept for
// the ratio (CPU time: the machine may be busy with other work).
class median_reporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Repetitions of the two alternate, so that a busy spell hits both.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    median_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double read = reporter.medians["read_whole_table"], baseline = reporter.medians["strtod_whole_table"];
    if (read > 0 && baseline > 0)
        std::printf("\nREAD of the table: median %.1f us CPU; strtod loop: median %.1f us CPU; ratio %.2f (goal: at most 3)\n",
                    read, baseline, read / baseline);
    benchmark::Shutdown();
    return 0;
}
