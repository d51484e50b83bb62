// Integers as printed text: signed values get a space before non-negative
// values and "-" before negative ones; unsigned values always a space.
#include <cstdio>
#include <cstring>

#include "runtime/strings/number_to_text.h"

namespace {

template <typename... Value>
str_desc* formatted(std::uint32_t capacity, const char* format, Value... value) {
    char text[24];
    const int length = std::snprintf(text, sizeof text, format, value...);
    str_desc* s = str_new(capacity, 1);
    std::memcpy(s->text, text, length);
    s->len = length;
    return s;
}

}  // namespace

str_desc* int64_to_text(std::int64_t value) { return formatted(20, "% lli", static_cast<long long>(value)); }
str_desc* int32_to_text(std::int32_t value) { return formatted(11, "% i", static_cast<int>(value)); }
str_desc* int16_to_text(std::int16_t value) { return formatted(6, "% i", static_cast<int>(value)); }
str_desc* int8_to_text(std::int8_t value) { return formatted(4, "% i", static_cast<int>(value)); }
str_desc* uint64_to_text(std::uint64_t value) {
    return formatted(21, " %llu", static_cast<unsigned long long>(value));
}
str_desc* uint32_to_text(std::uint32_t value) { return formatted(11, " %u", static_cast<unsigned>(value)); }
str_desc* uint16_to_text(std::uint16_t value) { return formatted(6, " %u", static_cast<unsigned>(value)); }
str_desc* uint8_to_text(std::uint8_t value) { return formatted(4, " %u", static_cast<unsigned>(value)); }
