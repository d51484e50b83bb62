// How quickly a key press shows in the calculator's window, and what the
// calculator costs while it waits at its prompt. Runs the real calculator in
// a private Xvfb, presses keys with XTest and polls the window's pixels.
//
// Prints the median and 95th percentile from key press to changed pixels
// over the presses, and the process's CPU time per second of waiting.
// Usage: measure_keys CALCULATOR [presses] [idle_seconds]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "tests/e2e/harness/key_typing.h"
#include "tests/e2e/harness/program_run.h"
#include "tests/e2e/harness/window_access.h"
#include "tests/e2e/harness/x_server.h"

namespace {

using clock_type = std::chrono::steady_clock;

// The upper 12 pixel rows of a text cell: where a glyph is drawn and the
// blinking cursor (in the rows below) is not.
std::vector<unsigned long> glyph_pixels(Display* display, Window window, int row, int column) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(display, window, (column - 1) * 8, (row - 1) * 16, 8, 12, AllPlanes, ZPixmap);
    if (!image) return pixels;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x) pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

// CPU time (user + system) of a process in seconds.
double cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    std::vector<std::string> fields;
    while (stat >> field) fields.push_back(field);
    if (fields.size() < 15) return 0;
    return (std::stod(fields[13]) + std::stod(fields[14])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CALCULATOR [presses] [idle_seconds]\n", argv[0]);
        return 2;
    }
    const int presses = argc > 2 ? std::atoi(argv[2]) : 60;
    const double idle_seconds = argc > 3 ? std::atof(argv[3]) : 10;

    x_server server;
    std::string why;
    if (!x_server_start(server, why)) {
        std::fprintf(stderr, "no X server: %s\n", why.c_str());
        return 1;
    }
    running_program calculator = program_start(argv[1], {}, {"DISPLAY=" + server.display});
    Display* display = server.connection;
    const Window window = window_find(display, "Untitled", 10);
    if (!window) {
        std::fprintf(stderr, "the calculator's window did not appear\n");
        return 1;
    }
    window_move_to_origin_and_focus(display, window);
    std::this_thread::sleep_for(std::chrono::seconds(1));   // heading, note and prompt are up

    // The first typed character lands on row 13, column 35; a digit and a
    // Backspace in turn change that cell each time.
    const int row = 13, column = 35;
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        const std::vector<unsigned long> before = glyph_pixels(display, window, row, column);
        const auto pressed = clock_type::now();
        tap_key(display, i % 2 == 0 ? XK_5 : XK_BackSpace);
        bool changed = false;
        while (clock_type::now() - pressed < std::chrono::seconds(1)) {
            if (glyph_pixels(display, window, row, column) != before) {
                changed = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (changed) latencies.push_back(std::chrono::duration<double, std::milli>(clock_type::now() - pressed).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(37 + (i * 13) % 41));   // no lock-step with the frame pace
    }

    // Waiting at the prompt.
    const double cpu_before = cpu_seconds(calculator.pid);
    const auto idle_start = clock_type::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idle_seconds));
    const double idle_cpu = cpu_seconds(calculator.pid) - cpu_before;
    const double idle_wall = std::chrono::duration<double>(clock_type::now() - idle_start).count();

    window_send_delete(display, window);
    program_wait(calculator, 5);

    if (latencies.empty()) {
        std::fprintf(stderr, "no key press changed the window\n");
        return 1;
    }
    std::printf("key press to changed pixels: %zu of %d presses seen, median %.1f ms, 95th percentile %.1f ms, "
                "max %.1f ms\n",
                latencies.size(), presses, percentile(latencies, 0.5), percentile(latencies, 0.95),
                percentile(latencies, 1.0));
    std::printf("CPU while waiting in INPUT: %.2f %% of one core (%.2f s over %.1f s)\n",
                100.0 * idle_cpu / idle_wall, idle_cpu, idle_wall);
    return 0;
}
