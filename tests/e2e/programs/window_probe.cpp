// A small program on the run-time for the window and lifecycle tests. It
// reports its command line and directories on stdout, then, by its first
// argument:
//   (anything else)  waits, running the event check, until the process ends;
//   claim-close      handles the close button itself: reports each non-zero
//                    exit_query result with the result of the next call,
//                    and goes on waiting;
//   return           ends at once by returning from its main routine;
//   window-get       reports window_get of the screen width and window x;
//   messages         hides the window, renames it "Renamed", shows it, moves
//                    it to (10, 20) and reports its position once the
//                    cached metrics show the move;
//   pause            borrows the window thread with window_pause and reports
//                    whether a query made meanwhile waited for window_resume;
//   critical MS      prints a line at every pass, so that the window thread
//                    keeps presenting new frames, and MS milliseconds after
//                    the second new frame was presented raises critical
//                    error 257 (its box, then the end) on the program thread.
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

void report(const char* name, const str_desc* text) {
    std::printf("%s=[%.*s]\n", name, text->len, reinterpret_cast<const char*>(text->text));
}

bool mode_is(const char* mode) { return argument_count > 1 && std::strcmp(argument_vector[1], mode) == 0; }

}  // namespace

void program_main() {
    report("command_line", command_line);
    report("startup_directory", startup_directory);
    char directory[4096];
    std::printf("working_directory=[%s]\n", getcwd(directory, sizeof directory) ? directory : "");
    if (mode_is("window-get")) std::printf("screen_width=%d window_x=%d\n", window_get(200), window_get(100));
    std::fflush(stdout);

    if (mode_is("return")) return;
    if (mode_is("pause")) {
        window_pause();
        std::atomic<std::int32_t> answer{-1};
        std::thread query([&] { answer = window_get(200); });
        sleep_ms(200);
        const std::int32_t while_paused = answer.load();
        window_resume();
        query.join();
        std::printf("while_paused=%d after_resume=%d\n", while_paused, answer.load());
        std::fflush(stdout);
    }
    if (mode_is("messages")) {
        window_hide();
        window_set_title("Renamed");
        window_show();
        window_position(10, 20);
        for (int waited = 0; waited < 500 && window_get(100) != 10; ++waited) sleep_ms(10);
        std::printf("window_x=%d window_y=%d\n", window_get(100), window_get(101));
        std::fflush(stdout);
    }
    if (mode_is("critical")) {
        const std::int64_t delay = argument_count > 2 ? std::atoll(argument_vector[2]) : 0;
        std::int64_t since = 0;
        for (std::int64_t line = 0;; ++line) {
            if (since == 0 && new_frames_presented.load() >= 2) since = clock_ms();
            if (since != 0 && clock_ms() - since >= delay) raise_error(257);
            const std::uint32_t mark = temp_mark();
            print_string(str_from_cstring(std::to_string(line).c_str()), 1);
            temp_cleanup(mark, 0);
            sleep_ms(1);
            statement_done(1);
        }
    }
    for (;;) {
        if (mode_is("claim-close")) {
            const std::int32_t request = exit_query();
            if (request != 0) {
                std::printf("exit_query=%d then %d\n", request, exit_query());
                std::fflush(stdout);
            }
        }
        sleep_ms(10);
        statement_done(1);
    }
}
