// The entries of a range are formed as decimal text from whole numbers of
// the finest unit among FROM, TO and STEP (0.01 for 360 700 0.01), so that
// the thousandth step is as exact as the first.
#include "calculator/table_mode.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "calculator/command_line_modes.h"
#include "calculator/entry_answers.h"
#include "calculator/entry_lines.h"

namespace {

using wide = __int128;

constexpr int finest_scale = 18;   // at most 18 decimals
constexpr wide largest_units = static_cast<wide>(1000000000000000000LL) * 1000000000000000000LL;

wide power_of_ten(int n) {
    wide p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// A decimal number: units / 10^scale.
struct decimal {
    wide units = 0;
    int scale = 0;
};

// [+-]digits[.digits][E[+-]digits], at most 18 significant digits.
bool parse_decimal(const char* text, decimal& number) {
    const char* c = text;
    const bool negative = *c == '-';
    if (*c == '-' || *c == '+') ++c;
    int digits = 0, significant = 0;
    bool point = false;
    for (;; ++c) {
        if (*c == '.' && !point) {
            point = true;
        } else if (*c >= '0' && *c <= '9') {
            ++digits;
            if (number.units != 0 || *c != '0') ++significant;
            number.units = number.units * 10 + (*c - '0');
            if (point) ++number.scale;
        } else {
            break;
        }
    }
    if (digits == 0 || significant > 18) return false;
    if (*c == 'e' || *c == 'E') {
        ++c;
        const bool down = *c == '-';
        if (*c == '-' || *c == '+') ++c;
        int exponent = 0, exponent_digits = 0;
        for (; *c >= '0' && *c <= '9' && exponent_digits < 4; ++c, ++exponent_digits) exponent = exponent * 10 + (*c - '0');
        if (exponent_digits == 0) return false;
        number.scale += down ? exponent : -exponent;
    }
    if (*c != '\0' || number.scale > finest_scale) return false;
    if (number.scale < 0) {
        if (number.scale < -finest_scale) return false;
        number.units *= power_of_ten(-number.scale);
        number.scale = 0;
    }
    if (number.units > largest_units) return false;
    if (negative) number.units = -number.units;
    return true;
}

// units / 10^scale as the shortest decimal text: "360", "360.01", "-0.5".
std::string decimal_text(wide units, int scale) {
    std::string digits;
    const bool negative = units < 0;
    if (negative) units = -units;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(units % 10)));
        units /= 10;
    } while (units != 0);
    if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(scale));
    std::string fraction = digits.substr(whole.size());
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return (negative ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

// FROM, FROM +- STEP, ... up to and including TO.
bool range_entries(const char* program, char** arguments, std::vector<std::string>& entries) {
    decimal from, to, step;
    if (!parse_decimal(arguments[0], from) || !parse_decimal(arguments[1], to) || !parse_decimal(arguments[2], step)) {
        std::fprintf(stderr, "%s: --table FROM TO STEP: FROM, TO and STEP must be decimal numbers\n", program);
        return false;
    }
    if (step.units <= 0) {
        std::fprintf(stderr, "%s: --table FROM TO STEP: STEP must be above 0\n", program);
        return false;
    }
    const int scale = std::max({from.scale, to.scale, step.scale});
    for (decimal* number : {&from, &to, &step}) number->units *= power_of_ten(scale - number->scale);
    const wide span = to.units >= from.units ? to.units - from.units : from.units - to.units;
    const wide direction = to.units >= from.units ? 1 : -1;
    if (span / step.units >= static_cast<wide>(most_entries)) {
        std::fprintf(stderr, "%s: --table FROM TO STEP: more than 1,000,000 rows\n", program);
        return false;
    }
    const wide count = span / step.units + 1;
    for (wide k = 0; k < count; ++k) entries.push_back(decimal_text(from.units + direction * k * step.units, scale));
    return true;
}

// A SINGLE as a CSV number: as PRINT shows it, without the leading blank, with a 0 before a leading point.
std::string csv_number(float value) {
    std::string text = printed_number(value);
    const std::size_t point = text[0] == '-' ? 1 : 0;
    if (text[point] == '.') text.insert(point, "0");
    return text;
}

// Standard output through a buffer of our own. A reader that has gone (a
// closed pipe) ends the program as the closed pipe ends any writer, without
// a word, also when SIGPIPE was ignored by whoever started it.
struct output {
    std::string buffer;
    bool failed = false;

    bool flush() {
        for (std::size_t sent = 0; sent < buffer.size() && !failed;) {
            const ssize_t n = write(STDOUT_FILENO, buffer.data() + sent, buffer.size() - sent);
            if (n >= 0) sent += static_cast<std::size_t>(n);
            else if (errno == EPIPE) {
                std::signal(SIGPIPE, SIG_DFL);
                std::raise(SIGPIPE);
            } else if (errno != EINTR) failed = true;
        }
        buffer.clear();
        return !failed;
    }
    void add(const std::string& text) {
        buffer += text;
        if (buffer.size() >= 65536) flush();
    }
};

}  // namespace

int table_mode(const char* program, int argc, char** argv) {
    std::vector<std::string> entries;
    if (argc == 3) {
        if (!range_entries(program, argv, entries)) return 2;
    } else if (argc != 0) {
        std::fprintf(stderr, "%s: --table takes three numbers FROM TO STEP, or none to read the entries from standard input\n",
                     program);
        return 2;
    } else if (!entries_from_input(program, entries)) {
        return 2;
    }
    entry_answers_start();
    output out;
    out.add("entry,wavelength_nm,x,y,purple_x,purple_y\n");
    int status = 0;
    for (const std::string& entry : entries) {
        const entry_answer answer = answer_entry(entry);
        std::string row = csv_field(entry);
        if (answer.error != 0) {
            report_entry_error(program, entry, answer);
            status = 1;
            row += ",,,,,";
        } else {
            row += "," + csv_number(answer.wavelength) + "," + csv_number(answer.x) + "," + csv_number(answer.y) + ",";
            if (answer.purple) row += csv_number(answer.purple_x) + "," + csv_number(answer.purple_y);
            else row += ",";
        }
        out.add(row + "\n");
    }
    if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write to standard output\n", program);
        return 1;
    }
    return status;
}
