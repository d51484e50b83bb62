// The window and the life of the process, on a real X server: the text
// screen as the window's pixels show it (text in the sixteen colours decoded
// with the shipped font, the blinking cursor, images of the hardware layer
// over the text, the full-screen modes of Alt+Enter, a PALETTE change), the
// calculator's zoom and resizing in whole steps, critical errors, the
// missing display, the event loop's view of the connection, and the command
// line and directories the program sees.
#include "tests/e2e/harness/e2e_test.h"   // gtest before Xlib's None

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <sys/ioctl.h>

#include "runtime/window/event_loop.h"
#include "runtime/window/window.h"
#include "tests/unit/fake_dialog.h"

namespace {

const std::string probe = std::string(E2E_PROGRAM_DIR) + "/window_probe";

using WindowLifecycle = e2e_test;

// The command line and the directories that start-up records; an X
// protocol error is not fatal.
TEST_F(WindowLifecycle, CommandLineDirectoriesAndAProtocolError) {
    const std::string started_in = std::filesystem::temp_directory_path();
    ASSERT_NO_FATAL_FAILURE(start(probe, {"first", "with space", "", "last"}, "Untitled", started_in));
    ASSERT_TRUE(program_reports(program, "x_error=survived\n"));
    const program_result result = program_wait(program, 0);
    const std::string working_directory = std::filesystem::canonical(E2E_PROGRAM_DIR);
    const std::string lines[] = {"command_line=[first with space  last]", "startup_directory=[" + started_in + "]",
                                 "working_directory=[" + working_directory + "]"};
    for (const std::string& line : lines)
        EXPECT_NE(result.out.find(line + "\n"), std::string::npos) << line << " in " << result.out;
}

TEST_F(WindowLifecycle, ReturningFromTheProgramEndsWithStatusZero) {
    program = program_start(probe, {"return"}, {"DISPLAY=" + server.display});
    EXPECT_EQ(program_wait(program, 10).exit_status, 0);
}

// Critical errors raised on the program thread, at each of the probe's 50
// moments while the window thread presents new frames, each box answered at
// once: each ends the process with status 0, never with a crash or a hang.
// Eight run at a time, their windows over one another, each going away while
// the others present.
TEST_F(WindowLifecycle, CriticalErrorsOnTheProgramThreadEndTheProcessCleanly) {
    fake_dialog dialog({"zenity"}, true);
    for (int first = 0; first < 56; first += 8) {
        std::vector<running_program> batch;
        for (int i = first; i < first + 8; ++i)
            batch.push_back(
                program_start(probe, {"critical", std::to_string(i * 7 % 50)}, {"DISPLAY=" + server.display}));
        for (running_program& run : batch) {
            const program_result result = program_wait(run, 60);
            EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
        }
    }
}

// No display (the last -display counts, as for freeglut), an option without
// its value, or no indirect context for -indirect: one line and status 1; no
// usable display mode (a server without GLX): status 1 without a word.
TEST(NoUsableDisplay, EndsWithStatusOneAndAtMostALineNamingTheDisplay) {
    x_server server, glx;
    std::string why;
    ASSERT_TRUE(x_server_start(server, why, {"-extension", "GLX"})) << why;
    ASSERT_TRUE(x_server_start(glx, why)) << why;
    const struct { std::vector<std::string> arguments, environment; std::string err; } cases[] = {
        {{}, {"DISPLAY=:4711"}, "window_probe: cannot open the X display \":4711\"\n"},
        {{}, {"DISPLAY"}, "window_probe: cannot open the X display: DISPLAY is not set\n"},
        {{"-display", ":4712"}, {"DISPLAY"}, "window_probe: cannot open the X display \":4712\"\n"},
        {{}, {"DISPLAY=" + server.display}, ""},
        {{"-display", glx.display, "-display", ":4713"}, {"DISPLAY"},
         "window_probe: cannot open the X display \":4713\"\n"},
        {{"-display", glx.display, "-display"}, {"DISPLAY"}, "window_probe: -display needs a value\n"},
        {{"-indirect"}, {"DISPLAY=" + glx.display},
         "window_probe: the X display gives no indirect GL context (-indirect)\n"},
    };
    for (const auto& c : cases) {
        running_program program = program_start(probe, c.arguments, c.environment);
        const program_result result = program_wait(program, 10);
        EXPECT_EQ(result.exit_status, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "") << c.err;
    }
}

// An event that came right behind the reply to a round trip was read off the
// connection with it, which then looks idle: the event loop still sees the
// event before it rests (it would wait for the next one otherwise).
using EventLoop = e2e_test;

TEST_F(EventLoop, SeesAnEventReadWithAReplyBeforeItRests) {
    Display* display = XOpenDisplay(server.display.c_str());
    ASSERT_NE(display, nullptr);
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    XSync(display, False);
    event_loop_take_over(display, window);
    EXPECT_FALSE(event_loop_events_waiting());

    xcb_connection_t* connection = XGetXCBConnection(display);
    const xcb_get_input_focus_cookie_t round_trip = xcb_get_input_focus(connection);
    xcb_flush(connection);
    auto bytes_waiting = [&](int count) {
        return wait_until([&] {
            int waiting = 0;
            return ioctl(ConnectionNumber(display), FIONREAD, &waiting) == 0 && waiting >= count;
        }, 5);
    };
    ASSERT_TRUE(bytes_waiting(32));   // the reply; the event goes behind it
    XEvent event{};
    event.xclient = {ClientMessage, 0, False, nullptr, window, XInternAtom(server.connection, "PING", False), 32, {}};
    XSendEvent(server.connection, window, False, NoEventMask, &event);
    XSync(server.connection, False);
    ASSERT_TRUE(bytes_waiting(64));
    std::free(xcb_get_input_focus_reply(connection, round_trip, nullptr));   // reads both
    EXPECT_TRUE(event_loop_events_waiting());
}

// The sixteen text colours as the window shows them.
constexpr std::uint32_t text_colours[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                            0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                            0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
constexpr std::uint32_t black = text_colours[0], blue = text_colours[1], red = text_colours[4],
                        grey = text_colours[7], yellow = text_colours[14];
const std::string heading = "Farbtafel der Textseite";
const std::string prompt = " Eingabe der Wellenlaenge [nm]:";   // and a blank, where the cursor waits

using ScreenDisplay = e2e_test;

TEST_F(ScreenDisplay, TextColoursCursorHardwareLayerFullScreenAndPalette) {
    const std::filesystem::path trigger =
        std::filesystem::temp_directory_path() / ("palette_" + std::to_string(getpid()));
    std::filesystem::remove(trigger);
    ASSERT_NO_FATAL_FAILURE(start(probe, {"screen", trigger}));
    window_move_to_origin_and_focus(server.connection, window);
    ASSERT_TRUE(program_reports(program, "ready"));

    // Each row's text (a cell that is no glyph reads as '?'), the foreground
    // of its non-blank cells and the background of all.
    std::string printable;
    for (char c = '!'; c <= '~'; ++c) printable += c;
    struct row_case { int row; std::string text; std::uint32_t foreground, background; };
    std::vector<row_case> rows = {{1, heading, yellow, blue}, {18, printable.substr(0, 80), grey, black},
                                  {19, printable.substr(80), grey, black}, {20, prompt, grey, black},
                                  {21, "", grey, black}, {24, "", grey, black}, {25, "", grey, black}};
    for (int colour = 0; colour < 16; ++colour)
        rows.push_back({2 + colour, "Farbe " + std::to_string(colour), text_colours[colour], colour ? black : grey});
    ASSERT_TRUE(screen_shows([&](const text_screen& s) {
        return std::all_of(rows.begin(), rows.end(), [&](const row_case& r) { return s.row_text(r.row) == r.text; });
    })) << shown.dump();
    for (const row_case& r : rows) {
        for (int column = 1; column <= 80; ++column) {
            const screen_cell& cell = shown.at(r.row, column);
            EXPECT_TRUE(cell.character == ' ' || cell.foreground == r.foreground) << r.row << "," << column;
            EXPECT_TRUE(column > static_cast<int>(r.text.size()) || cell.background == r.background)
                << r.row << "," << column;
        }
    }
    EXPECT_EQ(shown.at(1, 24).background, black);   // just past the heading

    // The cursor blinks where INPUT would echo: one line, row 14 of the cell, in the text colour.
    bool seen_on = false, seen_off = false;
    EXPECT_TRUE(screen_shows([&](const text_screen& s) {
        const screen_cell& cell = s.at(20, static_cast<int>(prompt.size()) + 2);
        if (cell.cursor_rows == 0) return (seen_off = true) && seen_on;
        EXPECT_EQ(std::make_tuple(cell.cursor_rows, cell.foreground), std::make_tuple(1u << 14, grey));
        return (seen_on = true) && seen_off;
    }));

    // Waits until the window, read whole, is w x h and check() holds for its picture.
    window_picture picture;
    auto pixel = [&](int x, int y) { return picture.at(x, y); };
    auto shows = [&](int w, int h, const std::function<bool()>& check) {
        return window_shows(server.connection, window, picture, [&](const window_picture& p) {
            return p.width == w && p.height == h && check();
        }, 30);
    };

    // The image's bands over the text, the second mirrored left to right.
    const std::uint32_t bands[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    ASSERT_TRUE(shows(640, 400, [&] {
        for (int band = 0; band < 4; ++band)
            for (int x = 100 + 10 * band; x < 110 + 10 * band; ++x)
                if (pixel(x, 340) != bands[band] || pixel(x, 349) != bands[band] ||
                    pixel(x + 60, 356) != bands[3 - band])
                    return false;
        return pixel(99, 345) == black && pixel(140, 345) == black && pixel(120, 350) == black;
    }));

    // Alt+Enter: stretched, stretched smooth, square pixels, square pixels
    // smooth, windowed again. The heading's right edge, in pixel row y, is
    // sharp (blue or yellow beside black) or, with linear filtering, blended.
    auto edge = [&](int y) {
        bool text = false;
        for (int x = 280; x < 310; ++x) {
            if (pixel(x, y) != blue && pixel(x, y) != yellow && pixel(x, y) != black) return 'b';
            text = text || pixel(x, y) != black;
        }
        return text ? 's' : '-';
    };
    auto alt_enter = [&] { tap_key(server.connection, XK_Return, {XK_Alt_L}); };
    // Full screen covers the screen without the step and aspect hints; the window returns to its place.
    auto placed = [&](int x, int y, long step_and_aspect) {
        return wait_until([&] {
            XSizeHints hints{};
            long supplied = 0;
            XGetWMNormalHints(server.connection, window, &hints, &supplied);
            const window_geometry g = window_geometry_of(server.connection, window);
            return g.x == x && g.y == y && (hints.flags & (PResizeInc | PAspect)) == step_and_aspect;
        }, 30);
    };
    XMoveWindow(server.connection, window, 100, 50);
    ASSERT_TRUE(placed(100, 50, PResizeInc | PAspect));
    alt_enter();   // 1.6 x 1.92, no bars
    ASSERT_TRUE(shows(1024, 768, [&] { return pixel(2, 2) == blue && edge(10) == 's'; }));
    EXPECT_TRUE(placed(0, 0, 0));
    alt_enter();
    ASSERT_TRUE(shows(1024, 768, [&] { return edge(10) == 'b'; }));
    alt_enter();   // 1024 x 640 between black bars of 64 rows
    ASSERT_TRUE(shows(1024, 768, [&] {
        for (int y : {0, 63, 704, 767})
            for (int x = 0; x < 1024; x += 8)
                if (pixel(x, y) != black) return false;
        // The heading's first pixel row, and just right of the heading.
        return pixel(2, 64) == blue && pixel(23 * 8 * 8 / 5 + 2, 66) == black && edge(64 + 10) == 's';
    }));
    alt_enter();
    ASSERT_TRUE(shows(1024, 768, [&] { return edge(64 + 10) == 'b'; }));
    alt_enter();
    ASSERT_TRUE(shows(640, 400, [] { return true; }));
    EXPECT_TRUE(placed(100, 50, PResizeInc | PAspect));
    window_move_to_origin_and_focus(server.connection, window);
    EXPECT_TRUE(row_shows(1, heading)) << shown.dump();

    // PALETTE 1, 4: attribute 1 shows red wherever it is used (the heading's
    // background, "Farbe 1"); the other colours stay.
    ASSERT_TRUE(std::ofstream(trigger));
    ASSERT_TRUE(program_reports(program, "palette changed"));
    EXPECT_TRUE(screen_shows([&](const text_screen& s) {
        return s.at(1, 1).background == red && s.at(3, 1).foreground == red && s.at(2, 1).foreground == black;
    })) << std::hex << shown.at(1, 1).background;
    std::filesystem::remove(trigger);
    window_send_delete(server.connection, window);
    expect_status_zero(false);
}

// The zoom on a 2560 x 1600 screen whose current desktop leaves 2560 x 1560
// to windows: the variable (lowered to fit that; ignored with a warning when
// it is no whole number from 1 to 16), the desktop's Xft.dpi; the
// calculator's text at 2x, each glyph pixel a 2 x 2 block, an entry typed
// (only the changed cells are sent); the size hints; resizes settling on
// whole steps; the answer at 3x.
class WindowZoom : public e2e_test {
protected:
    static constexpr double seconds = 30;   // reading a large window is slow on a busy machine
    WindowZoom() { server_screen = "2560x1600x24"; }
    void start_zoomed(const std::string& variable_setting) {
        program = program_start(CALCULATOR_PATH, {}, {"DISPLAY=" + server.display, variable_setting});
        window = window_find(server.connection, "Untitled", seconds);
        ASSERT_NE(window, 0u) << program_wait(program, 0).err;
    }
    bool sized(int width, int height) {
        return wait_until([&] {
            const window_geometry g = window_geometry_of(server.connection, window);
            return g.width == width && g.height == height;
        }, seconds);
    }
};

TEST_F(WindowZoom, ChosenAtStartAndSettledInWholeStepsOnResizing) {
    const long desktop = 1, work_areas[] = {0, 0, 2560, 1600, 0, 40, 2560, 1560};   // the second: below a panel
    const Window root = DefaultRootWindow(server.connection);
    XChangeProperty(server.connection, root, XInternAtom(server.connection, "_NET_CURRENT_DESKTOP", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&desktop), 1);
    XChangeProperty(server.connection, root, XInternAtom(server.connection, "_NET_WORKAREA", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(work_areas), 8);
    const struct { std::string variable; int width, height; } starts[] = {
        {"3", 1920, 1200}, {"4", 1920, 1200}, {"abc", 640, 400}, {"0", 640, 400},
        {"-2", 640, 400}, {"1e9", 640, 400}, {"", 640, 400}};
    for (const auto& s : starts) {
        ASSERT_NO_FATAL_FAILURE(start_zoomed("SPEKTRALRECHNER_ZOOM=" + s.variable));
        EXPECT_TRUE(sized(s.width, s.height)) << s.variable;
        EXPECT_EQ(program_wait(program, 0).err,
                  s.width > 640 ? "" : "spektralrechner: SPEKTRALRECHNER_ZOOM=\"" + s.variable +
                                           "\" is not a whole number from 1 to 16; ignored\n");
    }

    const std::string resources = "Xft.dpi:\t192\n";
    XChangeProperty(server.connection, DefaultRootWindow(server.connection), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                    static_cast<int>(resources.size()));
    ASSERT_NO_FATAL_FAILURE(start_zoomed("SPEKTRALRECHNER_ZOOM"));
    window_move_to_origin_and_focus(server.connection, window);
    ASSERT_TRUE(sized(1280, 800));
    const std::string prompt = " Eingabe der Wellenlaenge [nm]: ?";
    EXPECT_TRUE(screen_shows([&](const text_screen& s) {
        return s.row_text(1) == "          ***** Berechnung der Spektralwertanteile x,y *****" &&
               s.row_text(13) == prompt;
    })) << shown.dump();
    XSelectInput(server.connection, window, PropertyChangeMask);   // the hints are set once, not at each new frame
    type_text(server.connection, "555.5");
    EXPECT_TRUE(row_shows(13, prompt + " 555.5")) << shown.dump();
    for (XEvent e; XCheckTypedWindowEvent(server.connection, window, PropertyNotify, &e);)
        EXPECT_NE(e.xproperty.atom, XA_WM_NORMAL_HINTS);
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(server.connection, window, &hints, &supplied);
    EXPECT_EQ(std::make_tuple(hints.min_width, hints.min_height, hints.width_inc, hints.height_inc, hints.min_aspect.x,
                              hints.min_aspect.y, hints.max_aspect.x, hints.max_aspect.y),
              std::make_tuple(640, 400, 640, 400, 640, 400, 640, 400));

    const struct { int width, height, settled_width, settled_height; } resizes[] = {
        {800, 600, 640, 400}, {1300, 820, 1280, 800}, {2000, 1300, 1920, 1200}};
    for (const auto& r : resizes) {
        XResizeWindow(server.connection, window, r.width, r.height);
        XSync(server.connection, False);
        EXPECT_TRUE(sized(r.settled_width, r.settled_height)) << r.width << "x" << r.height;
    }
    type_text(server.connection, "\n");
    EXPECT_TRUE(screen_shows([&](const text_screen& s) {
        return s.row_text(18) == "         x=  .3409378" && s.row_text(19) == "         y=  .6554428";
    })) << shown.dump();
}

}  // namespace
