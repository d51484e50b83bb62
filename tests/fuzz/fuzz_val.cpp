// VAL over arbitrary text. Property: the text of a plain decimal number
// (optional sign, digits with an optional point, optional E exponent; at most
// 256 significant digits and 18 exponent digits) gives exactly strtold's value.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/input/text_to_number.h"

namespace {

bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Counts digits from i on, and those from the first non-zero one.
void count_digits(const std::string& t, std::size_t& i, std::size_t& all, std::size_t& significant, bool point) {
    for (; i < t.size() && (digit(t[i]) || (point && t[i] == '.')); ++i) {
        if (t[i] == '.') {
            point = false;
            continue;
        }
        ++all;
        if (significant || t[i] != '0') ++significant;
    }
}

bool plain_decimal(const std::string& t) {
    std::size_t i = t.size() && (t[0] == '+' || t[0] == '-'), digits = 0, significant = 0;
    count_digits(t, i, digits, significant, true);
    if (digits == 0 || significant > 256) return false;
    if (i == t.size()) return true;
    if (t[i] != 'E' && t[i] != 'e') return false;
    i += 1 + (i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-'));
    std::size_t exponent_digits = 0, exponent_significant = 0;
    count_digits(t, i, exponent_digits, exponent_significant, false);
    return exponent_digits > 0 && exponent_significant <= 18 && i == t.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    strings_startup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pending_error = 0;
    str_desc* text = str_from_literal(data, static_cast<std::int32_t>(size));
    const long double value = text_to_number(text);
    str_free(text);
    const std::int32_t error = pending_error.exchange(0);
    if (error != 0 && (error != 6 || value != 0)) std::abort();   // only an over-long &H, &O, &B: Overflow and 0
    const std::string typed(reinterpret_cast<const char*>(data), size);
    if (plain_decimal(typed) && value != std::strtold(typed.c_str(), nullptr)) std::abort();
    return 0;
}
