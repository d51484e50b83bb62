// Console output speed: the calculator's whole output for the entry -500,
// and printing long text that scrolls, beside a memmove of one text page.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "tests/unit/calculator_output.h"

namespace {

void fresh_screen() {
    static const bool ready = (fonts_install(), palettes_install(), screen_set_mode(0, 0, 0, 0, 0, 1), true);
    (void)ready;
}

void restart_page() {
    write_page->cursor_x = 1;
    write_page->cursor_y = 1;
    write_page->holding_cursor = 0;
}

// Every PRINT of a session with the entry -500, the three scrolls included.
void BM_CalculatorOutputMinus500(benchmark::State& state) {
    fresh_screen();
    for (auto _ : state) {
        restart_page();
        print_calculator_heading_and_prompt();
        print_calculator_results_for_minus_500();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CalculatorOutputMinus500)->Unit(benchmark::kMicrosecond);

// One 80-character line printed on the region's last row: 80 cells and a scroll.
void BM_ScrolledLine(benchmark::State& state) {
    fresh_screen();
    const std::string line(80, 'x');
    str_desc text = text_view(line.c_str());
    for (auto _ : state) {
        write_page->cursor_x = 1;
        write_page->cursor_y = 24;
        print_string(&text, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 80);
}
BENCHMARK(BM_ScrolledLine);

// 8,000 characters wrapping at the right edge, scrolling every 80.
void BM_LongTextScrolling(benchmark::State& state) {
    fresh_screen();
    std::string long_text;
    for (int i = 0; i < 8000; ++i) long_text += static_cast<char>('a' + i % 26);
    str_desc text = text_view(long_text.c_str());
    for (auto _ : state) {
        restart_page();
        print_string(&text, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 8000);
}
BENCHMARK(BM_LongTextScrolling);

// The baseline: one page (4,000 bytes) moved up by a row, as a scroll of the whole screen.
void BM_PageMemmove(benchmark::State& state) {
    static std::uint8_t page[4000 + 160];
    for (auto _ : state) {
        std::memmove(page, page + 160, 4000);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PageMemmove);

}  // namespace

BENCHMARK_MAIN();
