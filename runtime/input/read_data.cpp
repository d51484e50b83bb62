// Numeric READ: the item scanner, the conversion of the scanned digits and
// the range checks of the target type.
#include "runtime/input/read_data.h"

#include <cmath>
#include <cstdlib>

#include "runtime/errors/errors.h"

namespace {

constexpr std::int32_t max_digits = 256;
constexpr std::int32_t max_exponent_digits = 18;

enum class number_base : std::uint8_t { decimal, hexadecimal, octal, binary };

// One scanned item. A decimal item keeps its significant digits without
// leading zeros, worth d1.d2d3... x 10^decimal_exponent; a hexadecimal, octal
// or binary item keeps its digits as written.
struct scanned_number {
    char digits[max_digits];
    std::int32_t digit_count = 0;
    std::int64_t decimal_exponent = 0;
    bool negative = false;
    number_base base = number_base::decimal;
    std::int64_t exponent_value = 0;
    std::int32_t exponent_digits = 0;
    bool exponent_negative = false;
};

enum class scan_outcome { scanned, no_data, too_long, syntax };

// Where the decimal scanner stands within an item.
enum scan_state {
    at_start,          // nothing yet
    in_integer,        // sign or integer digits seen
    in_fraction,       // point seen
    at_exponent,       // exponent letter seen
    in_exponent,       // exponent sign or digits seen
    after_type_suffix  // one of ! # $ % & ` ~ seen
};

bool is_type_suffix(char c) {
    return c == '!' || c == '#' || c == '$' || c == '%' || c == '&' || c == '`' || c == '~';
}

bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

// The value of digit c in the given base, or -1 when c is not one of its digits.
int based_digit_value(char c, number_base base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    const int radix = base == number_base::hexadecimal ? 16 : base == number_base::octal ? 8 : 2;
    return value < radix ? value : -1;
}

scan_outcome scan_based_item(const char* text, std::int64_t& at, std::int64_t length,
                             scanned_number& number) {
    ++at;  // the '&'
    if (at >= length) return scan_outcome::syntax;
    switch (text[at++]) {
        case 'H': case 'h': number.base = number_base::hexadecimal; break;
        case 'O': case 'o': number.base = number_base::octal; break;
        case 'B': case 'b': number.base = number_base::binary; break;
        default: return scan_outcome::syntax;
    }
    bool suffix_seen = false;
    while (at < length) {
        const char c = text[at++];
        if (c == ',') break;
        if (is_type_suffix(c)) {
            suffix_seen = true;
        } else if (suffix_seen || based_digit_value(c, number.base) < 0) {
            return scan_outcome::syntax;
        } else {
            if (number.digit_count == max_digits) return scan_outcome::too_long;
            number.digits[number.digit_count++] = c;
        }
    }
    return scan_outcome::scanned;
}

scan_outcome scan_decimal_item(const char* text, std::int64_t& at, std::int64_t length,
                               scanned_number& number) {
    scan_state state = at_start;
    while (at < length) {
        const char c = text[at++];
        if (c == ',') break;
        if (c == '-' || c == '+') {
            if (state == at_start) {
                number.negative = c == '-';
                state = in_integer;
            } else if (state == at_exponent) {
                number.exponent_negative = c == '-';
                state = in_exponent;
            } else {
                return scan_outcome::syntax;
            }
        } else if (c == '.') {
            if (state > in_integer) return scan_outcome::syntax;
            if (number.digit_count == 0) number.decimal_exponent = -1;
            state = in_fraction;
        } else if (c == 'D' || c == 'E' || c == 'd' || c == 'e') {
            if (state > in_fraction) return scan_outcome::syntax;
            state = at_exponent;
        } else if (is_type_suffix(c)) {
            state = after_type_suffix;
        } else if (!is_decimal_digit(c) || state == after_type_suffix) {
            return scan_outcome::syntax;
        } else if (state >= at_exponent) {
            state = in_exponent;
            if (c == '0' && number.exponent_digits == 0) continue;  // leading zero
            if (number.exponent_digits == max_exponent_digits) return scan_outcome::too_long;
            ++number.exponent_digits;
            number.exponent_value = number.exponent_value * 10 + (c - '0');
        } else if (c == '0' && number.digit_count == 0) {
            // A zero before the first significant digit: in the fraction it
            // moves the point, in the integer part it is nothing.
            if (state == in_fraction) --number.decimal_exponent;
            else state = in_integer;
        } else {
            if (state != in_fraction) {
                if (number.digit_count > 0) ++number.decimal_exponent;
                state = in_integer;
            }
            if (number.digit_count == max_digits) return scan_outcome::too_long;
            number.digits[number.digit_count++] = c;
        }
    }
    number.decimal_exponent += number.exponent_negative ? -number.exponent_value : number.exponent_value;
    if (number.digit_count == 0) {
        number.decimal_exponent = 0;
        number.negative = false;
    }
    return scan_outcome::scanned;
}

// Scans the item at `at` up to and including its comma (or the end of the text).
scan_outcome scan_data_item(const char* text, std::int64_t& at, std::int64_t length,
                            scanned_number& number) {
    if (at < 0 || at >= length) return scan_outcome::no_data;
    if (text[at] == '&') return scan_based_item(text, at, length, number);
    return scan_decimal_item(text, at, length, number);
}

// The 64-bit pattern of a based item's digits, 4, 3 or 1 bits per digit.
std::uint64_t based_bits(const scanned_number& number) {
    const int bits_per_digit = number.base == number_base::hexadecimal ? 4 : number.base == number_base::octal ? 3 : 1;
    std::uint64_t bits = 0;
    for (std::int32_t i = 0; i < number.digit_count; ++i)
        bits = bits << bits_per_digit | static_cast<std::uint64_t>(based_digit_value(number.digits[i], number.base));
    return bits;
}

// The decimal value through libc's correctly rounded text-to-double
// conversion; false when it lies outside double range.
bool convert_decimal(const scanned_number& number, long double& value) {
    if (number.decimal_exponent > 308) return false;
    if (number.decimal_exponent == 308) {
        static const char largest_double[] = "17976931348623157";
        for (std::int32_t i = 0; i < number.digit_count && i < 17; ++i) {
            if (number.digits[i] > largest_double[i]) return false;
            if (number.digits[i] < largest_double[i]) break;
        }
    }
    if (number.decimal_exponent < -324) {
        value = 0;
        return true;
    }
    // "-d.ddddddddddddddddE-ddd": at most 17 significant digits, the rest
    // dropped; the exponent has at most three digits here.
    char text[32];
    char* p = text;
    if (number.negative) *p++ = '-';
    *p++ = number.digits[0];
    *p++ = '.';
    if (number.digit_count == 1) *p++ = '0';
    for (std::int32_t i = 1; i < number.digit_count && i < 17; ++i) *p++ = number.digits[i];
    *p++ = 'E';
    std::int64_t exponent = number.decimal_exponent;
    if (exponent < 0) {
        *p++ = '-';
        exponent = -exponent;
    }
    if (exponent >= 100) *p++ = static_cast<char>('0' + exponent / 100);
    if (exponent >= 10) *p++ = static_cast<char>('0' + exponent / 10 % 10);
    *p++ = static_cast<char>('0' + exponent % 10);
    *p = '\0';
    value = std::strtod(text, nullptr);
    return true;
}

bool convert_scanned_number(const scanned_number& number, long double& value) {
    if (number.digit_count == 0) {
        value = 0;
        return true;
    }
    switch (number.base) {
        case number_base::hexadecimal:
            if (number.digit_count > 16) return false;
            break;
        case number_base::octal:
            if (number.digit_count > 22 || (number.digit_count == 22 && number.digits[0] > '1')) return false;
            break;
        case number_base::binary:
            if (number.digit_count > 64) return false;
            break;
        case number_base::decimal:
            return convert_decimal(number, value);
    }
    value = static_cast<long double>(static_cast<std::int64_t>(based_bits(number)));
    return true;
}

// Fits value into an integer target of the type; false on overflow.
bool fit_integer_target(long double& value, std::uint32_t type_code, number_base base) {
    constexpr long double two_to_63 = 0x1p63L;
    if (value < -two_to_63 || value > two_to_63) return false;
    const long double rounded = std::nearbyint(value);  // ties to even
    std::uint32_t width = type_code & type_code_width_mask;
    if (width == 0 || width > 64) width = 64;
    const bool based = base != number_base::decimal;
    const bool unsigned_target = (type_code & type_code_unsigned) != 0;
    if (width == 64) {
        if (based) {
            // All 64 bits: the pattern read with the target's signedness.
            const auto bits = static_cast<std::int64_t>(rounded);
            value = unsigned_target ? static_cast<long double>(static_cast<std::uint64_t>(bits))
                                    : static_cast<long double>(bits);
            return true;
        }
        if (unsigned_target ? rounded < 0 : rounded >= two_to_63) return false;
        value = rounded;
        return true;
    }
    const long double span = std::ldexp(1.0L, static_cast<int>(width));  // 2^width
    const bool unsigned_range = unsigned_target || based;
    const long double lowest = unsigned_range ? 0 : -span / 2;
    const long double highest = unsigned_range ? span - 1 : span / 2 - 1;
    if (rounded < lowest || rounded > highest) return false;
    value = rounded;
    if (based && !unsigned_target && value >= span / 2) value -= span;  // sign extension
    return true;
}

}  // namespace

