// The run-time string's two hot patterns beside std::string doing the same:
// a statement's working string (new, assign a literal, free, cleanup), and
// a temp result assigned into a variable (the temp's buffer is taken over).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>

#include "runtime/strings/str_desc.h"

namespace {

constexpr std::string_view short_literal = " nm";
constexpr std::string_view prompt_literal = " Eingabe der Wellenlaenge [nm]: ";

std::string_view literal_for(const benchmark::State& state) {
    return state.range(0) == 0 ? short_literal : prompt_literal;
}

void print_pattern_str_desc(benchmark::State& state) {
    strings_startup();
    const std::string_view literal = literal_for(state);
    const std::uint32_t mark = temp_mark();
    for (auto _ : state) {
        str_desc* work = str_new(0, 0);
        str_assign(work, str_from_literal(literal.data(), static_cast<std::int32_t>(literal.size())));
        benchmark::DoNotOptimize(work->text);
        str_free(work);
        temp_cleanup(mark, 0);
    }
    state.SetLabel(std::to_string(literal.size()) + " bytes");
}

void print_pattern_std_string(benchmark::State& state) {
    const std::string_view literal = literal_for(state);
    for (auto _ : state) {
        std::string work;
        work = literal;
        benchmark::DoNotOptimize(work.data());
    }
    state.SetLabel(std::to_string(literal.size()) + " bytes");
}

void temp_into_variable_str_desc(benchmark::State& state) {
    strings_startup();
    const std::string_view content = literal_for(state);
    const std::uint32_t mark = temp_mark();
    str_desc* variable = str_new(0, 0);
    for (auto _ : state) {
        str_desc* result = str_new(static_cast<std::uint32_t>(content.size()), 1);
        std::memcpy(result->text, content.data(), content.size());
        str_assign(variable, result);
        benchmark::DoNotOptimize(variable->text);
        temp_cleanup(mark, 0);
    }
    str_free(variable);
    state.SetLabel(std::to_string(content.size()) + " bytes");
}

void temp_into_variable_std_string(benchmark::State& state) {
    const std::string_view content = literal_for(state);
    std::string variable;
    for (auto _ : state) {
        std::string result(content);
        variable = std::move(result);
        benchmark::DoNotOptimize(variable.data());
    }
    state.SetLabel(std::to_string(content.size()) + " bytes");
}

}  // namespace

BENCHMARK(print_pattern_str_desc)->Arg(0)->Arg(1);
BENCHMARK(print_pattern_std_string)->Arg(0)->Arg(1);
BENCHMARK(temp_into_variable_str_desc)->Arg(0)->Arg(1);
BENCHMARK(temp_into_variable_std_string)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
