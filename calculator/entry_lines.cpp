#include "calculator/entry_lines.h"

#include <cstdint>

#include "runtime/terminal/console_stdin.h"

namespace {

constexpr std::size_t line_kept = std::size_t{1} << 20;   // what INPUT keeps of a line

// INPUT's editor for one string target, fed byte by byte.
struct line_editor {
    std::string typed;   // the line as INPUT holds it, quotes included
    bool quoted = false;
    std::size_t closed_at = std::string::npos;   // the closing quote
    bool too_long = false;

    void add(char c) {
        if (typed.size() >= line_kept) {
            too_long = true;
            return;
        }
        const bool open = quoted && closed_at == std::string::npos;
        if (open && c == '"') closed_at = typed.size();
        else if (!open && (c == ',' || closed_at != std::string::npos)) return;   // dropped
        else if (c == '"' && typed.empty()) quoted = true;
        typed += c;
    }
    void key(char c) {
        switch (static_cast<unsigned char>(c)) {
            case 8:
                if (typed.empty()) break;
                typed.pop_back();
                if (closed_at == typed.size()) closed_at = std::string::npos;
                else if (typed.empty()) quoted = false;
                break;
            case 9:
                for (std::size_t n = 8 - (typed.size() & 7); n > 0; --n) add(' ');
                break;
            case 7: case 11: case 12: case 28: case 29: case 30: case 31: break;
            default: add(c);
        }
    }
    std::string entry() const {
        if (!quoted) return typed;
        return typed.substr(1, (closed_at == std::string::npos ? typed.size() : closed_at) - 1);
    }
};

constexpr char too_long_text[] = " is longer than an entry may be (1 MiB)";

}  // namespace

bool entry_from_line(const std::string& line, std::string& entry) {
    line_editor editor;
    for (const char c : line) editor.key(c);
    entry = editor.entry();
    return !editor.too_long;
}

bool read_entry_lines(std::vector<std::string>& entries, std::string& problem) {
    line_editor editor;
    bool begun = false;
    for (;;) {
        const int c = console_read_byte();   // each line end reads as one "\n"
        if (c >= 0 && c != '\n') {
            editor.key(static_cast<char>(c));
            begun = true;
            continue;
        }
        if (c < 0 && !begun) return true;
        if (editor.too_long) {
            problem = "line " + std::to_string(entries.size() + 1) + too_long_text;
            return false;
        }
        if (entries.size() == most_entries) {
            problem = "more than 1,000,000 entries";
            return false;
        }
        entries.push_back(editor.entry());
        editor = line_editor{};
        begun = false;
        if (c < 0) return true;
    }
}
