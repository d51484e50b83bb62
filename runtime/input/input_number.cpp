// What INPUT accepts for a numeric variable while it is being typed: a piece
// is acceptable as long as more typing can still make it a valid value of
// the variable's type, so that a character that spoils it is taken back at
// once.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/input/input_targets.h"

namespace {

bool is_digit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// Value of c as a digit of the base, or -1.
int digit_value(std::uint8_t c, std::uint32_t base) {
    int d = -1;
    if (is_digit(c)) d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    return d >= 0 && static_cast<std::uint32_t>(d) < base ? d : -1;
}

std::uint64_t all_ones(std::uint32_t bits) { return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1; }

bool integer_size_valid(std::uint32_t bits) { return bits == 8 || bits == 16 || bits == 32 || bits == 64; }

// Reads an integer piece: optional "-" (signed types) and decimal digits
// without a leading 0 (except "0" itself), or "&H", "&O", "&B" and digits
// whose value fits the type's bits. Incomplete forms read as 0. The result
// is the bit pattern to store.
bool read_integer(std::uint32_t type, const std::uint8_t* text, std::int32_t length, std::uint64_t& pattern) {
    const std::uint32_t bits = type & input_type_size_mask;
    const bool is_unsigned = (type & input_type_unsigned) != 0;
    if (!integer_size_valid(bits)) return false;
    pattern = 0;
    if (length > 0 && text[0] == '&') {
        if (length == 1) return true;
        std::uint32_t base = 0;
        switch (text[1]) {
            case 'H': case 'h': base = 16; break;
            case 'O': case 'o': base = 8; break;
            case 'B': case 'b': base = 2; break;
            default: return false;
        }
        const std::uint64_t limit = all_ones(bits);
        for (std::int32_t i = 2; i < length; ++i) {
            const int d = digit_value(text[i], base);
            if (d < 0 || pattern > (limit - static_cast<std::uint64_t>(d)) / base) return false;
            pattern = pattern * base + static_cast<std::uint64_t>(d);
        }
        return true;
    }
    std::int32_t pos = 0;
    const bool negative = length > 0 && text[0] == '-';
    if (negative) {
        if (is_unsigned) return false;
        pos = 1;
    }
    // Largest magnitude: 2^bits - 1 unsigned; 2^(bits-1) - 1, or 2^(bits-1) when negative.
    const std::uint64_t limit = is_unsigned ? all_ones(bits) : all_ones(bits - 1) + (negative ? 1 : 0);
    std::uint64_t value = 0;
    for (std::int32_t i = pos; i < length; ++i) {
        if (!is_digit(text[i])) return false;
        if (i > pos && text[pos] == '0') return false;   // a leading 0
        const auto d = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (limit - d) / 10) return false;
        value = value * 10 + d;
    }
    pattern = negative ? 0 - value : value;
    return true;
}

struct float_limits {
    std::int32_t max_digits;     // significant digits; 0 no limit
    bool exponent_d;             // "D" accepted as the exponent letter
    std::int32_t top_decade;     // magnitude below 10^(top_decade + 1) ...
    const char* top_leading;     // ... and in the top decade leading digits not above these
    std::int32_t bottom_decade;  // magnitude not below 10^bottom_decade ...
    const char* bottom_leading;  // ... and in that decade leading digits not below these
};

constexpr float_limits single_limits{8, false, 38, "3402823", -45, "1401298"};
constexpr float_limits double_limits{16, true, 308, "17976931", -324, "4940656"};
// The 80-bit target is read through a double (see input_number_store), so it
// takes double's magnitude limits, though not its limit on digits: beyond
// them the value read would be infinity or 0.
constexpr float_limits extended_limits{0, true, 308, "17976931", -324, "4940656"};

const float_limits* limits_of(std::uint32_t type) {
    switch (type & input_type_size_mask) {
        case 32: return &single_limits;
        case 64: return &double_limits;
        case 256: return &extended_limits;
        default: return nullptr;
    }
}

