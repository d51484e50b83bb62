// What INPUT accepts for a numeric variable while it is being typed: a piece
// is acceptable as long as more typing can still make it a valid value of
// the variable's type, so that a character that spoils it is taken back at
// once.
#include <algorithm>
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

}  // namespace

number_scan::number_scan(std::uint32_t type) : type(type), at(part::start) {
    const std::uint32_t bits = type & input_type_size_mask;
    if (type & input_type_float) {
        if (!limits_of(type)) at = part::none;
    } else if (!integer_size_valid(bits)) {
        at = part::none;
    } else {
        limit = (type & input_type_unsigned) ? all_ones(bits) : all_ones(bits - 1);
    }
}

bool number_scan::add(std::uint8_t c) {
    number_scan next = *this;
    const bool taken = (type & input_type_float) ? next.add_to_float(c) : next.add_to_integer(c);
    if (taken) *this = next;
    return taken;
}

// An integer: optional "-" (signed types) and decimal digits without a
// leading 0 (except "0" itself), or "&H", "&O", "&B" and digits; the value
// must fit the type (2^(bits-1) when negative). Incomplete forms read as 0.
bool number_scan::add_to_integer(std::uint8_t c) {
    switch (at) {
        case part::start:
            at = part::mantissa;
            if (c == '&') {
                at = part::base_letter;
                return true;
            }
            if (c == '-') {
                if (type & input_type_unsigned) return false;
                negative = true;
                ++limit;
                return true;
            }
            [[fallthrough]];
        case part::mantissa: {
            if (!is_digit(c) || (mantissa_digits > 0 && value == 0)) return false;   // a leading 0
            const auto d = static_cast<std::uint64_t>(c - '0');
            if (value > (limit - d) / 10) return false;
            value = value * 10 + d;
            ++mantissa_digits;
            return true;
        }
        case part::base_letter:
            if (c == 'H' || c == 'h') base = 16;
            else if (c == 'O' || c == 'o') base = 8;
            else if (c == 'B' || c == 'b') base = 2;
            else return false;
            limit = all_ones(type & input_type_size_mask);
            at = part::based_digits;
            return true;
        case part::based_digits: {
            const int d = digit_value(c, base);
            if (d < 0 || value > (limit - static_cast<std::uint64_t>(d)) / base) return false;
            value = value * base + static_cast<std::uint64_t>(d);
            return true;
        }
        default: return false;
    }
}

// A floating-point number: optional "-", digits (a leading 0 only before the
// point) with an optional fraction, then optionally the exponent letter, a
// sign and digits.
bool number_scan::add_to_float(std::uint8_t c) {
    const float_limits& limits = *limits_of(type);
    switch (at) {
        case part::start:
            at = part::mantissa;
            if (c == '-') return true;
            [[fallthrough]];
        case part::mantissa:
            if (c == '.') {
                if (in_fraction) return false;
                in_fraction = true;
                return true;
            }
            if (!is_digit(c)) {
                const bool is_e = c == 'E' || c == 'e', is_d = c == 'D' || c == 'd';
                if (mantissa_digits == 0 || !(is_e || (is_d && limits.exponent_d))) return false;
                at = part::exponent_start;
                return true;
            }
            if (!in_fraction) {
                if (integer_digits == 1 && significant == 0) return false;   // a leading 0
                ++integer_digits;
            } else {
                ++fraction_position;
            }
            ++mantissa_digits;
            if (significant == 0 && c == '0') return true;
            if (significant == 0) {
                first_in_fraction = in_fraction;
                first_fraction_position = fraction_position;
            }
            if (limits.max_digits && significant == limits.max_digits) return false;
            if (significant < static_cast<std::int32_t>(sizeof leading)) leading[significant] = static_cast<char>(c);
            ++significant;
            return true;
        case part::exponent_start:
            at = part::exponent;
            if (c == '-' || c == '+') {
                exponent_negative = c == '-';
                return true;
            }
            [[fallthrough]];
        case part::exponent:
            if (!is_digit(c)) return false;
            if (exponent < 1000000) exponent = exponent * 10 + (c - '0');
            return true;
        default: return false;
    }
}

bool number_scan::acceptable() const {
    if (at == part::none) return false;
    if (!(type & input_type_float) || significant == 0) return true;
    // The decade of the first significant digit (an integer part never starts with 0).
    const float_limits& limits = *limits_of(type);
    const std::int32_t first_decade = first_in_fraction ? -first_fraction_position : integer_digits - 1;
    const std::int64_t decade = first_decade + (exponent_negative ? -exponent : exponent);
    const std::int32_t compared = std::min(significant, static_cast<std::int32_t>(sizeof leading));
    if (decade > limits.top_decade) return false;
    if (decade == limits.top_decade && compare_leading_digits(leading, compared, limits.top_leading) > 0) return false;
    if (decade < limits.bottom_decade) return false;
    if (decade == limits.bottom_decade && compare_leading_digits(leading, compared, limits.bottom_leading) < 0)
        return false;
    return true;
}

bool input_number_acceptable(std::uint32_t type, const std::uint8_t* text, std::int32_t length) {
    number_scan scan(type);
    for (std::int32_t i = 0; i < length; ++i)
        if (!scan.add(text[i])) return false;
    return scan.acceptable();
}

void input_number_store(std::uint32_t type, const std::uint8_t* text, std::int32_t length, void* target) {
    const std::uint32_t bits = type & input_type_size_mask;
    if (!(type & input_type_float)) {
        number_scan scan(type);
        for (std::int32_t i = 0; i < length; ++i)
            if (!scan.add(text[i])) return;
        if (!scan.acceptable()) return;
        const std::uint64_t pattern = scan.pattern();
        std::memcpy(target, &pattern, bits / 8);   // little-endian
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
