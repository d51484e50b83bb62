// INPUT's rules for a numeric target, over an arbitrary piece for a type that
// the first byte picks. Property: a piece INPUT accepts stores a value inside
// the type's range: an integer piece exactly its own value (no wrap), a
// floating piece a finite value, not 0 unless every digit is 0.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/input/input_targets.h"

namespace {

constexpr std::uint32_t types[] = {8, 16, 32, 64, 8 | input_type_unsigned, 16 | input_type_unsigned,
                                   32 | input_type_unsigned, 64 | input_type_unsigned,
                                   32 | input_type_float, 64 | input_type_float, 256 | input_type_float};

// The integer the piece stands for, read by libc, as the type's bit pattern;
// false when it does not fit.
bool integer_value(const std::string& piece, std::uint32_t type, std::uint64_t& pattern) {
    const unsigned bits = type & input_type_size_mask;
    const std::uint64_t all = bits == 64 ? ~0ull : (1ull << bits) - 1;
    errno = 0;
    if (piece.empty() || piece == "-" || (piece[0] == '&' && piece.size() <= 2)) {
        pattern = 0;
        return true;
    }
    if (piece[0] == '&') {
        const int base = std::strchr("Hh", piece[1]) ? 16 : std::strchr("Oo", piece[1]) ? 8 : 2;
        pattern = std::strtoull(piece.c_str() + 2, nullptr, base);
        return errno == 0 && pattern <= all;
    }
    if (type & input_type_unsigned) {
        pattern = std::strtoull(piece.c_str(), nullptr, 10);
        return errno == 0 && pattern <= all;
    }
    const long long value = std::strtoll(piece.c_str(), nullptr, 10);
    const long long limit = static_cast<long long>(all >> 1);
    pattern = static_cast<std::uint64_t>(value) & all;
    return errno == 0 && value <= limit && value >= -limit - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t type = types[data[0] % (sizeof types / sizeof *types)];
    const std::uint8_t* text = data + 1;
    const auto length = static_cast<std::int32_t>(size - 1);
    if (!input_number_acceptable(type, text, length)) return 0;
    alignas(16) std::uint8_t stored[16] = {};
    input_number_store(type, text, length, stored);
    const std::string piece(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    if (!(type & input_type_float)) {
        std::uint64_t expected = 0, pattern = 0;
        std::memcpy(&pattern, stored, (type & input_type_size_mask) / 8);
        if (!integer_value(piece, type, expected) || pattern != expected) std::abort();
        return 0;
    }
    long double value = 0;
    if ((type & input_type_size_mask) == 32) value = *reinterpret_cast<float*>(stored);
    else if ((type & input_type_size_mask) == 64) value = *reinterpret_cast<double*>(stored);
    else std::memcpy(&value, stored, 10);
    const bool some_digit = piece.find_first_of("123456789") < piece.find_first_of("EeDd");
    if (!std::isfinite(value) || (some_digit && value == 0)) std::abort();
    return 0;
}
