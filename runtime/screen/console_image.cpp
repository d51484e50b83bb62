#include "runtime/screen/console_image.h"

#include <atomic>
#include <cstdio>
#include <unistd.h>

#include "runtime/screen/screen_image.h"

std::int32_t console_escapes = 0;

namespace {

// Atomic because the signal handlers, on whatever thread the signal lands,
// read them too; COLOR writes them on the program thread.
// Set once a colour went out; the restore clears it.
std::atomic<bool> colours_changed{false};
// The colours last sent (-1: none yet), for setting them again.
std::atomic<std::int32_t> foreground_sent{-1}, background_sent{-1};

// Writes ESC [kind;5;colour m with write alone: safe in a signal handler.
void send_colour(char kind, std::int32_t colour) {
    if (colour < 0) return;
    char text[16] = {'\x1b', '[', kind, '8', ';', '5', ';'};
    std::size_t length = 7;
    char digits[12];
    std::size_t count = 0;
    for (auto rest = static_cast<std::uint32_t>(colour); count == 0 || rest > 0; rest /= 10)
        digits[count++] = static_cast<char>('0' + rest % 10);
    while (count > 0 && length < sizeof text - 1) text[length++] = digits[--count];
    text[length++] = 'm';
    const ssize_t written = write(STDOUT_FILENO, text, length);
    (void)written;
}

void escape(const char* format, std::int32_t first, std::int32_t second) {
    if (!console_escapes) return;
    std::printf(format, first, second);
    std::fflush(stdout);
}

}  // namespace

std::int32_t console_image_create() {
    const std::int32_t slot = image_new(80, 25, 0);
    screen_image* image = image_get(slot);
    if (!image) return 0;
    image->is_console = 1;
    display_page_slot = write_page_slot = source_image_slot = slot;
    display_page = write_page = source_image = image;
    return slot;
}

void console_foreground(std::int32_t colour) {
    if (console_escapes) colours_changed.store(true);
    foreground_sent.store(colour);
    escape("\x1b[38;5;%dm", colour, 0);
}

void console_background(std::int32_t colour) {
    if (console_escapes) colours_changed.store(true);
    background_sent.store(colour);
    escape("\x1b[48;5;%dm", colour, 0);
}

void console_clear() { escape("\x1b[2J", 0, 0); }

void console_move(std::int32_t row, std::int32_t column) { escape("\x1b[%d;%dH", row, column); }

bool console_colours_restore(bool flush) {
    if (!colours_changed.exchange(false)) return false;
    if (flush) std::fflush(stdout);
    static const char own_colours[] = "\x1b[39;49m";
    const ssize_t written = write(STDOUT_FILENO, own_colours, sizeof own_colours - 1);
    (void)written;
    return true;
}

void console_colours_set_again() {
    colours_changed.store(true);
    send_colour('3', foreground_sent.load());
    send_colour('4', background_sent.load());
}
