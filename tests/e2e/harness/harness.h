// The end-to-end tests' means: a private X server, the program on it, its
// window acted on as a user or window manager would, its pixels, its end.
#pragma once
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <sys/types.h>
#include <vector>

// A private Xvfb without TCP, on a display it chooses itself.
struct x_server {
    pid_t pid = -1;
    std::string display;            // ":N", for DISPLAY
    Display* connection = nullptr;  // the test's own; its X errors (a window gone meanwhile) are ignored

    x_server() = default;
    ~x_server();   // closes the connection and ends the server
    x_server(const x_server&) = delete;
    x_server& operator=(const x_server&) = delete;
};

// Starts the server (screen_size: width x height x depth; extra arguments such
// as "-extension", "GLX") and connects to it; false, with the reason in why.
bool x_server_start(x_server& server, std::string& why, const std::vector<std::string>& extra_arguments = {},
                    const std::string& screen_size = "1024x768x24");

struct running_program {
    pid_t pid = -1;
    std::string output_directory;   // holds the captured stdout and stderr
    std::chrono::steady_clock::time_point started;
};

struct program_result {
    int exit_status = -1;   // the status of a normal exit, else -1
    int signal = 0;         // the signal that ended it (SIGKILL after the time-out), else 0
    std::string out, err;
};

// Starts path in the working directory (empty: the test's), with this
// process's environment changed by "NAME=value" (set) and "NAME" (removed).
running_program program_start(const std::string& path, const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment_changes,
                              const std::string& working_directory = "");
// Waits up to timeout_seconds for the program to end, and kills it then.
program_result program_wait(running_program& program, double timeout_seconds);
// Waits up to timeout_seconds for text to appear in the program's stdout.
bool program_reports(const running_program& program, const std::string& text, double timeout_seconds = 30);
// Waits until check() holds, polling every 5 ms; false after timeout_seconds.
bool wait_until(const std::function<bool()>& check, double timeout_seconds);

// The first top-level window titled title, waiting up to timeout_seconds; 0 when none appears.
Window window_find(Display* display, const std::string& title, double timeout_seconds);

struct window_geometry {
    int x = 0, y = 0, width = 0, height = 0;   // width 0: no such window
    bool mapped = false;
};
window_geometry window_geometry_of(Display* display, Window window);

// Moves the window to (0, 0), raises it and gives it the input focus (without
// a window manager it sits at (-1, -1), and focus follows the pointer).
void window_move_to_origin_and_focus(Display* display, Window window);
// What a window manager sends when the user clicks the close button.
void window_send_delete(Display* display, Window window);

// The window's pixels as 0x00RRGGBB words, row by row; empty when it cannot be read.
struct window_picture {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
window_picture window_read(Display* display, Window window);

// Reads the window until check() holds for a read and the read before it,
// a few milliseconds earlier, showed the very same pixels; false (the last
// read kept) after timeout_seconds. A window can be read half-drawn, in the
// middle of a buffer swap, and a swap can stall: a check should cover the
// whole picture it expects, and what is asserted afterwards should be read
// from the picture it held for, never from a read of its own.
bool window_shows(Display* display, Window window, window_picture& picture,
                  const std::function<bool(const window_picture&)>& check, double timeout_seconds);

// Presses and releases a key through XTest, holding the modifiers around it.
void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers = {});
// Types unshifted ASCII text ("\n" is Enter, "\b" Backspace) at once: at most
// the 15 keys the program's keyboard buffer holds before the echo is waited for.
void type_text(Display* display, const std::string& text);

// The 80 x 25 text screen read back from the window's pixels: each 8 x 16 cell
// matched against the printable glyphs of the shipped font file (in a window of
// k times 640 x 400, each glyph pixel a k x k block of one colour).
struct screen_cell {
    bool recognised = false;          // the pixels are such a glyph in at most two colours
    std::uint8_t character = 0;       // a one-coloured cell reads as a space
    std::uint32_t foreground = 0;     // 0x00RRGGBB (a one-coloured cell: its colour)
    std::uint32_t background = 0;
    std::uint32_t cursor_rows = 0;    // bit r: pixel row r is filled by the text cursor
};

struct text_screen {
    std::vector<screen_cell> cells;   // row by row; empty when the window could not be read

    const screen_cell& at(int row, int column) const;   // 1-based, as LOCATE counts
    // The characters of a row without its trailing blanks; '?' for a cell that is no glyph.
    std::string row_text(int row) const;
    std::string dump() const;   // all rows, numbered, for failure messages
};

// The text screen of a whole picture (see window_shows) for which check()
// holds; false (the last picture decoded) after timeout_seconds.
bool screen_shows(Display* display, Window window, text_screen& screen,
                  const std::function<bool(const text_screen&)>& check, double timeout_seconds);
