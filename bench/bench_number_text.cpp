// Number to text and text to number beside the bare C library calls they
// are built on, on the same values.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/strings/number_to_text.h"
#include "runtime/strings/text_to_number.h"

namespace {

// What the calculator prints: coordinates, wavelengths, small exponents.
constexpr float printed_values[] = {0.17556f, 550.0f, 0.008168f, 5.621312E-03f, 0.3333333f,
                                    -0.5f,    380.25f, 0.7347f,  1.5E-07f,      0.26f};
// What a user types, and longer decimals.
constexpr const char* typed_texts[] = {"550", "-12.5", "0.17556", "1.5D3", "380.5",
                                       " 7 nm", "12345.678", "-0.000321", "3.14159265358979", "700"};

void single_to_text_run(benchmark::State& state) {
    strings_startup();
    const std::uint32_t mark = temp_mark();
    std::size_t i = 0;
    for (auto _ : state) {
        str_desc* text = single_to_text(printed_values[i++ % std::size(printed_values)]);
        benchmark::DoNotOptimize(text->text);
        temp_cleanup(mark, 0);
    }
}

void snprintf_e_format(benchmark::State& state) {
    char buffer[32];
    std::size_t i = 0;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "% .6E",
                      static_cast<double>(printed_values[i++ % std::size(printed_values)]));
        benchmark::DoNotOptimize(buffer);
    }
}

void text_to_number_run(benchmark::State& state) {
    str_desc texts[std::size(typed_texts)] = {};
    for (std::size_t k = 0; k < std::size(typed_texts); ++k) {
        texts[k].text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(typed_texts[k]));
        texts[k].len = static_cast<std::int32_t>(std::strlen(typed_texts[k]));
    }
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(text_to_number(&texts[i++ % std::size(texts)]));
}

void strtold_run(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strtold(typed_texts[i++ % std::size(typed_texts)], nullptr));
}

}  // namespace

BENCHMARK(single_to_text_run);
BENCHMARK(snprintf_e_format);
BENCHMARK(text_to_number_run);
BENCHMARK(strtold_run);
BENCHMARK_MAIN();
