// The text screen as the user sees it: a program prints known text in known
// colours and the window's pixels, read back from a real X server and decoded
// with the built-in font, show exactly that text and those colours, the
// blinking cursor, a PALETTE change, the window size and full screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include <X11/keysym.h>

#include "tests/e2e/harness/key_typing.h"
#include "tests/e2e/harness/program_run.h"
#include "tests/e2e/harness/screen_decoder.h"
#include "tests/e2e/harness/window_access.h"
#include "tests/e2e/harness/x_server.h"

namespace {

const std::string screen_program = std::string(E2E_PROGRAM_DIR) + "/screen_text";

// The sixteen text colours as the window shows them.
constexpr std::uint32_t text_colours[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                            0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                            0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
constexpr std::uint32_t black = text_colours[0], blue = text_colours[1], red = text_colours[4],
                        grey = text_colours[7], yellow = text_colours[14];
const std::string heading = "Farbtafel der Textseite";
const std::string prompt = " Eingabe der Wellenlaenge [nm]: ";
constexpr int prompt_row = 20;

class ScreenDisplay : public ::testing::Test {
protected:
    x_server server;
    running_program program;
    Window window = 0;

    void SetUp() override {
        std::string why;
        ASSERT_TRUE(x_server_start(server, why)) << why;
    }

    void TearDown() override {
        if (program.pid > 0) {
            if (window) window_send_delete(server.connection, window);
            const program_result result = program_wait(program, 5);
            EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
        }
    }

    // Starts the program and waits until its screen is complete in the window.
    void start(const std::vector<std::string>& arguments = {}) {
        program = program_start(screen_program, arguments, {"DISPLAY=" + server.display});
        window = window_find(server.connection, "Untitled", 10);
        ASSERT_NE(window, 0u) << program_wait(program, 0).err;
        window_move_to_origin_and_focus(server.connection, window);
        ASSERT_TRUE(wait_until([&] { return program_output_so_far(program).find("ready") != std::string::npos; }, 10));
        ASSERT_TRUE(wait_until([&] { return read().row_starts_with(prompt_row, prompt); }, 5)) << describe(read());
    }

    text_screen read() const { return screen_read(server.connection, window); }

    // The window's pixels as last read by shows().
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool has_size(int w, int h, double seconds) {
        return wait_until(
            [&] {
                const window_geometry g = window_geometry_of(server.connection, window);
                return g.width == w && g.height == h;
            },
            seconds);
    }
    // Reads the pixels until the window is w x h and check() holds for them.
    bool shows(int w, int h, const std::function<bool()>& check, double seconds = 5) {
        return wait_until(
            [&] {
                pixels = window_pixels(server.connection, window, width, height);
                return width == w && height == h && check();
            },
            seconds);
    }

    static std::string describe(const text_screen& screen) {
        std::string text;
        for (int row = 1; row <= screen.rows; ++row) text += screen.row_text(row) + "\n";
        return text;
    }
};

std::string padded(const std::string& text) { return text + std::string(80 - text.size(), ' '); }

TEST_F(ScreenDisplay, ShowsExactTextInExactColours) {
    start();
    const text_screen screen = read();
    ASSERT_EQ(screen.columns, 80);
    for (const screen_cell& cell : screen.cells) ASSERT_TRUE(cell.recognised) << describe(screen);

    EXPECT_EQ(screen.row_text(1), padded(heading));
    for (int column = 1; column <= static_cast<int>(heading.size()); ++column) {
        const screen_cell& cell = screen.at(1, column);
        if (cell.character != ' ') {
            EXPECT_EQ(cell.foreground, yellow) << column;
        }
        EXPECT_EQ(cell.background, blue) << column;
    }
    EXPECT_EQ(screen.at(1, 24).background, black);

    for (int colour = 0; colour < 16; ++colour) {
        const int row = 2 + colour;
        const std::string text = "Farbe " + std::to_string(colour);
        SCOPED_TRACE(text);
        EXPECT_EQ(screen.row_text(row), padded(text));
        for (int column = 1; column <= static_cast<int>(text.size()); ++column) {
            const screen_cell& cell = screen.at(row, column);
            EXPECT_EQ(cell.background, colour == 0 ? grey : black);
            if (cell.character != ' ') {
                EXPECT_EQ(cell.foreground, text_colours[colour]);
            }
        }
    }

    std::string printable;
    for (int c = '!'; c <= '~'; ++c) printable += static_cast<char>(c);
    EXPECT_EQ(screen.row_text(18), printable.substr(0, 80));
    EXPECT_EQ(screen.row_text(19), padded(printable.substr(80)));
    EXPECT_EQ(screen.row_text(prompt_row), padded(prompt));
    EXPECT_EQ(screen.at(prompt_row, 2).foreground, grey);
    for (int row = prompt_row + 1; row <= 25; ++row) EXPECT_EQ(screen.row_text(row), padded("")) << row;
}

TEST_F(ScreenDisplay, CursorBlinksAtTheInputPosition) {
    start();
    bool seen_on = false, seen_off = false;
    wait_until(
        [&] {
            const text_screen screen = read();
            int row = 0, column = 0;
            if (screen.find_cursor(row, column)) {
                EXPECT_EQ(row, prompt_row);
                EXPECT_EQ(column, static_cast<int>(prompt.size()) + 1);
                EXPECT_EQ(screen.at(row, column).cursor_rows, 1u << 14);   // one line, row 14 of the cell
                EXPECT_EQ(screen.at(row, column).foreground, grey);
                seen_on = true;
            } else {
                seen_off = true;
            }
            return seen_on && seen_off;
        },
        3);
    EXPECT_TRUE(seen_on);
    EXPECT_TRUE(seen_off);
}

TEST_F(ScreenDisplay, PaletteChangeShowsInTheNextFrames) {
    const std::string trigger =
        (std::filesystem::temp_directory_path() / ("palette_" + std::to_string(getpid()))).string();
    std::filesystem::remove(trigger);
    start({"palette", trigger});
    EXPECT_EQ(read().at(1, 1).background, blue);
    std::FILE* file = std::fopen(trigger.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    ASSERT_TRUE(wait_until([&] { return program_output_so_far(program).find("palette changed") != std::string::npos; }, 5));
    // Attribute 1 now shows red wherever it is used: the heading's background, "Farbe 1".
    EXPECT_TRUE(wait_until(
        [&] {
            const text_screen screen = read();
            return screen.at(1, 1).background == red && screen.at(3, 1).foreground == red;
        },
        1))
        << std::hex << read().at(1, 1).background;
    EXPECT_EQ(read().at(2, 1).foreground, black);   // the other colours stay
    std::filesystem::remove(trigger);
}

TEST_F(ScreenDisplay, StillScreenIsDrawnAgainWhenUncovered) {
    start({"still"});
    const Window cover = XCreateSimpleWindow(server.connection, DefaultRootWindow(server.connection), 0, 0, 400, 200, 0,
                                             0, WhitePixel(server.connection, DefaultScreen(server.connection)));
    XMapRaised(server.connection, cover);
    XSync(server.connection, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    XDestroyWindow(server.connection, cover);
    XSync(server.connection, False);
    EXPECT_TRUE(wait_until([&] { return read().row_text(1) == padded(heading); }, 1)) << describe(read());
}

TEST_F(ScreenDisplay, WindowSnapsBackToTheFrameSize) {
    start();
    XResizeWindow(server.connection, window, 800, 600);
    XFlush(server.connection);
    ASSERT_TRUE(wait_until([&] { return window_geometry_of(server.connection, window).width == 800; }, 2));
    EXPECT_TRUE(has_size(640, 400, 3));
    EXPECT_TRUE(wait_until([&] { return read().row_starts_with(1, heading); }, 2));
}

TEST_F(ScreenDisplay, FullScreenWithSquarePixelsIsLetterboxed) {
    start({"fullscreen"});
    // 640 x 400 scaled by 1.6 to 1024 x 640, centred: black bars of 64 rows above and below.
    ASSERT_TRUE(shows(1024, 768, [&] { return pixel(2, 64 + 2) == blue; }));
    for (int y : {0, 63, 704, 767})
        for (int x = 0; x < 1024; x += 8) ASSERT_EQ(pixel(x, y), black) << x << "," << y;
    EXPECT_EQ(pixel(2, 64), blue);                 // the heading's first pixel row
    EXPECT_EQ(pixel(23 * 8 * 8 / 5 + 2, 66), black);   // just right of the heading
}

// Alt+Enter goes windowed, stretched, stretched smooth, square pixels, square
// pixels smooth, and back to the window.
TEST_F(ScreenDisplay, AltEnterCyclesThroughTheFullScreenModes) {
    start();
    // Linear filtering blends the heading's right edge into the black beside it.
    auto edge_blended = [&](int y) {
        for (int x = 280; x < 310; ++x)
            if (pixel(x, y) != blue && pixel(x, y) != yellow && pixel(x, y) != black) return true;
        return false;
    };
    auto alt_enter = [&] { tap_key(server.connection, XK_Return, {XK_Alt_L}); };

    alt_enter();   // stretched: 1.6 x 1.92, no bars
    ASSERT_TRUE(shows(1024, 768, [&] { return pixel(2, 2) == blue; })) << width << "x" << height;
    EXPECT_FALSE(edge_blended(10));
    alt_enter();   // stretched and smooth
    EXPECT_TRUE(shows(1024, 768, [&] { return edge_blended(10); }));
    alt_enter();   // square pixels: 1024 x 640 between bars of 64 rows
    ASSERT_TRUE(shows(1024, 768, [&] { return pixel(2, 10) == black && pixel(2, 64 + 2) == blue; }));
    EXPECT_EQ(pixel(2, 63), black);
    EXPECT_EQ(pixel(2, 704), black);
    EXPECT_FALSE(edge_blended(64 + 10));
    alt_enter();   // square pixels and smooth
    EXPECT_TRUE(shows(1024, 768, [&] { return edge_blended(64 + 10); }));
    alt_enter();   // windowed again, at the frame's size
    EXPECT_TRUE(has_size(640, 400, 5));
    window_move_to_origin_and_focus(server.connection, window);
    EXPECT_TRUE(wait_until([&] { return read().row_text(1) == padded(heading); }, 3)) << describe(read());
}

TEST_F(ScreenDisplay, HardwareLayerDrawsImagesOverTheTextAndMirrors) {
    start({"hardware"});
    ASSERT_TRUE(shows(640, 400, [&] { return pixel(105, 55) == 0xFF0000 && pixel(165, 75) == 0xFFFFFF; }));
    const std::uint32_t bands[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    for (int band = 0; band < 4; ++band) {
        for (int x = 100 + 10 * band; x < 110 + 10 * band; ++x) {
            EXPECT_EQ(pixel(x, 50), bands[band]) << x;
            EXPECT_EQ(pixel(x, 59), bands[band]) << x;
            EXPECT_EQ(pixel(x + 60, 75), bands[3 - band]) << x + 60;   // mirrored left to right
        }
    }
    EXPECT_EQ(pixel(99, 55), black);
    EXPECT_EQ(pixel(140, 55), black);
    EXPECT_EQ(pixel(120, 60), black);
    EXPECT_EQ(read().at(1, 1).background, blue);   // the text beneath is untouched
}

}  // namespace
