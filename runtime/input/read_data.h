// READ of a numeric item from a program's DATA text.
#pragma once
#include <cstdint>

// Type code bits that READ looks at (the rest of the word is ignored).
inline constexpr std::uint32_t type_code_floating = 0x20000000;
inline constexpr std::uint32_t type_code_unsigned = 0x10000000;
inline constexpr std::uint32_t type_code_width_mask = 0x1FF;  // width in bits

// The type code of a SINGLE variable.
inline constexpr std::uint32_t type_code_single = 0x28400020;

// Reads the item at *offset from text (length bytes, no terminating zero
// needed) for a target of the given type and moves *offset past the item and
// its comma. On failure records error 4 "Out of DATA" (offset unchanged),
// 2 "Syntax error" or 6 "Overflow" (offset back at the item) and returns 0;
// while an error is pending it returns 0 and consumes nothing. The caller
// rounds the result into its variable.
long double read_data_number(const char* text, std::int64_t* offset, std::int64_t length,
                             std::uint32_t type_code);
