// How quickly a key press shows in the calculator's window, and what the
// calculator costs while it waits at its prompt: at zoom 1 and at a larger
// zoom (2 by default), beside xterm measured the same way, one after the
// other in the same 2560 x 1600 Xvfb. Presses keys with XTest and polls the
// window's pixels.
//
// For each run: median, 95th percentile and maximum from key press to
// changed pixels over the presses, and the process's CPU time per second of
// waiting; then all side by side with the ratios of the larger zoom to
// zoom 1 and of zoom 1 to xterm.
// Usage: measure_keys CALCULATOR [presses] [idle_seconds] [xterm] [zoom]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "tests/e2e/harness/harness.h"

namespace {

using clock_type = std::chrono::steady_clock;

// The pixels that a typed key changes and nothing else does.
struct watched_area {
    int x, y, width, height;
};

std::vector<unsigned long> area_pixels(Display* display, Window window, const watched_area& area) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(display, window, area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

// CPU time (user + system) of a process in seconds.
double cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    // Fields from the state on: utime and stime are the 12th and 13th.
    if (fields.size() < 13) return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

struct key_figures {
    bool measured = false;
    std::size_t seen = 0;
    double median = 0, p95 = 0, max = 0;   // ms
    double cpu_percent = 0;                // of one core while waiting
};

// Types a digit and a Backspace in turn into the focused window and times
// each until the watched pixels change; then measures CPU while it waits.
key_figures measure(Display* display, Window window, pid_t pid, const watched_area& area, int presses,
                    double idle_seconds) {
    key_figures figures;
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        const std::vector<unsigned long> before = area_pixels(display, window, area);
        const auto pressed = clock_type::now();
        tap_key(display, i % 2 == 0 ? XK_5 : XK_BackSpace);
        bool changed = false;
        while (clock_type::now() - pressed < std::chrono::seconds(1)) {
            if (area_pixels(display, window, area) != before) {
                changed = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (changed) latencies.push_back(std::chrono::duration<double, std::milli>(clock_type::now() - pressed).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(37 + (i * 13) % 41));   // no lock-step with any pace
    }

    const double cpu_before = cpu_seconds(pid);
    const auto idle_start = clock_type::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idle_seconds));
    const double idle_cpu = cpu_seconds(pid) - cpu_before;
    const double idle_wall = std::chrono::duration<double>(clock_type::now() - idle_start).count();

    figures.seen = latencies.size();
    figures.cpu_percent = 100.0 * idle_cpu / idle_wall;
    if (latencies.empty()) return figures;
    figures.measured = true;
    figures.median = percentile(latencies, 0.5);
    figures.p95 = percentile(latencies, 0.95);
    figures.max = percentile(latencies, 1.0);
    return figures;
}

void print_figures(const char* name, const key_figures& f, int presses) {
    std::printf("%s: %zu of %d presses seen, key press to changed pixels median %.2f ms, 95th percentile %.2f ms, "
                "max %.2f ms; CPU while waiting %.2f %% of one core\n",
                name, f.seen, presses, f.median, f.p95, f.max, f.cpu_percent);
}

std::string ratio(double a, double b) {
    if (b <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", a / b);
    return text;
}

// The calculator at a zoom: the first typed character lands on row 13,
// column 35; the upper 12 pixel rows of that cell hold the glyph and not the
// blinking cursor.
key_figures measure_calculator(x_server& server, const char* calculator, int zoom, int presses, double idle_seconds) {
    running_program program = program_start(
        calculator, {}, {"DISPLAY=" + server.display, "SPEKTRALRECHNER_ZOOM=" + std::to_string(zoom)});
    const Window window = window_find(server.connection, "Untitled", 10);
    if (!window) {
        std::fprintf(stderr, "the calculator's window did not appear\n");
        program_wait(program, 0);
        return {};
    }
    window_move_to_origin_and_focus(server.connection, window);
    std::this_thread::sleep_for(std::chrono::seconds(1));   // heading, note and prompt are up
    const watched_area cell{34 * 8 * zoom, 12 * 16 * zoom, 8 * zoom, 12 * zoom};
    const key_figures figures = measure(server.connection, window, program.pid, cell, presses, idle_seconds);
    window_send_delete(server.connection, window);
    program_wait(program, 5);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CALCULATOR [presses] [idle_seconds] [xterm] [zoom]\n", argv[0]);
        return 2;
    }
    const int presses = argc > 2 ? std::atoi(argv[2]) : 100;
    const double idle_seconds = argc > 3 ? std::atof(argv[3]) : 10;
    const std::string xterm = argc > 4 ? argv[4] : "/usr/bin/xterm";
    const int zoom = argc > 5 ? std::atoi(argv[5]) : 2;

    x_server server;
    std::string why;
    if (!x_server_start(server, why, {}, "2560x1600x24")) {
        std::fprintf(stderr, "no X server: %s\n", why.c_str());
        return 1;
    }
    Display* display = server.connection;
    const key_figures ours = measure_calculator(server, argv[1], 1, presses, idle_seconds);
    const key_figures zoomed = measure_calculator(server, argv[1], zoom, presses, idle_seconds);

    // xterm running cat: the terminal echoes a digit and erases it on
    // Backspace in its first text row (a steady cursor: nothing else moves).
    key_figures theirs;
    running_program terminal = program_start(
        xterm, {"-T", "measure-xterm", "-geometry", "80x25+0+0", "-e", "cat"}, {"DISPLAY=" + server.display});
    const Window terminal_window = window_find(display, "measure-xterm", 10);
    if (terminal_window) {
        window_move_to_origin_and_focus(display, terminal_window);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        theirs = measure(display, terminal_window, terminal.pid, {0, 0, 200, 20}, presses, idle_seconds);
    } else {
        std::fprintf(stderr, "xterm's window did not appear (%s)\n", xterm.c_str());
    }
    kill(terminal.pid, SIGTERM);
    program_wait(terminal, 5);

    if (!ours.measured || !zoomed.measured) {
        std::fprintf(stderr, "no key press changed the calculator's window\n");
        return 1;
    }
    const std::string zoomed_name = "calculator " + std::to_string(zoom) + "x";
    print_figures("calculator 1x", ours, presses);
    print_figures(zoomed_name.c_str(), zoomed, presses);
    if (theirs.measured) print_figures("xterm", theirs, presses);
    const std::string zoom_ratio = std::to_string(zoom) + "x / 1x";
    std::printf("\n%-32s %13s %13s %13s %8s %11s\n", "", "calculator 1x", zoomed_name.c_str(), "xterm",
                zoom_ratio.c_str(), "1x / xterm");
    const struct { const char* name; double key_figures::*field; const char* unit; } rows[] = {
        {"key to pixels, median", &key_figures::median, "ms"},
        {"key to pixels, 95th percentile", &key_figures::p95, "ms"},
        {"key to pixels, max", &key_figures::max, "ms"},
        {"CPU waiting at the prompt", &key_figures::cpu_percent, "%"},
    };
    for (const auto& row : rows)
        std::printf("%-32s %10.2f %-2s %10.2f %-2s %10.2f %-2s %8s %11s\n", row.name, ours.*row.field, row.unit,
                    zoomed.*row.field, row.unit, theirs.*row.field, row.unit,
                    ratio(zoomed.*row.field, ours.*row.field).c_str(), ratio(ours.*row.field, theirs.*row.field).c_str());
    return 0;
}