long double read_data_number(const char* text, std::int64_t* offset, std::int64_t length,
                             std::uint32_t type_code) {
    if (pending_error.load(std::memory_order_relaxed) != 0) return 0;
    if (!text) length = 0;

    std::int64_t at = *offset;  // committed only when the item is read
    scanned_number number;
    long double value = 0;
    switch (scan_data_item(text, at, length, number)) {
        case scan_outcome::no_data: raise_error(4); return 0;
        case scan_outcome::syntax: raise_error(2); return 0;
        case scan_outcome::too_long: raise_error(6); return 0;
        case scan_outcome::scanned: break;
    }
    if (!convert_scanned_number(number, value)) {
        raise_error(6);
        return 0;
    }

    if (type_code & type_code_floating) {
        // Widths of 64 bits and more take any double; a SINGLE target takes
        // magnitudes up to just below its largest value. (Large negative
        // values are refused like large positive ones: the conversion to
        // single would otherwise have no defined result.)
        constexpr long double single_limit = 3.402823466E+38L;
        const bool wide = (type_code & type_code_width_mask & 0x1C0) != 0;
        if (!wide && std::fabs(value) > single_limit) {
            raise_error(6);
            return 0;
        }
    } else if (!fit_integer_target(value, type_code, number.base)) {
        raise_error(6);
        return 0;
    }
    *offset = at;
    return value;
}
