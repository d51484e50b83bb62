// Measures what presentation costs the window thread: its processor time
// while the screen stands still, and while every render pass brings a new
// frame (a counter printed on every row). Prints one line of figures.
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "runtime/core/process_state.h"
#include "runtime/core/sleep.h"
#include "runtime/events/event_check.h"
#include "runtime/process/runtime_main.h"
#include "runtime/process/startup.h"
#include "runtime/screen/print.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"
#include "runtime/window/presentation.h"

namespace {

// Processor time of the window thread (the main thread) in seconds.
double window_thread_seconds() {
    std::ifstream stat("/proc/self/task/" + std::to_string(getpid()) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::size_t field_start = text.rfind(')') + 2;   // fields after the command name, from field 3
    unsigned long long user = 0, system = 0;
    std::sscanf(text.c_str() + field_start, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system);
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct sample {
    double cpu, wall;
    long long presentations, new_frames;
};

sample take_sample() {
    return {window_thread_seconds(), static_cast<double>(clock_ms()) / 1000.0, presentations.load(),
            new_frames_presented.load()};
}

void print_counter(long long n) {
    char line[96];
    const std::uint32_t mark = temp_mark();
    for (int row = 1; row <= 24; ++row) {
        std::snprintf(line, sizeof line, "Zeile %2d: %lld", row, n * 24 + row);
        locate(row, 1, 0, 0, 0, 3);
        print_string(str_from_cstring(line), 0);
    }
    temp_cleanup(mark, 0);
}

void run_for(double seconds, bool animate) {
    const std::int64_t end = clock_ms() + static_cast<std::int64_t>(seconds * 1000);
    for (long long n = 0; clock_ms() < end; ++n) {
        if (animate) print_counter(n);
        sleep_ms(5);
        statement_done(1);
    }
}

}  // namespace

void program_main() {
    print_counter(0);
    run_for(1, false);   // settle
    const sample idle_start = take_sample();
    run_for(4, false);
    const sample idle_end = take_sample();
    run_for(4, true);
    const sample busy_end = take_sample();

    const double idle_cpu = idle_end.cpu - idle_start.cpu, idle_wall = idle_end.wall - idle_start.wall;
    const double busy_cpu = busy_end.cpu - idle_end.cpu, busy_wall = busy_end.wall - idle_end.wall;
    const long long idle_presentations = idle_end.presentations - idle_start.presentations;
    const long long busy_frames = busy_end.new_frames - idle_end.new_frames;
    const double idle_per_second = idle_cpu / idle_wall;
    std::printf("idle: %.1f ms window-thread CPU per second, %lld presentations in %.1f s\n",
                idle_per_second * 1000, idle_presentations, idle_wall);
    std::printf("new frames: %lld in %.1f s, %.1f ms window-thread CPU per second, %.0f us per new frame "
                "(%.0f us above the idle cost)\n",
                busy_frames, busy_wall, busy_cpu / busy_wall * 1000, busy_cpu / busy_frames * 1e6,
                (busy_cpu - idle_per_second * busy_wall) / busy_frames * 1e6);
    std::fflush(stdout);
}

int main(int argc, char** argv) { return runtime_main(argc, argv, program_main); }
