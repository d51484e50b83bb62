// The "Continue?" dialogue for an error that reached the event check.
#include "runtime/events/unhandled_error_dialog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"
#include "runtime/events/event_check.h"
#include "runtime/strings/str_desc.h"

str_desc* program_name = nullptr;

namespace {

// program_name becomes argv[0] cut after its last "/" or "\", with its
// terminating zero.
void rebuild_program_name() {
    if (!program_name) program_name = str_new(0, 0);
    const char* path = argument_count > 0 && argument_vector && argument_vector[0] ? argument_vector[0] : "";
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/' || *c == '\\') name = c + 1;
    str_assign(program_name, str_from_literal(name, static_cast<std::int32_t>(std::strlen(name)) + 1));
}

// Formats into a heap buffer of exactly the text's length plus one. Without
// memory for it the process ends at once.
__attribute__((format(printf, 1, 2))) char* format_text(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    char* text = length < 0 ? nullptr : static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    if (!text) runtime_exit(0);
    std::vsnprintf(text, static_cast<std::size_t>(length) + 1, format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace

void unhandled_error_dialog() {
    const std::int32_t error = pending_error.load();
    const bool critical = error >= 300 && error <= 315;
    rebuild_program_name();

    const bool in_include = error_include_line != 0;
    char* message = format_text("Line: %u (in %s)\n%s%s", in_include ? error_include_line : error_line,
                                in_include && error_include_file ? error_include_file : "main module",
                                error_message(static_cast<std::uint32_t>(error)), critical ? "" : "\nContinue?");
    char* title = format_text("%s%u - %s", critical ? "Critical Error #" : "Unhandled Error #",
                              static_cast<std::uint32_t>(error), reinterpret_cast<const char*>(program_name->text));

    const std::int32_t answer = error_box(message, title, critical ? "ok" : "yesno");
    std::free(message);
    std::free(title);
    if (critical) runtime_exit(0);
    if (answer == 0 || answer == 2) {
        stop_requested.store(1);
        park_program_thread();
    }
    pending_error.store(0);
}
