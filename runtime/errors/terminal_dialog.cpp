#include "runtime/errors/terminal_dialog.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "runtime/core/startup.h"
#include "runtime/input/console_stdin.h"

namespace {

bool variable_set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// One line of standard input in lower case, without its blanks; false
// at the end of input.
bool read_answer(std::string& answer) {
    answer.clear();
    int c;
    while ((c = console_read_byte()) >= 0 && c != '\n')
        if (!std::isspace(c)) answer += static_cast<char>(std::tolower(c));
    return c >= 0 || !answer.empty();
}

}  // namespace

bool message_boxes_without_display() {
    return console_option && !variable_set("DISPLAY") && !variable_set("WAYLAND_DISPLAY");
}

std::int32_t terminal_message_box(const char* title, const char* message, const char* dialog_type) {
    std::fflush(stdout);   // what the program printed comes first
    const bool question = dialog_type && std::strcmp(dialog_type, "yesno") == 0;
    if (!isatty(STDIN_FILENO) || !isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "%s\n%s\n", title ? title : "", message ? message : "");
        std::fflush(stderr);
        return 0;
    }
    std::fprintf(stderr, "%s\n%s%s", title ? title : "", message ? message : "", question ? " [y/n] " : "\n");
    if (!question) return 1;
    const char* text = message ? message : "";
    const char* last_line = std::strrchr(text, '\n');
    last_line = last_line ? last_line + 1 : text;
    for (std::string answer;;) {
        std::fflush(stderr);
        if (!read_answer(answer)) {
            std::fputc('\n', stderr);   // the end of input is No
            return 0;
        }
        if (answer == "y" || answer == "yes") return 1;
        if (answer == "n" || answer == "no") return 0;
        std::fprintf(stderr, "%s [y/n] ", last_line);
    }
}
