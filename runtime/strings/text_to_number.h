// VAL: the number at the start of a string's text.
#pragma once

#include "runtime/strings/str_desc.h"

// Reads a decimal number (with an optional exponent after E or D) or an &H,
// &O or &B constant; blanks anywhere are skipped and reading stops at the
// first character that does not fit. Text without a number gives 0. An
// over-long &H/&O/&B constant raises error 6 (Overflow) and gives 0.
long double text_to_number(const str_desc* text);
