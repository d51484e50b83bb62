#include "runtime/errors/errors.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/core/program_end.h"
#include "runtime/errors/tinyfiledialogs.h"

std::atomic<std::int32_t> pending_error{0};
std::atomic<std::int32_t> pending_event{0};
std::int32_t (*terminal_message_box)(const char*, const char*, const char*) = nullptr;

namespace {

struct critical_error {
    const char* title;
    const char* message;
};

// Errors after which the run-time cannot go on: box, then the end with status 0.
bool find_critical_error(std::int32_t n, critical_error& found) {
    static const char* const numbered_titles[] = {
        "Critical Error #1",  "Critical Error #2",  "Critical Error #3",  "Critical Error #4",
        "Critical Error #5",  "Critical Error #6",  "Critical Error #7",  "Critical Error #8",
        "Critical Error #9",  "Critical Error #10", "Critical Error #11", "Critical Error #12",
        "Critical Error #13", "Critical Error #14", "Critical Error #15", "Critical Error #16",
        "Critical Error #17", "Critical Error #18",
    };
    if (n == 257) {
        found = {numbered_titles[0], "Out of memory"};
        return true;
    }
    if (n >= 502 && n <= 518) {
        found = {numbered_titles[n - 501], "Out of memory"};
        return true;
    }
    switch (n) {
        case 11: found = {"Critical Error", "Division by zero"}; return true;
        case 256: found = {"Critical Error", "Out of stack space"}; return true;
        case 259: found = {"Critical Error", "Cannot find dynamic library file"}; return true;
        case 260:
        case 261: found = {"Critical Error", "Sub/Function does not exist in dynamic library"}; return true;
        case 270: found = {"Critical Error", "_GL command called outside of SUB _GL's scope"}; return true;
        case 271: found = {"Critical Error", "END/SYSTEM called within SUB _GL's scope"}; return true;
        default: return false;
    }
}

// Every box goes through here: the desktop's box, or in the terminal
// edition the box by its own rule (which falls back to the terminal).
std::int32_t message_box(const char* title, const char* message, const char* dialog_type) {
    if (terminal_message_box) return terminal_message_box(title, message, dialog_type);
    return tinyfd_messageBox(title, message, dialog_type, "error", 1);
}

}  // namespace

void raise_error(std::int32_t n) {
    critical_error critical;
    if (find_critical_error(n, critical)) {
        error_box(critical.message, critical.title, "ok");
        runtime_exit(0);
    }
    if (n <= 0) n = 5;
    // The first error of a statement wins, also when threads race.
    std::int32_t none = 0;
    if (!pending_error.compare_exchange_strong(none, n)) return;
    pending_event.store(1);
}

std::int32_t error_box(const char* message, const char* title, const char* dialog_type) {
    return message_box(title, message, dialog_type);
}

std::int32_t alert_box(const char* format, ...) {
    if (!format) return 0;
    const std::size_t size = 2 * std::strlen(format) + 255;
    char* text = static_cast<char*>(std::malloc(size));
    if (!text) return 0;
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(text, size, format, arguments);  // cut to the buffer
    va_end(arguments);
    if (written < 0) {
        std::free(text);
        return 0;
    }
    message_box("Alert", text, "ok");
    std::free(text);
    return 1;
}
