#include "runtime/input/console_input.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "runtime/console/print.h"
#include "runtime/input/console_stdin.h"
#include "runtime/input/input_targets.h"
#include "runtime/strings/str_desc.h"

namespace {

constexpr std::size_t open_quote = SIZE_MAX;

// A piece of the line: the part that belongs to one target.
struct piece {
    std::size_t begin;   // its first byte (the opening quote of a quoted piece)
    bool quoted;
    std::size_t close;   // the closing quote, or open_quote
};

// The accepted line, and where its pieces lie. Each byte is judged when it
// is added, against the last piece only (the earlier ones cannot change), so
// a line of any length costs time in proportion to its length.
struct console_line {
    std::int32_t target_count;
    bool whole_line;   // LINE INPUT: commas and quotes are ordinary characters
    std::uint8_t* text = nullptr;
    std::size_t length = 0, room = 0;
    std::vector<piece> pieces{piece{0, false, open_quote}};

    std::int32_t index() const { return static_cast<std::int32_t>(pieces.size()); }
    std::size_t content_start(const piece& p) const { return p.begin + (p.quoted ? 1 : 0); }
    // Where the content of piece n (0-based) ends: its closing quote, the
    // comma before the next piece, or the end of the line.
    std::size_t content_end(std::size_t n) const {
        const piece& p = pieces[n];
        if (p.quoted && p.close != open_quote) return p.close;
        return n + 1 < pieces.size() ? pieces[n + 1].begin - 1 : length;
    }

    // Room for one more byte; false when the line cannot grow (a string
    // holds at most 2^31 - 1 bytes, or memory ran out): the byte is dropped.
    bool make_room() {
        if (length >= INT32_MAX) return false;
        if (length < room) return true;
        const std::size_t grown = room ? 2 * room : 256;
        auto* bigger = static_cast<std::uint8_t*>(std::realloc(text, grown));
        if (!bigger) return false;
        text = bigger;
        room = grown;
        return true;
    }
    // Whether the last piece's content would be acceptable with c after it.
    bool acceptable_with(std::uint8_t c) {
        const piece& p = pieces.back();
        text[length] = c;
        const std::size_t start = content_start(p);
        return input_piece_acceptable(index(), text + start, static_cast<std::int32_t>(length + 1 - start));
    }

    void append(std::uint8_t c) {
        if (!make_room()) return;
        piece& p = pieces.back();
        if (whole_line || (p.quoted && p.close == open_quote && c != '"')) {
            if (!acceptable_with(c)) return;
        } else if (p.quoted && p.close == open_quote) {
            p.close = length;   // the closing quote: the content stays as it was
        } else if (c == ',') {
            if (index() == target_count || !input_piece_acceptable(index() + 1, text, 0)) return;
            pieces.push_back(piece{length + 1, false, open_quote});
        } else if (p.quoted) {
            return;   // after the closing quote only a comma may follow
        } else if (c == '"' && length == p.begin) {
            if (!input_piece_acceptable(index(), text, 0)) return;
            p.quoted = true;
        } else if (!acceptable_with(c)) {
            return;
        }
        text[length++] = c;
    }

    void take_back() {
        if (length == 0) return;
        const std::size_t last = --length;
        piece& p = pieces.back();
        if (whole_line) return;
        if (pieces.size() > 1 && last + 1 == p.begin) pieces.pop_back();   // the comma that began it
        else if (p.quoted && p.close == last) p.close = open_quote;
        else if (p.quoted && p.begin == last) p.quoted = false;
    }

    // Each target gets its piece, or its start value when it has none.
    void store() {
        str_desc line{};   // the line's text is ours, not the heap's: compaction leaves it in place
        line.text = text;
        line.len = static_cast<std::int32_t>(length);
        for (std::int32_t i = 1; i <= target_count; ++i) {
            const bool has_piece = i <= index();
            const std::size_t start = has_piece ? content_start(pieces[i - 1]) : 0;
            const std::size_t end = has_piece ? content_end(i - 1) : 0;
            if (end > start)
                input_piece_store(i, &line, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - start));
            else
                input_target_reset(i);
        }
    }
};

enum class line_end { key, input_end };

// Feeds the bytes of one line of standard input to the line as keys.
line_end read_line(console_line& line) {
    for (;;) {
        const int c = console_read_byte();
        if (c < 0) return line_end::input_end;
        switch (c) {
            case '\n': return line_end::key;
            case '\r':   // Enter: the rest of the line is not part of the entry
                for (int rest = c; rest != '\n';)
                    if ((rest = console_read_byte()) < 0) return line_end::input_end;
                return line_end::key;
            case 8: line.take_back(); break;
            case 9:
                for (std::size_t n = 8 - (line.length & 7); n > 0; --n) line.append(' ');
                break;
            case 7: case 11: case 12: case 28: case 29: case 30: case 31: break;
            default: line.append(static_cast<std::uint8_t>(c)); break;
        }
    }
}

}  // namespace

void console_input_line(std::int32_t target_count, std::int8_t newline) {
    console_line line;
    line.target_count = target_count;
    const std::uint32_t first_type = input_target_type(1);
    line.whole_line = (first_type & input_type_string) && (first_type & input_type_line_input);
    for (std::int32_t index = 1; index <= target_count; ++index) input_target_start(index);

    const line_end ended = read_line(line);
    line.store();

    const std::uint32_t mark = temp_mark();
    const bool terminal_showed_it = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    static const std::uint8_t nothing = 0;
    if (!terminal_showed_it)
        print_string(str_from_literal(line.text ? line.text : &nothing, static_cast<std::int32_t>(line.length)), 0);
    // The terminal has ended the line itself when Enter was typed there.
    if (newline && (!terminal_showed_it || ended == line_end::input_end)) print_string(permanent_empty_string, 1);
    temp_cleanup(mark, 0);
    std::free(line.text);
}
