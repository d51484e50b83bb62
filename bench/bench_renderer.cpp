// The rendering pass on the 80 x 25 page beside the memory operations it is
// measured against: a full redraw beside a memset of one frame, a pass with
// one changed cell beside a memcpy of one frame, and a pass over an
// unchanged page.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/render/frame_renderer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"

namespace {

constexpr std::size_t frame_bytes = 640 * 400 * 4;

void prepare_page() {
    static bool prepared = false;
    if (!prepared) {
        fonts_install();
        palettes_install();
        screen_set_mode(0, 0, 0, 0, 0, 1);
        prepared = true;
    }
    // A screen full of text in several colours.
    for (int i = 0; i < 80 * 25; ++i) {
        display_page->cells[2 * i] = static_cast<std::uint8_t>('!' + i % 90);
        display_page->cells[2 * i + 1] = static_cast<std::uint8_t>(0x07 + i % 7 * 0x10);
    }
    display_page->cursor_visible = 0;
    frame_compare_valid = 0;
    render_software_frame();
}

void memset_frame(benchmark::State& state) {
    std::vector<std::uint32_t> frame(frame_bytes / 4);
    int value = 0;
    for (auto _ : state) {
        std::memset(frame.data(), ++value, frame_bytes);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

void full_redraw(benchmark::State& state) {
    prepare_page();
    for (auto _ : state) {
        frame_compare_valid = 0;
        render_software_frame();
    }
}

// The same with the SSE2 glyph code, for processors without AVX2.
void full_redraw_sse2(benchmark::State& state) {
    prepare_page();
    select_glyph_drawing(1);
    full_redraw(state);
    select_glyph_drawing(2);
}

void memcpy_frame(benchmark::State& state) {
    std::vector<std::uint32_t> from(frame_bytes / 4, 7), to(frame_bytes / 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), frame_bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void one_changed_cell(benchmark::State& state) {
    prepare_page();
    std::uint8_t c = 'a';
    for (auto _ : state) {
        display_page->cells[2 * (12 * 80 + 40)] = c = c == 'a' ? 'b' : 'a';
        render_software_frame();
    }
}

void unchanged_page(benchmark::State& state) {
    prepare_page();
    for (auto _ : state) render_software_frame();
}

}  // namespace

BENCHMARK(memset_frame)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(full_redraw)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(full_redraw_sse2)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(memcpy_frame)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(one_changed_cell)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(unchanged_page)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
