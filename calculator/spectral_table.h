// The calculator's DATA: the CIE 1931 2-degree spectral locus, 360 to 700 nm
// at 1 nm, as one text of comma-terminated items (wavelength, x, y, z per
// row; the 700 nm row stands six times at the end), and the read position
// that READ advances and RESTORE resets.
#pragma once
#include <cstdint>

// The items; READ is given the length and never looks for a terminating zero.
extern const char spectral_table_text[];
inline constexpr std::int64_t spectral_table_length = 10726;

// Byte offset of the next item to READ; starts at 0.
extern std::int64_t data_read_offset;

// RESTORE: the next READ takes the first item again.
void data_restore();
