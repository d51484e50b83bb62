// INPUT's rules for a numeric target, over an arbitrary piece for a type that
// the first byte picks. Property: a piece INPUT accepts stores a value inside
// the type's range: an integer piece exactly its own value as libc reads it
// (no wrap), a floating piece a finite value, not 0 unless every digit is 0.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t type = types[data[0] % std::size(types)];
    const auto length = static_cast<std::int32_t>(size - 1);
    if (!input_number_acceptable(type, data + 1, length)) return 0;
    alignas(16) std::uint8_t stored[16] = {};
    input_number_store(type, data + 1, length, stored);
    const std::string piece(reinterpret_cast<const char*>(data + 1), size - 1);
    const unsigned bits = type & input_type_size_mask;
    if (!(type & input_type_float)) {
        // The piece read by libc, as the type's bit pattern; "", "-", "&" and "&H" stand for 0.
        const std::uint64_t all = bits == 64 ? ~0ull : (1ull << bits) - 1;
        const bool based = piece[0] == '&' && piece.size() > 2;
        int base = 10;
        if (based) base = std::strchr("Hh", piece[1]) ? 16 : std::strchr("Oo", piece[1]) ? 8 : 2;
        errno = 0;
        const char* digits = piece.c_str() + (based ? 2 : 0);
        const bool is_signed = !based && !(type & input_type_unsigned);
        const long long value = is_signed ? std::strtoll(digits, nullptr, 10) : 0;
        std::uint64_t expected = static_cast<std::uint64_t>(value) & all;
        if (!is_signed) expected = std::strtoull(digits, nullptr, base);
        if (piece[0] == '&' && !based) expected = 0;
        const auto highest = static_cast<long long>(all >> 1);
        const bool fits = is_signed ? value <= highest && value >= -highest - 1 : expected <= all;
        std::uint64_t pattern = 0;
        std::memcpy(&pattern, stored, bits / 8);
        if (errno != 0 || !fits || pattern != expected) std::abort();
        return 0;
    }
    long double value = 0;
    if (bits == 32) value = *reinterpret_cast<float*>(stored);
    else if (bits == 64) value = *reinterpret_cast<double*>(stored);
    else std::memcpy(&value, stored, 10);
    const bool some_digit = piece.find_first_of("123456789") < piece.find_first_of("EeDd");
    if (!std::isfinite(value) || (some_digit && value == 0)) std::abort();
    return 0;
}
