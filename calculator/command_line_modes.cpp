#include "calculator/command_line_modes.h"

#include <cstdio>
#include <cstring>

#include "calculator/entry_lines.h"
#include "calculator/plot_mode.h"
#include "calculator/table_mode.h"
#include "runtime/errors/errors.h"

bool entries_from_input(const char* program, std::vector<std::string>& entries) {
    std::string problem;
    if (read_entry_lines(entries, problem)) return true;
    std::fprintf(stderr, "%s: standard input: %s\n", program, problem.c_str());
    return false;
}

void report_entry_error(const char* program, const std::string& entry, const entry_answer& answer) {
    std::fprintf(stderr, "%s: entry %s: %s (error %d in line %u)\n", program, csv_field(entry).c_str(),
                 error_message(static_cast<std::uint32_t>(answer.error)), answer.error, answer.error_line);
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

// The first option beginning with "--" decides; a lone "--" ends the options.
int program_command_line_mode(int argc, char** argv) {
    const char* path = argc > 0 && argv[0] ? argv[0] : "spektralrechner";
    const char* program = std::strrchr(path, '/') ? std::strrchr(path, '/') + 1 : path;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0) continue;
        if (std::strcmp(argv[i], "--table") == 0) return table_mode(program, argc - i - 1, argv + i + 1);
        if (std::strcmp(argv[i], "--plot") == 0) return plot_mode(program, argc - i - 1, argv + i + 1);
        return -1;
    }
    return -1;
}
