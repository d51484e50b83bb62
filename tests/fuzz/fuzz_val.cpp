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

bool plain_decimal(const std::string& t) {
    std::size_t i = t.size() && (t[0] == '+' || t[0] == '-'), digits[2] = {0, 0}, significant[2] = {0, 0};
    for (int part = 0; part < 2; ++part) {   // the number's digits, then the exponent's
        for (bool point = part == 0; i < t.size() && (std::isdigit(static_cast<unsigned char>(t[i])) || (point && t[i] == '.')); ++i) {
            if (t[i] == '.') point = false;
            else digits[part] += 1, significant[part] += significant[part] || t[i] != '0';
        }
        if (part == 1) break;
        if (digits[0] == 0 || significant[0] > 256) return false;
        if (i == t.size()) return true;
        if (t[i] != 'E' && t[i] != 'e') return false;
        i += 1 + (i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-'));
    }
    return digits[1] > 0 && significant[1] <= 18 && i == t.size();
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
