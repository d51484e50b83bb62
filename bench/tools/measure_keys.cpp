// How quickly a key press shows in the calculator's window, and what the
// calculator costs while it waits at its prompt: at zoom 1 and at a larger
// zoom (2 by default), side by side with their presses taking turns, and
// then xterm measured the same way, in the same 2560 x 1600 Xvfb. Presses
// keys with XTest and polls the window's pixels.
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

// A window whose key presses are timed: the pixels a typed key changes,
// and the process whose CPU time counts.
struct key_target {
    Window window;
    pid_t pid;
    watched_area area;
};

// Types a digit and a Backspace in turn into each target, taking turns
// press by press (so that a change in the machine's load falls on all of
// them alike), and times each press until the target's watched pixels
// change; then measures the CPU of all while they wait.
std::vector<key_figures> measure(Display* display, const std::vector<key_target>& targets, int presses,
                                 double idle_seconds) {
    std::vector<std::vector<double>> latencies(targets.size());
    for (int i = 0; i < presses; ++i) {
        for (std::size_t t = 0; t < targets.size(); ++t) {
            const key_target& target = targets[t];
            XSetInputFocus(display, target.window, RevertToParent, CurrentTime);
            XSync(display, False);
            const std::vector<unsigned long> before = area_pixels(display, target.window, target.area);
            const auto pressed = clock_type::now();
            tap_key(display, i % 2 == 0 ? XK_5 : XK_BackSpace);
            while (clock_type::now() - pressed < std::chrono::seconds(1)) {
                if (area_pixels(display, target.window, target.area) != before) {
                    const auto elapsed = clock_type::now() - pressed;
                    latencies[t].push_back(std::chrono::duration<double, std::milli>(elapsed).count());
                    break;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(37 + (i * 13) % 41));   // no lock-step with any pace
        }
    }

    std::vector<double> cpu_before;
    for (const key_target& target : targets) cpu_before.push_back(cpu_seconds(target.pid));
    const auto idle_start = clock_type::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idle_seconds));
    const double idle_wall = std::chrono::duration<double>(clock_type::now() - idle_start).count();

    std::vector<key_figures> all(targets.size());
    for (std::size_t t = 0; t < targets.size(); ++t) {
        key_figures& figures = all[t];
        figures.seen = latencies[t].size();
        figures.cpu_percent = 100.0 * (cpu_seconds(targets[t].pid) - cpu_before[t]) / idle_wall;
        if (latencies[t].empty()) continue;
        figures.measured = true;
        figures.median = percentile(latencies[t], 0.5);
        figures.p95 = percentile(latencies[t], 0.95);
        figures.max = percentile(latencies[t], 1.0);
    }
    return all;
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

// The calculator at a zoom, its window placed at (x, 0) and renamed so
// that the next one can be told apart: the first typed character lands on
// row 13, column 35; the upper 12 pixel rows of that cell hold the glyph and
// not the blinking cursor. Window 0 when it did not appear.
key_target start_calculator(x_server& server, const char* calculator, int zoom, int x, running_program& program) {
    program = program_start(calculator, {},
                            {"DISPLAY=" + server.display, "SPEKTRALRECHNER_ZOOM=" + std::to_string(zoom)});
    const Window window = window_find(server.connection, "Untitled", 10);
    if (!window) return {0, program.pid, {}};
    XStoreName(server.connection, window, ("measure-" + std::to_string(zoom) + "x").c_str());
    XMoveWindow(server.connection, window, x, 0);
    XSync(server.connection, False);
    return {window, program.pid, {34 * 8 * zoom, 12 * 16 * zoom, 8 * zoom, 12 * zoom}};
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
    // Both calculators side by side, their presses taking turns.
    running_program plain, enlarged;
    const key_target plain_target = start_calculator(server, argv[1], 1, 0, plain);
    const key_target enlarged_target = start_calculator(server, argv[1], zoom, 700, enlarged);
    key_figures ours, zoomed;
    if (plain_target.window && enlarged_target.window) {
        text_screen screen;   // heading, note and prompt are up in both, in whole pictures
        for (const key_target& target : {plain_target, enlarged_target})
            screen_shows(display, target.window, screen, [](const text_screen& s) {
                return s.row_text(13) == " Eingabe der Wellenlaenge [nm]: ?";
            }, 30);
        const std::vector<key_figures> figures =
            measure(display, {plain_target, enlarged_target}, presses, idle_seconds);
        ours = figures[0];
        zoomed = figures[1];
    } else {
        std::fprintf(stderr, "a calculator's window did not appear\n");
    }
    for (const key_target& target : {plain_target, enlarged_target})
        if (target.window) window_send_delete(display, target.window);
    program_wait(plain, 5);
    program_wait(enlarged, 5);

    // xterm running cat: the terminal echoes a digit and erases it on
    // Backspace in its first text row (a steady cursor: nothing else moves).
    key_figures theirs;
    running_program terminal = program_start(
        xterm, {"-T", "measure-xterm", "-geometry", "80x25+0+0", "-e", "cat"}, {"DISPLAY=" + server.display});
    const Window terminal_window = window_find(display, "measure-xterm", 10);
    if (terminal_window) {
        window_move_to_origin_and_focus(display, terminal_window);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        theirs = measure(display, {{terminal_window, terminal.pid, {0, 0, 200, 20}}}, presses, idle_seconds)[0];
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
                    ratio(zoomed.*row.field, ours.*row.field).c_str(),
                    ratio(ours.*row.field, theirs.*row.field).c_str());
    return 0;
}
