#include "runtime/strings/text_to_number.h"

#include <cstdint>
#include <cstdlib>

#include "runtime/errors/errors.h"

namespace {

// Significant digits kept. Beyond them the value is taken from the first 256
// digits: further integer digits still raise the decimal exponent, further
// fraction digits are dropped. 256 digits are far more than the 64-bit
// significand of the result can tell apart.
constexpr int max_kept_digits = 256;
// Up to this many integer digits the value is exact in a 64-bit integer.
constexpr std::int64_t max_integer_path_digits = 18;
constexpr int max_exponent_digits = 18;

enum reading_state { start, integer_part, fraction, exponent_letter, exponent_part };

int digit_in_base(std::uint8_t c, int base) {
    int digit = 99;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    return digit < base ? digit : -1;
}

// An &H, &O or &B constant; p points after the "&".
long double base_constant(const std::uint8_t* p, const std::uint8_t* end) {
    if (end - p < 2) return 0;
    int base, bits_per_digit, max_significant;
    switch (*p) {
        case 'H': case 'h': base = 16, bits_per_digit = 4, max_significant = 16; break;
        case 'O': case 'o': base = 8, bits_per_digit = 3, max_significant = 22; break;
        case 'B': case 'b': base = 2, bits_per_digit = 1, max_significant = 64; break;
        default: return 0;
    }
    std::uint64_t value = 0;
    int significant = 0;
    int first_digit = 0;
    for (++p; p < end; ++p) {
        const int digit = digit_in_base(*p, base);
        if (digit < 0) break;
        if (significant == 0) {
            if (digit == 0) continue;  // leading zeros do not count
            first_digit = digit;
        }
        ++significant;
        // 22 octal digits fit 64 bits only when the first is 0 or 1.
        if (significant > max_significant || (base == 8 && significant == 22 && first_digit > 1)) {
            raise_error(6);
            return 0;
        }
        value = value << bits_per_digit | static_cast<std::uint64_t>(digit);
    }
    return static_cast<long double>(static_cast<std::int64_t>(value));
}

// Writes n in decimal at p; returns the end.
char* put_decimal(char* p, std::int64_t n) {
    if (n < 0) *p++ = '-';
    std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    char reversed[20];
    int length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (length > 0) *p++ = reversed[--length];
    return p;
}

}  // namespace

long double text_to_number(const str_desc* text) {
    if (text->len <= 0) return 0;
    const std::uint8_t* p = text->text;
    const std::uint8_t* const end = p + text->len;

    reading_state state = start;
    bool negative = false;
    bool exponent_negative = false;
    char digits[max_kept_digits];
    std::int64_t significant = 0;       // significant digits read (some maybe not kept)
    std::int64_t integer_digits = 0;    // position of the point after the first significant digit
    std::int64_t integer_value = 0;     // of the first 18 integer digits
    std::int64_t exponent = 0;
    int exponent_digits = 0;

    for (bool reading = true; reading && p < end; ++p) {
        const std::uint8_t c = *p;
        if (c == ' ' || c == '\t') continue;
        if (c >= '0' && c <= '9') {
            const int d = c - '0';
            if (state == start || state == integer_part) {
                state = integer_part;
                if (significant == 0 && d == 0) continue;
                if (significant < max_kept_digits) digits[significant] = static_cast<char>(c);
                ++significant;
                ++integer_digits;
                if (significant <= max_integer_path_digits) integer_value = integer_value * 10 + d;
            } else if (state == fraction) {
                if (significant == 0 && d == 0) {
                    --integer_digits;  // a leading zero of the fraction
                    continue;
                }
                if (significant < max_kept_digits) digits[significant] = static_cast<char>(c);
                ++significant;
            } else {
                state = exponent_part;
                if (exponent_digits == 0 && d == 0) continue;
                if (exponent_digits == max_exponent_digits) break;
                exponent = exponent * 10 + d;
                ++exponent_digits;
            }
            continue;
        }
        switch (c) {
            case '&':
                if (state != start) reading = false;
                else return base_constant(p + 1, end);
                break;
            case '+':
            case '-':
                if (state == start) {
                    negative = c == '-';
                    state = integer_part;
                } else if (state == exponent_letter) {
                    exponent_negative = c == '-';
                    state = exponent_part;
                } else {
                    reading = false;
                }
                break;
            case '.':
                if (state == start || state == integer_part) state = fraction;
                else reading = false;
                break;
            case 'E': case 'e': case 'D': case 'd':
                if (state == start || state == integer_part || state == fraction) state = exponent_letter;
                else reading = false;
                break;
            default: reading = false;
        }
    }

    if (significant == 0) return 0;
    if (exponent == 0 && significant == integer_digits && significant <= max_integer_path_digits)
        return static_cast<long double>(negative ? -integer_value : integer_value);

    // The digits as "-d.dddE<exponent>", read by the C library to the
    // nearest extended value (infinity or zero beyond its range).
    char built[1 + max_kept_digits + 1 + 1 + 21 + 1];
    char* out = built;
    if (negative) *out++ = '-';
    const int kept = significant < max_kept_digits ? static_cast<int>(significant) : max_kept_digits;
    *out++ = digits[0];
    if (kept > 1) {
        *out++ = '.';
        for (int i = 1; i < kept; ++i) *out++ = digits[i];
    }
    *out++ = 'E';
    out = put_decimal(out, (exponent_negative ? -exponent : exponent) + integer_digits - 1);
    *out = '\0';
    return std::strtold(built, nullptr);
}
