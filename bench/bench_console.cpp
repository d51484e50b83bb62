// Console output speed: the calculator's whole output for the entry -500,
// and printing long text that scrolls, beside a memmove of one text page.
#include <benchmark/benchmark.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/screen/color_statements.h"
#include "runtime/screen/print.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"

namespace {

// The calculator's screen output for the entry -500, statement by statement
// as its generated code makes the calls.
str_desc text_view(const char* text) {
    str_desc d{};
    d.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(text));
    d.len = static_cast<std::int32_t>(std::strlen(text));
    return d;
}

// One PRINT statement: each item fit-checked and printed, then the line ended.
void print_statement(std::initializer_list<const char*> items) {
    for (const char* item : items) {
        str_desc d = text_view(item);
        print_fit_check(&d);
        print_string(&d, 0);
    }
    str_desc empty = text_view("");
    print_string(&empty, 1);
}

void print_calculator_session_minus_500() {
    palette_set(0, 1, 1);
    color_set(15, 0, 0, 1);
    print_statement({"          ***** Berechnung der Spektralwertanteile x,y *****"});
    print_statement({});
    print_statement({" Bemerkung: fuer Stellen des Spektralfarbenzuges koennen die Wellenlaengen"});
    print_statement({" direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit"});
    print_statement({" einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-"});
    print_statement({" geraden bestimmt."});
    print_statement({" Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6"});
    print_statement({" Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit "});
    print_statement({" der Purpurgeraden ausserhalb des Spektralfarbenzuges."});
    print_statement({" Die Berechnungsgrenzen sind 360 nm bis 700 nm."});
    print_statement({});
    print_statement({});
    // INPUT: the prompt and "? " without fit check, the echo, Enter's newline.
    for (const char* text : {" Eingabe der Wellenlaenge [nm]: ", "? ", "-500"}) {
        str_desc d = text_view(text);
        print_string(&d, 0);
    }
    print_statement({});
    print_statement({});
    print_statement({});
    print_statement({"         fuer Purpurpunkt:"});
    print_statement({});
    print_statement({"         x= ", " .5657461"});
    print_statement({"         y= ", " .1867449"});
    print_statement({});
    print_statement({});
    print_statement({"         fuer ", " 500", " nm :"});
    print_statement({});
    print_statement({"         x= ", " .008168"});
    print_statement({"         y= ", " .538423"});
    print_statement({});
}

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
        print_calculator_session_minus_500();
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