// Compares two strings of significant digits as the fractions 0.d1d2...:
// negative, zero or positive.
int compare_leading_digits(const char* digits, std::int32_t count, const char* bound) {
    const std::int32_t bound_count = static_cast<std::int32_t>(std::strlen(bound));
    for (std::int32_t i = 0; i < count || i < bound_count; ++i) {
        const char a = i < count ? digits[i] : '0';
        const char b = i < bound_count ? bound[i] : '0';
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

bool float_acceptable(const float_limits& limits, const std::uint8_t* text, std::int32_t length) {
    std::int32_t pos = 0;
    if (pos < length && text[pos] == '-') ++pos;

    // Mantissa: digits (a leading 0 only before the point) and an optional fraction.
    constexpr std::int32_t kept_digits = 24;   // enough to compare with the limits
    char leading[kept_digits];
    std::int32_t significant = 0, mantissa_digits = 0, integer_digits = 0;
    bool in_fraction = false, first_in_fraction = false;
    std::int32_t fraction_position = 0, first_fraction_position = 0;
    for (; pos < length; ++pos) {
        const std::uint8_t c = text[pos];
        if (c == '.') {
            if (in_fraction) return false;
            in_fraction = true;
            continue;
        }
        if (!is_digit(c)) break;
        if (!in_fraction) {
            if (integer_digits == 1 && significant == 0) return false;   // a leading 0
            ++integer_digits;
        } else {
            ++fraction_position;
        }
        ++mantissa_digits;
        if (significant == 0 && c == '0') continue;
        if (significant == 0) {
            first_in_fraction = in_fraction;
            first_fraction_position = fraction_position;
        }
        if (significant < kept_digits) leading[significant] = static_cast<char>(c);
        ++significant;
    }
    // Decade of the first significant digit (an integer part never starts with 0).
    const std::int32_t first_decade = first_in_fraction ? -first_fraction_position : integer_digits - 1;
    if (limits.max_digits && significant > limits.max_digits) return false;

    // Exponent: a letter, an optional sign, digits.
    std::int64_t exponent = 0;
    if (pos < length) {
        const std::uint8_t letter = text[pos];
        const bool is_e = letter == 'E' || letter == 'e';
        const bool is_d = letter == 'D' || letter == 'd';
        if (mantissa_digits == 0 || !(is_e || (is_d && limits.exponent_d))) return false;
        ++pos;
        bool exponent_negative = false;
        if (pos < length && (text[pos] == '-' || text[pos] == '+')) exponent_negative = text[pos++] == '-';
        for (; pos < length; ++pos) {
            if (!is_digit(text[pos])) return false;
            if (exponent < 1000000) exponent = exponent * 10 + (text[pos] - '0');
        }
        if (exponent_negative) exponent = -exponent;
    }
    if (significant == 0) return true;

    const std::int64_t decade = first_decade + exponent;
    const std::int32_t compared = significant < kept_digits ? significant : kept_digits;
    if (decade > limits.top_decade) return false;
    if (decade == limits.top_decade && compare_leading_digits(leading, compared, limits.top_leading) > 0) return false;
    if (decade < limits.bottom_decade) return false;
    if (decade == limits.bottom_decade && compare_leading_digits(leading, compared, limits.bottom_leading) < 0)
        return false;
    return true;
}

}  // namespace

bool input_number_acceptable(std::uint32_t type, const std::uint8_t* text, std::int32_t length) {
    if (type & input_type_float) {
        const float_limits* limits = limits_of(type);
        return limits && float_acceptable(*limits, text, length);
    }
    std::uint64_t pattern = 0;
    return read_integer(type, text, length, pattern);
}

void input_number_store(std::uint32_t type, const std::uint8_t* text, std::int32_t length, void* target) {
    const std::uint32_t bits = type & input_type_size_mask;
    if (!(type & input_type_float)) {
        std::uint64_t pattern = 0;
        if (read_integer(type, text, length, pattern)) std::memcpy(target, &pattern, bits / 8);   // little-endian
        return;
    }
    // The floating-point text goes through scanf; "D" reads as "E".
    char* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    if (!copy) return;
    for (std::int32_t i = 0; i < length; ++i) copy[i] = text[i] == 'D' ? 'E' : text[i] == 'd' ? 'e' : static_cast<char>(text[i]);
    copy[length] = 0;
    if (bits == 32) {
        float value = 0;
        if (std::sscanf(copy, "%f", &value) != 1) value = 0;
        std::memcpy(target, &value, sizeof value);
    } else {
        double value = 0;
        if (std::sscanf(copy, "%lf", &value) != 1) value = 0;
        if (bits == 64) {
            std::memcpy(target, &value, sizeof value);
        } else {
            const long double widened = value;
            std::memcpy(target, &widened, 10);   // the 80-bit value itself
        }
    }
    std::free(copy);
}
