// Single, double and extended precision values as printed text.
//
// printf's "% .6E" (single) or "% .15E" (double) rounds the value to its
// printed number of significant digits; the text is then laid out from those
// digits. Plain notation rounds at the last kept digit, which gives the same
// digits as the E conversion, so plain notation needs no second printf call.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/strings/number_to_text.h"

namespace {

// A value rounded to `precision` significant digits, as printf gave them.
struct decimal_digits {
    char sign;             // ' ' or '-'
    char digits[16];       // the significant digits, trailing zeros included
    int precision;         // 7 for single, 16 for double
    int count;             // significant digits without the trailing zeros
    int exponent;          // of the first digit
};

// The value rounded by printf's "% .NE" to decimals + 1 significant digits
// (sign, digit, point, N digits, "E", sign, exponent), padded with zeros to
// `precision` digits.
decimal_digits rounded_digits(double value, int decimals, int precision) {
    char text[40];
    std::snprintf(text, sizeof text, "% .*E", decimals, value);
    decimal_digits number{};
    number.precision = precision;
    number.sign = text[0];
    number.digits[0] = text[1];
    std::memcpy(number.digits + 1, text + 3, decimals);
    std::memset(number.digits + decimals + 1, '0', precision - decimals - 1);
    const char* exponent = text + 3 + decimals + 1;
    int magnitude = 0;
    for (const char* p = exponent + 1; *p; ++p) magnitude = magnitude * 10 + (*p - '0');
    number.exponent = exponent[0] == '-' ? -magnitude : magnitude;
    int count = precision;
    while (count > 0 && number.digits[count - 1] == '0') --count;
    number.count = count;
    return number;
}

// Lays the digits out as PRINT shows them; returns the length of the text.
int lay_out(const decimal_digits& number, char exponent_letter, char* out) {
    if (number.count == 0) {  // zero, also negative zero
        std::memcpy(out, " 0", 2);
        return 2;
    }
    const int count = number.count;
    const int e = number.exponent;
    char* p = out;
    *p++ = number.sign;
    if (e < number.precision && e - count >= -(number.precision + 1)) {
        if (e >= 0) {  // integer part; the digits past `count` are zeros
            std::memcpy(p, number.digits, e + 1);
            p += e + 1;
            if (count > e + 1) {
                *p++ = '.';
                std::memcpy(p, number.digits + e + 1, count - e - 1);
                p += count - e - 1;
            }
        } else {  // below 1: no "0" before the point
            *p++ = '.';
            std::memset(p, '0', -e - 1);
            p += -e - 1;
            std::memcpy(p, number.digits, count);
            p += count;
        }
        return static_cast<int>(p - out);
    }
    *p++ = number.digits[0];
    if (count > 1) {
        *p++ = '.';
        std::memcpy(p, number.digits + 1, count - 1);
        p += count - 1;
    }
    *p++ = exponent_letter;
    *p++ = e < 0 ? '-' : '+';
    const int magnitude = e < 0 ? -e : e;
    if (magnitude > 99) *p++ = static_cast<char>('0' + magnitude / 100);
    *p++ = static_cast<char>('0' + magnitude / 10 % 10);
    *p++ = static_cast<char>('0' + magnitude % 10);
    return static_cast<int>(p - out);
}

// Infinities and NaNs have no digits to lay out. They print as " INF",
// "-INF" and " NAN" (a NaN's sign means nothing): short, plain words that
// fit every capacity and cannot be mistaken for a number.
const char* special_word(double value) { return std::isnan(value) ? " NAN" : value < 0 ? "-INF" : " INF"; }

str_desc* temp_text(const char* text, int length, std::uint32_t capacity) {
    str_desc* s = str_new(capacity, 1);
    std::memcpy(s->text, text, length);
    s->len = length;
    return s;
}

str_desc* printed(const decimal_digits& number, char exponent_letter, std::uint32_t capacity) {
    char out[32];
    return temp_text(out, lay_out(number, exponent_letter, out), capacity);
}

}  // namespace

str_desc* single_to_text(float value) {
    if (!std::isfinite(value)) return temp_text(special_word(value), 4, 16);
    return printed(rounded_digits(value, 6, 7), 'E', 16);
}

str_desc* double_to_text(double value) {
    if (!std::isfinite(value)) return temp_text(special_word(value), 4, 32);
    decimal_digits number = rounded_digits(value, 15, 16);
    if (number.digits[15] == '9') {
        // A sixteenth digit 9 is representation noise (0.7 + 0.1 gives
        // 7.999999999999999E-01): round to fifteen digits instead, so that
        // it prints as " .8". Between 1E+15 and 1E+16 plain notation ends at
        // the units digit, the sixteenth, which is then printed as it is.
        const decimal_digits fifteen = rounded_digits(value, 14, 16);
        if (number.exponent != 15 || fifteen.exponent != 15) number = fifteen;
    }
    return printed(number, 'D', 32);
}

str_desc* float_to_text(long double value) { return double_to_text(static_cast<double>(value)); }
