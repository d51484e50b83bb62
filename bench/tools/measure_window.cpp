// Start-up and idle figures of a program on the run-time, in a private Xvfb:
//   - time from exec to the window being mapped (median of 10 runs), with
//     the same figure for a bare freeglut window as the baseline;
//   - CPU use over 10 s while the program sits idle, in % of one core;
//   - peak resident memory (VmHWM).
// Usage: measure_window PROGRAM BASELINE_PROGRAM
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/e2e/harness/harness.h"

namespace {

constexpr int runs = 10;

// Starts the program and returns the seconds from exec to the MapNotify of
// its window; the program is left running. -1 when no window appears.
double seconds_to_mapped(x_server& server, const std::string& path, running_program& program) {
    Display* display = server.connection;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    program = program_start(path, {}, {"DISPLAY=" + server.display});
    const auto deadline = program.started + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify)
                return std::chrono::duration<double>(std::chrono::steady_clock::now() - program.started).count();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return -1;
}

void close_program(x_server& server, running_program& program) {
    const Window window = window_find(server.connection, "Untitled", 5);
    if (window) window_send_delete(server.connection, window);
    program_wait(program, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));   // the server forgets the client
}

double median_seconds_to_mapped(x_server& server, const std::string& path) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        running_program program;
        const double seconds = seconds_to_mapped(server, path, program);
        close_program(server, program);
        if (seconds < 0) return -1;
        times.push_back(seconds);
    }
    std::sort(times.begin(), times.end());
    return (times[runs / 2 - 1] + times[runs / 2]) / 2;
}

// utime + stime of a process, in clock ticks.
long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14) utime = std::stol(field);
        if (n == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

long peak_resident_kib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct idle_figures {
    double cpu_percent = -1;   // of one core, over 10 s after 1 s of settling
    double peak_megabytes = -1;
};

idle_figures measure_idle(x_server& server, const std::string& path) {
    idle_figures figures;
    running_program program;
    if (seconds_to_mapped(server, path, program) < 0) return figures;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long before = cpu_ticks(program.pid);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const long used = cpu_ticks(program.pid) - before;
    figures.cpu_percent = 100.0 * static_cast<double>(used) / static_cast<double>(sysconf(_SC_CLK_TCK)) / 10;
    figures.peak_megabytes = static_cast<double>(peak_resident_kib(program.pid)) / 1024;
    close_program(server, program);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM BASELINE_PROGRAM\n", argv[0]);
        return 2;
    }
    x_server server;
    std::string why;
    if (!x_server_start(server, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }

    const double baseline = median_seconds_to_mapped(server, argv[2]);
    const double mapped = median_seconds_to_mapped(server, argv[1]);
    std::printf("exec to window mapped, median of %d: %.1f ms (bare freeglut window: %.1f ms, ratio %.2f)\n", runs,
                mapped * 1000, baseline * 1000, mapped / baseline);

    const idle_figures idle = measure_idle(server, argv[1]);
    const idle_figures bare = measure_idle(server, argv[2]);
    std::printf("idle CPU over 10 s: %.2f%% of one core (bare freeglut window: %.2f%%)\n", idle.cpu_percent,
                bare.cpu_percent);
    std::printf("peak resident memory: %.1f MB (bare freeglut window: %.1f MB, ratio %.2f)\n", idle.peak_megabytes,
                bare.peak_megabytes, idle.peak_megabytes / bare.peak_megabytes);
    return 0;
}
