#include "runtime/process/command_line_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/window/window_zoom.h"

namespace {

const char* program_name(char** argv) {
    const char* path = argv && argv[0] ? argv[0] : "spektralrechner";
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// Each option's action returns the exit status, or -1 for start-up to go on.
int print_usage(const char*) {
    std::printf(
        "Usage: spektralrechner [-display NAME]\n"
        "       spektralrechner-console\n"
        "       spektralrechner --table [FROM TO STEP]\n"
        "       spektralrechner --plot FILE [ENTRY...]\n"
        "       spektralrechner --help | --version\n"
        "\n"
        "Prints the CIE 1931 chromaticity x, y of a spectral colour for a wavelength\n"
        "typed in nanometres, or of a purple colour for its complementary wavelength\n"
        "typed with a minus sign. The dialogue is in German.\n"
        "\n"
        "  spektralrechner          the window edition, on the X display\n"
        "  spektralrechner-console  the terminal edition, in a terminal or a pipe\n"
        "\n"
        "Without a window or a display, in either edition:\n"
        "  --table FROM TO STEP    CSV of entry, wavelength, x, y and purple point for\n"
        "                          FROM, FROM +- STEP, ... up to and including TO\n"
        "  --table                 the same for the entries on standard input, one a line\n"
        "  --plot FILE [ENTRY...]  the CIE 1931 chromaticity diagram with the entries'\n"
        "                          points (none given: standard input's lines) into FILE,\n"
        "                          as SVG, PNG or PDF by its extension\n"
        "\n"
        "  -display NAME  the X display (default: DISPLAY)\n"
        "  --help         show this help and end\n"
        "  --version      show the name and version and end\n"
        "\n"
        "Environment:\n"
        "  %s  the window's zoom, a whole number from 1 to %d;\n"
        "                        without it the desktop's Xft.dpi / 96 (192 dpi: 2),\n"
        "                        lowered until the window fits its monitor\n"
        "\n"
        "Manual page: man spektralrechner\n",
        zoom_variable, largest_zoom);
    return 0;
}

int print_version(const char*) {
    std::printf("spektralrechner %s\n", PROGRAM_VERSION);
    return 0;
}

struct command_line_option {
    const char* name;
    int (*action)(const char* program);
};

constexpr command_line_option options[] = {
    {"--help", print_usage},
    {"--version", print_version},
};

}  // namespace

void command_line_options_handle(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!argument || std::strncmp(argument, "--", 2) != 0) continue;
        if (argument[2] == '\0') return;   // "--": the options end here
        const command_line_option* option = nullptr;
        for (const command_line_option& known : options)
            if (std::strcmp(argument, known.name) == 0) option = &known;
        if (!option) {
            std::fprintf(stderr, "%s: unknown option %s (try --help)\n", program_name(argv), argument);
            std::exit(2);
        }
        const int status = option->action(program_name(argv));
        if (status < 0) continue;
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "%s: cannot write to standard output\n", program_name(argv));
            std::exit(1);
        }
        std::exit(status);
    }
}
