// A small program on the run-time for the end-to-end tests. By its first
// argument:
//   claim-close   handles the close button itself: reports "claimed" after
//                 its first exit_query, then each request with the result of
//                 the next call;
//   return        returns from its main routine at once;
//   critical MS   prints a line at every pass, so that new frames keep coming,
//                 and raises critical error 257 MS milliseconds after the
//                 second new frame was presented;
//   screen FILE   prints known text in known colours, shows the cursor and
//                 reports "ready"; at every pass it draws an image of four
//                 bands through the window's hardware layer, plainly and
//                 mirrored; once FILE exists it does PALETTE 1, 4;
//   anything else reports what window_services() finds out.
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

#include "runtime/console/color_statements.h"
#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/core/glut_message.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/window.h"
#include "runtime/display/hardware_image.h"
#include "runtime/display/hgc_layer.h"
#include "runtime/display/presentation.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_check.h"
#include "runtime/strings/str_desc.h"

namespace {

bool mode_is(const char* mode) { return argument_count > 1 && std::strcmp(argument_vector[1], mode) == 0; }

void print(const std::string& text, bool newline = true) {
    const std::uint32_t mark = temp_mark();
    print_string(str_from_cstring(text.c_str()), newline ? 1 : 0);
    temp_cleanup(mark, 0);
}

void report(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// The command line, the directories, the screen width, whether a query made
// while the program borrows the window thread waits for window_resume, and
// that an X protocol error is not fatal; then it hides the window, renames
// it "Renamed", shows it, moves it to (10, 20) and reports the position once
// the cached metrics show the move.
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
    Display* second = XOpenDisplay(nullptr);
    XMapWindow(second, None);   // no such window: an X protocol error
    XSync(second, False);
    XCloseDisplay(second);
    std::printf("x_error=survived\n");
    window_hide();
    window_set_title("Renamed");
    window_show();
    window_position(10, 20);
    for (int waited = 0; waited < 500 && window_get(100) != 10; ++waited) sleep_ms(10);
    report("window_x=" + std::to_string(window_get(100)) + " window_y=" + std::to_string(window_get(101)));
}

// Returns an image of red, green, blue and white bands, 4 x 1.
std::int32_t show_screen_text() {
    color_set(14, 1, 0, 3);
    print("Farbtafel der Textseite");
    for (int colour = 0; colour < 16; ++colour) {
        color_set(colour, colour == 0 ? 7 : 0, 0, 3);
        print("Farbe " + std::to_string(colour));
    }
    color_set(7, 0, 0, 3);
    print("!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");
    print(" Eingabe der Wellenlaenge [nm]: ", false);
    locate(0, 0, 1, 0, 0, 4);   // the cursor shown
    report("ready");
    const std::uint32_t bands[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    return new_hardware_img(4, 1, bands, hardware_img_deferred | hardware_img_copy);
}

// Draws the image stretched over (x1, y1)-(x2, y1 + 9), mirrored when x2 < x1.
void draw_bands(std::int32_t image, float x1, float x2, float y1) {
    hgc command{};   // into the window's hardware layer (destination 0)
    command.type = hgc_draw_rectangle;
    command.source = image;
    const float source[4] = {0, 0, 3, 0}, destination[4] = {x1, y1, x2, y1 + 9};
    std::copy_n(source, 4, command.source_points);
    std::copy_n(destination, 4, command.destination_points);
    hgc_issue(command);
}

}  // namespace

void program_main() {
    if (mode_is("return")) return;
    const bool critical = mode_is("critical"), claim_close = mode_is("claim-close"), screen = mode_is("screen");
    const std::int32_t band_image = screen ? show_screen_text() : 0;
    if (!critical && !claim_close && !screen) window_services();
    if (claim_close) {
        exit_query();
        report("claimed");
    }
    const std::int64_t delay = critical && argument_count > 2 ? std::atoll(argument_vector[2]) : 0;
    std::int64_t since = 0;
    bool palette_changed = false;
    for (std::int64_t line = 0;; ++line) {
        if (critical) {
            if (since == 0 && new_frames_presented.load() >= 2) since = clock_ms();
            if (since != 0 && clock_ms() - since >= delay) raise_error(257);
            print(std::to_string(line));
        }
        if (claim_close) {
            const std::int32_t request = exit_query();
            if (request != 0) report("exit_query=" + std::to_string(request) + " then " + std::to_string(exit_query()));
        }
        if (screen) {
            if (!palette_changed && argument_count > 2 && access(argument_vector[2], F_OK) == 0) {
                palette_set(1, 4, 1);
                palette_changed = true;
                report("palette changed");
            }
            draw_bands(band_image, 100, 139, 340);
            draw_bands(band_image, 199, 160, 356);
        }
        sleep_ms(critical ? 1 : 10);
        statement_done(1);
    }
}
