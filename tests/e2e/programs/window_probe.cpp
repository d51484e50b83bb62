// A small program on the run-time for the end-to-end tests. By its first
// argument:
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
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/core/process_state.h"
#include "runtime/core/sleep.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/process/runtime_main.h"
#include "runtime/process/startup.h"
#include "runtime/screen/color_statements.h"
#include "runtime/screen/print.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/hgc_layer.h"
#include "runtime/window/presentation.h"

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

// The command line and the directories, and that an X protocol error is not fatal.
void window_services() {
    std::printf("command_line=[%.*s]\n", command_line->len, reinterpret_cast<const char*>(command_line->text));
    std::printf("startup_directory=[%.*s]\n", startup_directory->len,
                reinterpret_cast<const char*>(startup_directory->text));
    char directory[4096];
    std::printf("working_directory=[%s]\n", getcwd(directory, sizeof directory) ? directory : "");
    Display* second = XOpenDisplay(nullptr);
    XMapWindow(second, None);   // no such window: an X protocol error
    XSync(second, False);
    XCloseDisplay(second);
    report("x_error=survived");
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
    const bool critical = mode_is("critical"), screen = mode_is("screen");
    const std::int32_t band_image = screen ? show_screen_text() : 0;
    if (!critical && !screen) window_services();
    const std::int64_t delay = critical && argument_count > 2 ? std::atoll(argument_vector[2]) : 0;
    std::int64_t since = 0;
    bool palette_changed = false;
    for (std::int64_t line = 0;; ++line) {
        if (critical) {
            if (since == 0 && new_frames_presented.load() >= 2) since = clock_ms();
            if (since != 0 && clock_ms() - since >= delay) raise_error(257);
            print(std::to_string(line));
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

int main(int argc, char** argv) { return runtime_main(argc, argv, program_main); }
