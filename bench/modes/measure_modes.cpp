// The speed of --table and --plot beside their baselines, in one run:
// - the whole 0.01-nm grid (360.00 to 703.99 and -493.80 to -569.60) as two
//   tables, beside the terminal edition answering the same entries one run
//   each (a sample of them, each timed from spawn to exit; the median scaled
//   to the grid);
// - --plot of ten entries to PNG, beside a short matplotlib script drawing
//   the same diagram (in turn, so that both see the same load), and the time
//   cairo takes to compress that PNG alone, the floor of any cairo PNG.
// Prints medians. Usage: measure_modes CONSOLE PYTHON MATPLOTLIB_SCRIPT LOCUS_CSV [runs] [sample]
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using clock_type = std::chrono::steady_clock;

// Seconds from spawn to exit; input on a pipe, output to output_path.
double timed(const std::vector<std::string>& arguments, const std::string& input = "",
             const char* output_path = "/dev/null") {
    int in[2];
    if (pipe(in) != 0 || write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) std::exit(2);
    close(in[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_addclose(&actions, in[0]);
    posix_spawn_file_actions_addopen(&actions, 1, output_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const auto start = clock_type::now();
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::exit(2);
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(clock_type::now() - start).count();
    close(in[0]);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

cairo_status_t discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s CONSOLE PYTHON MATPLOTLIB_SCRIPT LOCUS_CSV [runs] [sample]\n", argv[0]);
        return 2;
    }
    const std::string console = argv[1], python = argv[2], script = argv[3], locus = argv[4];
    const int runs = argc > 5 ? std::atoi(argv[5]) : 5, sample = argc > 6 ? std::atoi(argv[6]) : 300;
    unsetenv("DISPLAY");

    std::vector<std::string> grid;
    char text[16];
    for (int i = 36000; i <= 70399; ++i) std::snprintf(text, sizeof text, "%d.%02d", i / 100, i % 100), grid.push_back(text);
    for (int i = 49380; i <= 56960; ++i) std::snprintf(text, sizeof text, "-%d.%02d", i / 100, i % 100), grid.push_back(text);
    std::vector<double> tables, each;
    for (int run = 0; run < runs; ++run) {
        tables.push_back(timed({console, "--table", "360", "703.99", "0.01"}) +
                         timed({console, "--table", "-493.8", "-569.6", "0.01"}));
        for (int i = run; i < sample; i += runs) each.push_back(timed({console}, grid[i * grid.size() / sample] + "\n"));
    }
    const double one_each = median(each) * grid.size();
    std::printf("the 0.01-nm grid, %zu entries:\n", grid.size());
    std::printf("  --table (two ranges), median of %d:      %8.3f s\n", runs, median(tables));
    std::printf("  one run each, median of %zu runs x %zu: %8.3f s (%.2f ms a run)\n", each.size(), grid.size(),
                one_each, 1000 * median(each));
    std::printf("  table / one run each:                   1/%.0f\n", one_each / median(tables));

    const std::vector<std::string> entries = {"555.5", "-500", "450", "380", "-520", "600", "470", "505", "650", "-560"};
    std::string lines;
    for (const std::string& e : entries) lines += e + "\n";
    const std::string folder = "/tmp/measure_modes." + std::to_string(getpid());
    mkdir(folder.c_str(), 0700);
    const std::string table = folder + "/entries.csv", ours = folder + "/ours.png", theirs = folder + "/matplotlib.png";
    timed({console, "--table"}, lines, table.c_str());
    std::vector<std::string> plot = {console, "--plot", ours};
    plot.insert(plot.end(), entries.begin(), entries.end());
    std::vector<double> own, baseline, floor;
    for (int run = 0; run < runs; ++run) {
        own.push_back(timed(plot));
        baseline.push_back(timed({python, script, theirs, table, locus}));
    }
    cairo_surface_t* picture = cairo_image_surface_create_from_png(ours.c_str());
    for (int run = 0; run < runs; ++run) {
        const auto start = clock_type::now();
        cairo_surface_write_to_png_stream(picture, discard, nullptr);
        floor.push_back(std::chrono::duration<double>(clock_type::now() - start).count());
    }
    cairo_surface_destroy(picture);
    std::printf("--plot of ten entries to PNG, median of %d:\n", runs);
    std::printf("  spektralrechner-console --plot: %6.1f ms\n", 1000 * median(own));
    std::printf("  matplotlib script:              %6.1f ms\n", 1000 * median(baseline));
    std::printf("  --plot / matplotlib:            1/%.1f\n", median(baseline) / median(own));
    std::printf("  PNG compression alone (cairo, the same picture): %.1f ms\n", 1000 * median(floor));
    for (const std::string& f : {table, ours, theirs}) unlink(f.c_str());
    rmdir(folder.c_str());
    if (FILE* load = std::fopen("/proc/loadavg", "r")) {
        if (std::fgets(text, sizeof text, load)) std::printf("load average: %s\n", text);
        std::fclose(load);
    }
}
