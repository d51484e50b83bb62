// A small program on the run-time for the window and lifecycle tests. By its
// first argument:
//   claim-close   handles the close button itself: reports "claimed" after
//                 its first exit_query, then each non-zero result with the
//                 result of the next call;
//   return        ends at once by returning from its main routine;
//   critical MS   prints a line at every pass, so that the window thread keeps
//                 presenting new frames, and MS milliseconds after the second
//                 new frame was presented raises critical error 257 (its box,
//                 then the end) on the program thread;
//   anything else reports its command line, its directories, a query of the
//                 screen width, whether a query made while it borrows the
//                 window thread (window_pause) waits for window_resume, then
//                 hides the window, renames it "Renamed", shows it, moves it
//                 to (10, 20) and reports its position once the cached
//                 metrics show the move.
// Except with return it then waits, running the event check, until the end.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

#include "runtime/console/print.h"
#include "runtime/core/glut_message.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/window.h"
#include "runtime/display/presentation.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_check.h"
#include "runtime/strings/str_desc.h"

namespace {

bool mode_is(const char* mode) { return argument_count > 1 && std::strcmp(argument_vector[1], mode) == 0; }

void window_services() {
    std::printf("command_line=[%.*s]\n", command_line->len, reinterpret_cast<const char*>(command_line->text));
    std::printf("startup_directory=[%.*s]\n", startup_directory->len,
                reinterpret_cast<const char*>(startup_directory->text));
    char directory[4096];
    std::printf("working_directory=[%s]\n", getcwd(directory, sizeof directory) ? directory : "");
    std::printf("screen_width=%d\n", window_get(200));
    window_pause();
    std::atomic<std::int32_t> answer{-1};
    std::thread query([&] { answer = window_get(200); });
    sleep_ms(200);
    const std::int32_t while_paused = answer.load();
    window_resume();
    query.join();
    std::printf("while_paused=%d after_resume=%d\n", while_paused, answer.load());
    window_hide();
    window_set_title("Renamed");
    window_show();
    window_position(10, 20);
    for (int waited = 0; waited < 500 && window_get(100) != 10; ++waited) sleep_ms(10);
    std::printf("window_x=%d window_y=%d\n", window_get(100), window_get(101));
    std::fflush(stdout);
}

}  // namespace

void program_main() {
    if (mode_is("return")) return;
    const bool critical = mode_is("critical"), claim_close = mode_is("claim-close");
    if (!critical && !claim_close) window_services();
    if (claim_close) {
        exit_query();
        std::printf("claimed\n");
        std::fflush(stdout);
    }
    const std::int64_t delay = critical && argument_count > 2 ? std::atoll(argument_vector[2]) : 0;
    std::int64_t since = 0;
    for (std::int64_t line = 0;; ++line) {
        if (critical) {
            if (since == 0 && new_frames_presented.load() >= 2) since = clock_ms();
            if (since != 0 && clock_ms() - since >= delay) raise_error(257);
            const std::uint32_t mark = temp_mark();
            print_string(str_from_cstring(std::to_string(line).c_str()), 1);
            temp_cleanup(mark, 0);
        }
        if (claim_close) {
            const std::int32_t request = exit_query();
            if (request != 0) {
                std::printf("exit_query=%d then %d\n", request, exit_query());
                std::fflush(stdout);
            }
        }
        sleep_ms(critical ? 1 : 10);
        statement_done(1);
    }
}
