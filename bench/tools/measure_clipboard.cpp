// How quickly copy and paste work in the calculator's window, each beside a
// baseline measured in the same X server in the same run:
// - copy: from the release of the mouse button that ends a drag over a
//   result row to `xclip -o` giving that row, beside one more `xclip -o` of
//   the same text (what reading alone costs);
// - paste: from a middle click that pastes 255 characters at the prompt to
//   the last of them on the screen, beside one typed key reaching the screen.
// Usage: measure_clipboard CALCULATOR [rounds]   (default 20)
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness/harness.h"

namespace {

using clock_type = std::chrono::steady_clock;
std::string display_name;

// Milliseconds until check() holds, looking every half millisecond; -1 after 10 s.
double ms_until(clock_type::time_point start, const std::function<bool()>& check) {
    while (!check()) {
        if (clock_type::now() - start > std::chrono::seconds(10)) return -1;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string read_primary() {
    std::string text;
    if (FILE* pipe = popen(("DISPLAY=" + display_name + " timeout 5 xclip -o 2>/dev/null").c_str(), "r")) {
        char piece[512];
        for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, pipe)) > 0;) text.append(piece, n);
        pclose(pipe);
    }
    return text;
}

// A glyph in the text cell (0-based): a pixel unlike the cell's top row in
// glyph rows 1 to 12, where the text cursor (row 14) never is.
bool glyph_in_cell(Display* x, Window window, int row, int column) {
    XImage* image = XGetImage(x, window, column * 8, row * 16, 8, 13, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long background = XGetPixel(image, 0, 0);
    bool found = false;
    for (int y = 1; y < 13 && !found; ++y)
        for (int i = 0; i < 8; ++i) found = found || XGetPixel(image, i, y) != background;
    XDestroyImage(image);
    return found;
}

void button(Display* x, unsigned number, bool down) {
    XTestFakeButtonEvent(x, number, down, CurrentTime);
    XSync(x, False);
}

Window start_calculator(Display* x, const char* path, running_program& calculator) {
    calculator = program_start(path, {}, {"DISPLAY=" + display_name});
    const Window window = window_find(x, "Untitled", 10);
    window_move_to_origin_and_focus(x, window);
    text_screen screen;
    screen_shows(x, window, screen, [](const text_screen& s) { return s.row_text(13).size() == 33; }, 10);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CALCULATOR [rounds]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    x_server server;
    std::string why;
    if (!x_server_start(server, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    display_name = server.display;
    Display* x = server.connection;
    std::vector<double> copy, read_alone, paste, key;
    auto record = [](std::vector<double>& into, double ms) {
        if (ms >= 0) into.push_back(ms);
    };

    // Copy: the x row and the y row in turn; then one more read of the same text.
    running_program calculator;
    Window window = start_calculator(x, argv[1], calculator);
    type_text(x, "555.5\n");
    text_screen screen;
    screen_shows(x, window, screen, [](const text_screen& s) { return s.row_text(25) == "Press any key to continue"; },
                 10);
    for (int i = 0; i < rounds; ++i) {
        const int row = 17 + i % 2;   // 0-based text row
        const std::string expected = i % 2 ? "         y=  .6554428" : "         x=  .3409378";
        XTestFakeMotionEvent(x, 0, 3, row * 16 + 8, CurrentTime);
        button(x, 1, true);
        XTestFakeMotionEvent(x, 0, 300, row * 16 + 8, CurrentTime);
        const auto released = clock_type::now();
        button(x, 1, false);
        record(copy, ms_until(released, [&] { return read_primary() == expected; }));
        record(read_alone, ms_until(clock_type::now(), [&] { return read_primary() == expected; }));
    }
    tap_key(x, XK_space);
    program_wait(calculator, 10);

    // Paste: a fresh calculator each round; first one typed key, taken back.
    // The prompt has 34 characters: key k lands in text row 12 + (34 + k) / 80.
    std::string text;
    for (int i = 0; i < 255; ++i) text += static_cast<char>('0' + i % 10);
    std::ofstream("/tmp/measure_clipboard_text") << text;
    running_program owner = program_start("/usr/bin/xclip", {"-i", "-quiet", "/tmp/measure_clipboard_text"},
                                          {"DISPLAY=" + display_name});
    wait_until([&] { return read_primary() == text; }, 5);
    for (int i = 0; i < std::max(1, rounds / 2); ++i) {
        window = start_calculator(x, argv[1], calculator);
        tap_key(x, XK_1);
        record(key, ms_until(clock_type::now(), [&] { return glyph_in_cell(x, window, 12, 34); }));
        tap_key(x, XK_BackSpace);
        wait_until([&] { return !glyph_in_cell(x, window, 12, 34); }, 5);
        XTestFakeMotionEvent(x, 0, 300, 100, CurrentTime);
        button(x, 2, true);
        const auto clicked = clock_type::now();
        button(x, 2, false);
        record(paste, ms_until(clicked, [&] { return glyph_in_cell(x, window, 12 + (34 + 254) / 80, (34 + 254) % 80); }));
        window_send_delete(x, window);
        program_wait(calculator, 10);
    }
    program_wait(owner, 0);
    std::remove("/tmp/measure_clipboard_text");

    std::printf("%-52s %10s %10s\n", "median (ms)", "measured", "baseline");
    std::printf("%-52s %10.1f %10.1f   (%zu, %zu rounds)\n", "copy: release to xclip -o | one xclip -o",
                median(copy), median(read_alone), copy.size(), read_alone.size());
    std::printf("%-52s %10.1f %10.1f   (%zu, %zu rounds)\n", "paste: 255 characters on screen | one typed key",
                median(paste), median(key), paste.size(), key.size());
    return 0;
}
