#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/e2e/harness/harness.h"

namespace {

// The glyph rows of the font file, one byte a row, leftmost pixel in the high bit.
const std::string& glyph_rows() {
    static const std::string rows = [] {
        std::ifstream in(std::string(TEST_SOURCE_DIR) + "/data/cp437_8x16.bin", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return rows;
}

constexpr std::uint32_t mixed_block = 0xFF000000;   // no window pixel (they are 0x00RRGGBB)

// The 640 x 400 frame that a window of zoom times its size shows: each
// pixel the colour of its zoom x zoom block, or mixed_block.
std::vector<std::uint32_t> frame_pixels(const std::vector<std::uint32_t>& pixels, int width, int zoom) {
    std::vector<std::uint32_t> frame(640 * 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            std::uint32_t& p = frame[static_cast<std::size_t>(y) * 640 + x];
            p = pixels[static_cast<std::size_t>(y * zoom) * width + x * zoom];
            for (int dy = 0; dy < zoom; ++dy)
                for (int dx = 0; dx < zoom; ++dx)
                    if (pixels[static_cast<std::size_t>(y * zoom + dy) * width + x * zoom + dx] != p) p = mixed_block;
        }
    return frame;
}

// The cell's top pixel row is background: the printable ASCII glyphs leave it blank.
screen_cell decode_cell(const std::vector<std::uint32_t>& frame, int left, int top) {
    screen_cell cell;
    cell.background = cell.foreground = frame[static_cast<std::size_t>(top) * 640 + left];
    std::uint8_t rows[16] = {};   // bit set: not the background
    for (int r = 0; r < 16; ++r) {
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t p = frame[static_cast<std::size_t>(top + r) * 640 + left + x];
            if (p == mixed_block) return {};
            if (p == cell.background) continue;
            if (cell.foreground != cell.background && p != cell.foreground) return {};   // a third colour
            cell.foreground = p;
            rows[r] |= static_cast<std::uint8_t>(0x80 >> x);
        }
    }
    // A glyph without cursor rows wins; else the one that needs the fewest. A
    // row that differs from the glyph's but is all foreground may be a cursor row.
    int fewest_cursor_rows = 17;
    for (int c = ' '; c <= '~' && fewest_cursor_rows > 0; ++c) {
        std::uint32_t cursor_rows = 0;
        bool matches = true;
        for (int r = 0; r < 16 && matches; ++r) {
            if (rows[r] == static_cast<std::uint8_t>(glyph_rows()[c * 16 + r])) continue;
            if (rows[r] == 0xFF) cursor_rows |= 1u << r;
            else matches = false;
        }
        if (!matches || __builtin_popcount(cursor_rows) >= fewest_cursor_rows) continue;
        fewest_cursor_rows = __builtin_popcount(cursor_rows);
        cell.recognised = true;
        cell.character = static_cast<std::uint8_t>(c);
        cell.cursor_rows = cursor_rows;
    }
    return cell;
}

}  // namespace

const screen_cell& text_screen::at(int row, int column) const {
    static const screen_cell none;
    const bool inside = !cells.empty() && row >= 1 && row <= 25 && column >= 1 && column <= 80;
    return inside ? cells[static_cast<std::size_t>(row - 1) * 80 + column - 1] : none;
}

std::string text_screen::row_text(int row) const {
    std::string text;
    for (int column = 1; column <= 80; ++column)
        text += at(row, column).recognised ? static_cast<char>(at(row, column).character) : '?';
    return text.erase(text.find_last_not_of(' ') + 1);
}

std::string text_screen::dump() const {
    std::string text;
    for (int row = 1; row <= 25; ++row) text += std::to_string(row) + "|" + row_text(row) + "\n";
    return text;
}

bool screen_shows(Display* display, Window window, text_screen& screen,
                  const std::function<bool(const text_screen&)>& check, double timeout_seconds) {
    window_picture picture;
    return window_shows(display, window, picture, [&](const window_picture& whole) {
        screen.cells.clear();
        const int zoom = std::min(whole.width / 640, whole.height / 400);
        if (zoom < 1 || glyph_rows().size() != 256 * 16) return false;
        const std::vector<std::uint32_t> frame = frame_pixels(whole.pixels, whole.width, zoom);
        for (int row = 0; row < 25; ++row)
            for (int column = 0; column < 80; ++column)
                screen.cells.push_back(decode_cell(frame, column * 8, row * 16));
        return check(screen);
    }, timeout_seconds);
}
