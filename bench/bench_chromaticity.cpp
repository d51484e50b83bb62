// The cost of the event check between statements when nothing is pending,
// and of the whole computation for one entry.
#include <benchmark/benchmark.h>

#include "calculator/chromaticity.h"
#include "runtime/events/event_check.h"
#include "runtime/process/program_prologue.h"
#include "runtime/process/startup.h"

namespace {

// Baseline: 1,000 statements of plain SINGLE arithmetic.
void statements_without_check(benchmark::State& state) {
    float value = 1;
    for (auto _ : state) {
        for (int line = 0; line < 1000; ++line) {
            value = value * 0.5f + 1.0f;
            benchmark::DoNotOptimize(value);
        }
    }
}

// The same statements, each followed by the event check.
void statements_with_check(benchmark::State& state) {
    float value = 1;
    for (auto _ : state) {
        for (int line = 0; line < 1000; ++line) {
            value = value * 0.5f + 1.0f;
            benchmark::DoNotOptimize(value);
            statement_done(static_cast<std::uint32_t>(line));
        }
    }
}

// Lines 26 to 110 for a purple entry: 341 table rows skipped and read.
void purple_entry(benchmark::State& state) {
    program_thread_prologue();
    single_variables v = create_single_variables();
    for (auto _ : state) {
        v.wavelength = -700;
        compute_chromaticity(v);
        benchmark::DoNotOptimize(v.purple_x);
    }
}

}  // namespace

BENCHMARK(statements_without_check);
BENCHMARK(statements_with_check);
BENCHMARK(purple_entry);
BENCHMARK_MAIN();
