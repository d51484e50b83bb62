// Selecting text in the window with the mouse, and the text that goes to
// and comes from other programs.
//
// A selection is a run of cells of the display page in reading order (from
// a first to a last cell, whole rows in between), so one pair of cell
// numbers describes it. The window thread keeps the selection state; the
// renderer draws the selected cells with foreground and background swapped
// in the frame (the page's cells never change).
//
// The text screen holds code page 437; other programs speak Unicode. Copied
// text is UTF-8 (or Latin-1 for the older STRING form); pasted text becomes
// the keys that type it.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct window_mapping;

// Code page 437 to Unicode: every code to its own character (1 to 31 and
// 127 to their symbols, 255 to the no-break space); 0 stays U+0000.
extern const char32_t cp437_to_unicode[256];
// The code page 437 code of a Unicode character; -1 when it has none.
// Control characters (U+0000 to U+001F, U+007F) have none.
int unicode_to_cp437(char32_t character);

// The selected cells that the renderer highlights: 0 none, else
// highlight_of(first, last) of cell numbers (row * columns + column).
// Stored whole by the window thread, read by the renderer.
extern std::atomic<std::uint64_t> selection_highlight;
inline std::uint64_t highlight_of(std::int32_t first, std::int32_t last) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) | static_cast<std::uint32_t>(last + 1);
}
inline bool highlight_covers(std::uint64_t highlight, std::int64_t cell) {
    return highlight != 0 && cell >= static_cast<std::int64_t>(highlight >> 32) &&
           cell < static_cast<std::int64_t>(highlight & 0xFFFFFFFFu);
}

// The cell under window pixel (x, y) of a page of columns x rows cells of
// cell_width x cell_height pixels shown through mapping; -1 when the pixel
// is beside the picture, unless clamp, which gives the nearest cell.
std::int32_t cell_at_window_point(const window_mapping& mapping, std::int32_t cell_width, std::int32_t cell_height,
                                  std::int32_t columns, std::int32_t rows, std::int32_t x, std::int32_t y, bool clamp);

// What the left button does to a page of columns x rows cells (two bytes a
// cell: character, attribute). Presses within multi_click_ms on the same
// cell count up: one starts a drag, two select the word (a run of
// non-blank characters, or of blanks), three the row; a fourth starts over.
struct text_selection {
    std::int32_t columns = 0, rows = 0;
    std::int32_t anchor = -1;             // cell pressed; -1 none
    std::int32_t first = 0, last = -1;    // selected cells; last < first: none
    std::int32_t clicks = 0;
    std::uint32_t press_time = 0;         // of the last press (X server milliseconds)
    bool dragging = false;                // button 1 held after a single press
};
inline constexpr std::uint32_t multi_click_ms = 400;

// A press on cell (-1: beside the text). True when it selected (a double or triple click).
bool selection_press(text_selection& selection, const std::uint8_t* cells, std::int32_t columns, std::int32_t rows,
                     std::int32_t cell, std::uint32_t time);
// The pointer moved to cell (clamped) with the button held.
void selection_drag(text_selection& selection, std::int32_t cell);
// The button was released: true when a drag has selected cells.
bool selection_release(text_selection& selection);
// The highlight word for the selection (0 when nothing is selected).
std::uint64_t selection_highlight_word(const text_selection& selection);

// The text of cells first to last of a page columns wide, as UTF-8: blanks
// at the end of each row dropped, rows joined by a newline; 0 and 255 are blanks.
std::string selection_text(const std::uint8_t* cells, std::int32_t columns, std::int32_t first, std::int32_t last);
// UTF-8 text as Latin-1: characters outside it become '?' (invalid bytes are dropped).
std::string utf8_to_latin1(const std::string& text);

// The keys that type pasted text, fed a piece at a time (UTF-8, or Latin-1
// for STRING): code page 437 codes, Enter (13) for "\r\n", "\n" and "\r", a
// blank for a tab; other control characters, characters outside code page
// 437 and malformed UTF-8 are dropped. At most paste_key_limit keys.
inline constexpr std::size_t paste_key_limit = 4096;
struct paste_decoder {
    bool latin1 = false;
    std::vector<std::uint8_t> keys;
    char32_t partial = 0;          // UTF-8 sequence being read
    int continuation_left = 0;
    char32_t sequence_minimum = 0; // smallest character the sequence may encode
    bool after_return = false;     // the last character was "\r"
};
void paste_decode(paste_decoder& decoder, const std::uint8_t* bytes, std::size_t count);
