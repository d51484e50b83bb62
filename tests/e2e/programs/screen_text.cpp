// A small program on the run-time for the display test: it prints known text
// in known colours, shows the cursor where INPUT would echo, reports "ready"
// on stdout, then draws a 4 x 1 image of red, green, blue and white bands
// through the window's hardware layer, again and again, at (100, 340)-(139,
// 349) and mirrored at (199, 356)-(160, 365). Once the file named by its
// argument exists it does PALETTE 1, 4 (blue becomes red) and reports
// "palette changed". It runs until the window is closed.
#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "runtime/console/color_statements.h"
#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/display/hardware_image.h"
#include "runtime/display/hgc_layer.h"
#include "runtime/errors/event_check.h"
#include "runtime/strings/str_desc.h"

namespace {

void print(const std::string& text, bool newline = true) {
    const std::uint32_t mark = temp_mark();
    print_string(str_from_cstring(text.c_str()), newline ? 1 : 0);
    temp_cleanup(mark, 0);
}

void draw_bands(std::int32_t image, float x1, float x2, float y1) {
    hgc command{};   // into the window's hardware layer (destination 0)
    command.type = hgc_draw_rectangle;
    command.source = image;
    const float source[4] = {0, 0, 3, 0}, destination[4] = {x1, y1, x2, y1 + 9};
    std::copy_n(source, 4, command.source_points);
    std::copy_n(destination, 4, command.destination_points);
    hgc_issue(command);
}

void report(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

}  // namespace

void program_main() {
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
    const std::int32_t band_image = new_hardware_img(4, 1, bands, hardware_img_deferred | hardware_img_copy);
    for (bool palette_changed = false;;) {
        if (!palette_changed && argument_count > 1 && access(argument_vector[1], F_OK) == 0) {
            palette_set(1, 4, 1);
            palette_changed = true;
            report("palette changed");
        }
        draw_bands(band_image, 100, 139, 340);
        draw_bands(band_image, 199, 160, 356);
        sleep_ms(10);
        statement_done(1);
    }
}
