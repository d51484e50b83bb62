// Numbers as PRINT shows them: a leading space for non-negative values and a
// minus sign otherwise, no trailing zeros, plain decimal notation while the
// value's significant digits fit, E notation (D for double precision)
// beyond. Each conversion returns a new temp string.
#pragma once
#include <cstdint>

#include "runtime/strings/str_desc.h"

str_desc* single_to_text(float value);
str_desc* double_to_text(double value);
str_desc* float_to_text(long double value);

str_desc* int64_to_text(std::int64_t value);
str_desc* int32_to_text(std::int32_t value);
str_desc* int16_to_text(std::int16_t value);
str_desc* int8_to_text(std::int8_t value);
str_desc* uint64_to_text(std::uint64_t value);
str_desc* uint32_to_text(std::uint32_t value);
str_desc* uint16_to_text(std::uint16_t value);
str_desc* uint8_to_text(std::uint8_t value);
