#include "runtime/terminal/console_input.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "runtime/input/input_targets.h"
#include "runtime/screen/print.h"
#include "runtime/strings/str_desc.h"
#include "runtime/terminal/console_stdin.h"

namespace {

constexpr std::size_t open_quote = SIZE_MAX;

// What a line keeps: a megabyte, far more than anyone types into the
// window's INPUT. A byte beyond it is dropped like one the rules refuse, so
// the rest of an over-long line is read and dropped up to the line's end and
// a line takes bounded memory whatever arrives.
constexpr std::size_t line_kept = std::size_t{1} << 20;

// How often a numeric piece's check is kept as the piece grows: taking a
// byte back starts again from the last check kept and repeats at most this
// many bytes.
constexpr std::size_t check_kept_every = 256;

// A piece of the line: the part that belongs to one target.
struct piece {
    std::size_t begin;   // its first byte (the opening quote of a quoted piece)
    bool quoted;
    std::size_t close;   // the closing quote, or open_quote
    number_scan check;   // a numeric target's check of the content so far
    std::vector<number_scan> checks_kept;   // the check after 0, 256, 512, ... bytes of content
};

// The accepted line, and where its pieces lie. Each byte is judged when it
// is added, against the last piece only (the earlier ones cannot change),
// and a numeric piece's check goes along with its bytes, so a line costs
// time in proportion to its length.
struct console_line {
    std::int32_t target_count;
    bool whole_line;   // LINE INPUT: commas and quotes are ordinary characters
    std::uint8_t* text = nullptr;
    std::size_t length = 0, room = 0;
    std::vector<piece> pieces;

    std::int32_t index() const { return static_cast<std::int32_t>(pieces.size()); }
    bool numeric(std::int32_t n) const { return !(input_target_type(n) & input_type_string); }
    std::size_t content_start(const piece& p) const { return p.begin + (p.quoted ? 1 : 0); }
    // Where the content of piece n (0-based) ends: its closing quote, the
    // comma before the next piece, or the end of the line.
    std::size_t content_end(std::size_t n) const {
        const piece& p = pieces[n];
        if (p.quoted && p.close != open_quote) return p.close;
        return n + 1 < pieces.size() ? pieces[n + 1].begin - 1 : length;
    }

    void start_piece(std::size_t begin) {
        const number_scan check(numeric(index() + 1) ? input_target_type(index() + 1) : 0);
        pieces.push_back(piece{begin, false, open_quote, check, {check}});
    }

    // Room for one more byte; false when the line holds all it keeps, or
    // memory ran out: the byte is dropped.
    bool make_room() {
        if (length >= line_kept) return false;
        if (length < room) return true;
        const std::size_t grown = room ? 2 * room : 256;
        auto* bigger = static_cast<std::uint8_t*>(std::realloc(text, grown));
        if (!bigger) return false;
        text = bigger;
        room = grown;
        return true;
    }
    // Whether the last piece's content would be acceptable with c after it;
    // if so, c goes into the piece's check.
    bool content_takes(std::uint8_t c) {
        piece& p = pieces.back();
        const std::size_t size = length + 1 - content_start(p);
        if (!numeric(index()))   // a string piece: only its length counts
            return input_piece_acceptable(index(), text, static_cast<std::int32_t>(size));
        number_scan next = p.check;
        if (!next.add(c) || !next.acceptable()) return false;
        p.check = next;
        if (size % check_kept_every == 0) p.checks_kept.push_back(next);
        return true;
    }
    // The last piece's check again, once a byte of its content was taken back.
    void content_shrank() {
        piece& p = pieces.back();
        if (!numeric(index())) return;
        const std::size_t start = content_start(p), kept = (length - start) / check_kept_every;
        p.checks_kept.resize(kept + 1);
        p.check = p.checks_kept.back();
        for (std::size_t i = start + kept * check_kept_every; i < length; ++i) p.check.add(text[i]);
    }

    void append(std::uint8_t c) {
        if (!make_room()) return;
        piece& p = pieces.back();
        if (whole_line || (p.quoted && p.close == open_quote && c != '"')) {
            if (!content_takes(c)) return;
        } else if (p.quoted && p.close == open_quote) {
            p.close = length;   // the closing quote: the content stays as it was
        } else if (c == ',') {
            if (index() == target_count || !input_piece_acceptable(index() + 1, text, 0)) return;
            start_piece(length + 1);
        } else if (p.quoted) {
            return;   // after the closing quote only a comma may follow
        } else if (c == '"' && length == p.begin) {
            if (!input_piece_acceptable(index(), text, 0)) return;
            p.quoted = true;
        } else if (!content_takes(c)) {
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
        else content_shrank();
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
    line.start_piece(0);
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
