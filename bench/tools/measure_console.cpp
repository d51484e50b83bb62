// Measures the terminal edition as a script uses it: `printf '500\n' |
// spektralrechner-console`, from the start of the process to its exit,
// beside a minimal C++ program that reads the line with std::getline and
// writes it with std::cout, and /bin/true, started the same way in the same
// run (in turn, so that all see the same load). Prints the medians of `runs`
// runs and the ratio to the minimal program, then entries per second over a
// loop of `loop` runs of each.
// Usage: measure_console PROGRAM LINE_ECHO [runs] [loop]   (default 100 and 1000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using clock_type = std::chrono::steady_clock;

// One run with "500\n" on a pipe to its standard input and its standard
// output on a pipe; the seconds from spawn to exit. Exits the tool when the
// run fails or the answer is not there.
double run_once(const char* program, bool check_answer) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::exit(2);
    if (write(in[1], "500\n", 4) != 4) std::exit(2);
    close(in[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[0]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid;
    const auto start = clock_type::now();
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0) std::exit(2);
    close(in[0]);
    close(out[1]);
    std::string output;   // the whole output fits in the pipe: read it after the exit
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(clock_type::now() - start).count();
    char buffer[65536];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(out[0]);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        (check_answer && output.find("x=  .008168") == std::string::npos)) {
        std::fprintf(stderr, "%s: the run failed (status %d)\n%s", program, status, output.c_str());
        std::exit(1);
    }
    return seconds;
}

double median_ms(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return 1000 * seconds[seconds.size() / 2];
}

double loop_seconds(const char* program, int runs, bool check_answer) {
    const auto start = clock_type::now();
    for (int i = 0; i < runs; ++i) run_once(program, check_answer);
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM LINE_ECHO [runs] [loop]\n", argv[0]);
        return 2;
    }
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const char* program = argv[1];
    const char* line_echo = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 100;
    const int loop = argc > 4 ? std::atoi(argv[4]) : 1000;
    std::vector<double> own, echo, baseline;
    for (int i = 0; i < runs; ++i) {
        own.push_back(run_once(program, true));
        echo.push_back(run_once(line_echo, false));
        baseline.push_back(run_once("/bin/true", false));
    }
    std::printf("exec to exit, median of %d runs:  console %.2f ms   getline/cout %.2f ms   /bin/true %.2f ms\n",
                runs, median_ms(own), median_ms(echo), median_ms(baseline));
    std::printf("console against getline/cout: %.2f x\n", median_ms(own) / median_ms(echo));
    const double own_loop = loop_seconds(program, loop, true);
    const double echo_loop = loop_seconds(line_echo, loop, false);
    const double baseline_loop = loop_seconds("/bin/true", loop, false);
    std::printf("a loop of %d runs:  console %.0f entries/s (%.2f ms a run)   getline/cout %.0f runs/s   "
                "/bin/true %.0f runs/s\n",
                loop, loop / own_loop, 1000 * own_loop / loop, loop / echo_loop, loop / baseline_loop);
    // The machine is shared: its load says how much the figures may be off.
    if (FILE* load = std::fopen("/proc/loadavg", "r")) {
        char text[64] = "";
        if (std::fgets(text, sizeof text, load)) std::printf("load average: %s", text);
        std::fclose(load);
    }
}
