// What a program costs while nobody uses it: CPU share and wake-ups a second
// (voluntary and involuntary context switches) per thread and in total, over
// a span of waiting, read from /proc/PID/task. Measured in one private Xvfb
// in one run for the calculator at its prompt (the cursor blinking) and at
// "Press any key to continue" (nothing blinking), then for xterm running cat
// and for a bare freeglut window, as the baselines. Also the time from a
// click on the close button to the calculator's exit, at each of the two.
// Usage: measure_idle CALCULATOR BARE_GLUT_WINDOW XTERM [seconds]   (default 30)
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/e2e/harness/harness.h"

namespace {

using clock_type = std::chrono::steady_clock;

struct thread_sample {
    std::string name;
    double cpu_seconds = 0;
    long long switches = 0;      // voluntary and involuntary
    long long preemptions = 0;   // involuntary only
};

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Run time in seconds: from schedstat (nanoseconds) where the kernel keeps
// it, else utime + stime from stat (clock ticks).
double thread_cpu_seconds(const std::string& task) {
    std::istringstream schedstat(read_file(task + "/schedstat"));
    double ns = -1;
    if (schedstat >> ns && ns >= 0) return ns / 1e9;
    const std::string stat = read_file(task + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i == 12) utime = std::stod(field);
        if (i == 13) stime = std::stod(field);
    }
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The context switches of a thread: all of them, and the involuntary ones.
std::pair<long long, long long> thread_switches(const std::string& task) {
    std::istringstream status(read_file(task + "/status"));
    long long voluntary = 0, involuntary = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) voluntary = std::stoll(line.substr(line.find(':') + 1));
        if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
            involuntary = std::stoll(line.substr(line.find(':') + 1));
    }
    return {voluntary + involuntary, involuntary};
}

std::map<int, thread_sample> sample(pid_t pid) {
    std::map<int, thread_sample> threads;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
        const std::string task = entry.path();
        const int tid = std::atoi(entry.path().filename().c_str());
        std::string name = read_file(task + "/comm");
        if (!name.empty() && name.back() == '\n') name.pop_back();
        const auto [switches, preemptions] = thread_switches(task);
        threads[tid] = {name, thread_cpu_seconds(task), switches, preemptions};
    }
    return threads;
}

// Measures the process over seconds and prints one row per thread (the main
// thread first, the others in the order they were started) and the total.
void measure(const char* title, pid_t pid, double seconds) {
    const std::map<int, thread_sample> before = sample(pid);
    const auto start = clock_type::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const std::map<int, thread_sample> after = sample(pid);
    const double wall = std::chrono::duration<double>(clock_type::now() - start).count();

    std::printf("\n%s (pid %d, %.1f s)\n%-8s %-22s %8s %12s %14s\n", title, pid, wall, "thread", "name", "CPU %",
                "wake-ups/s", "of them pre-");
    std::printf("%-8s %-22s %8s %12s %14s\n", "", "", "", "", "empted/s");
    double total_cpu = 0, total_switches = 0, total_preemptions = 0;
    for (const auto& [tid, now] : after) {
        const auto then = before.find(tid);
        const thread_sample start = then != before.end() ? then->second : thread_sample{};
        const double cpu = now.cpu_seconds - start.cpu_seconds;
        const auto switches = static_cast<double>(now.switches - start.switches);
        const auto preemptions = static_cast<double>(now.preemptions - start.preemptions);
        total_cpu += cpu;
        total_switches += switches;
        total_preemptions += preemptions;
        std::printf("%-8d %-22s %8.3f %12.1f %14.1f\n", tid, (tid == pid ? now.name + " (main)" : now.name).c_str(),
                    100 * cpu / wall, switches / wall, preemptions / wall);
    }
    std::printf("%-8s %-22s %8.3f %12.1f %14.1f\n", "total", "", 100 * total_cpu / wall, total_switches / wall,
                total_preemptions / wall);
    std::fflush(stdout);   // before the next program is forked with a copy of the buffer
}

bool row_shows(Display* display, Window window, int row, const std::string& text) {
    text_screen screen;
    return screen_shows(display, window, screen, [&](const text_screen& s) { return s.row_text(row) == text; }, 30);
}

const std::string prompt = " Eingabe der Wellenlaenge [nm]: ?";

// Starts the calculator and waits for its prompt; its window, 0 when it did not come.
Window calculator_at_prompt(x_server& server, const char* path, running_program& calculator) {
    calculator = program_start(path, {}, {"DISPLAY=" + server.display});
    const Window window = window_find(server.connection, "Untitled", 10);
    if (!window) return 0;
    window_move_to_origin_and_focus(server.connection, window);
    return row_shows(server.connection, window, 13, prompt) ? window : 0;
}

void close_and_time(const char* where, Display* display, Window window, running_program& calculator) {
    const auto clicked = clock_type::now();
    window_send_delete(display, window);
    const program_result result = program_wait(calculator, 5);
    std::printf("close button %s: exit status %d after %.1f ms\n", where, result.exit_status,
                std::chrono::duration<double, std::milli>(clock_type::now() - clicked).count());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s CALCULATOR BARE_GLUT_WINDOW XTERM [seconds]\n", argv[0]);
        return 2;
    }
    const double seconds = argc > 4 ? std::atof(argv[4]) : 30;
    x_server server;
    std::string why;
    if (!x_server_start(server, why)) {
        std::fprintf(stderr, "no X server: %s\n", why.c_str());
        return 1;
    }
    Display* display = server.connection;
    const std::vector<std::string> environment{"DISPLAY=" + server.display};

    running_program calculator;
    Window window = calculator_at_prompt(server, argv[1], calculator);
    if (!window) {
        std::fprintf(stderr, "the calculator's prompt did not appear\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    close_and_time("at the prompt", display, window, calculator);

    window = calculator_at_prompt(server, argv[1], calculator);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    measure("calculator at its prompt, the cursor blinking", calculator.pid, seconds);
    type_text(display, "500\n");
    if (!window || !row_shows(display, window, 25, "Press any key to continue")) {
        std::fprintf(stderr, "the calculator did not reach its end\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    measure("calculator at \"Press any key to continue\", nothing blinking", calculator.pid, seconds);
    close_and_time("at \"Press any key to continue\"", display, window, calculator);

    running_program terminal =
        program_start(argv[3], {"-T", "measure-xterm", "-geometry", "80x25+0+0", "-e", "cat"}, environment);
    if (const Window terminal_window = window_find(display, "measure-xterm", 10)) {
        window_move_to_origin_and_focus(display, terminal_window);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        measure("xterm running cat", terminal.pid, seconds);
    } else {
        std::fprintf(stderr, "xterm's window did not appear (%s)\n", argv[3]);
    }
    kill(terminal.pid, SIGTERM);
    program_wait(terminal, 5);

    running_program bare = program_start(argv[2], {}, environment);
    if (const Window bare_window = window_find(display, "Untitled", 10)) {
        window_move_to_origin_and_focus(display, bare_window);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        measure("bare freeglut window", bare.pid, seconds);
    }
    kill(bare.pid, SIGTERM);
    program_wait(bare, 5);
    if (FILE* load = std::fopen("/proc/loadavg", "r")) {   // the machine may be shared
        char text[64] = "";
        if (std::fgets(text, sizeof text, load)) std::printf("\nload average: %s", text);
        std::fclose(load);
    }
    return 0;
}
