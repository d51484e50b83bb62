// The calculator's arithmetic, BASIC lines 26 to 110: the entered wavelength
// becomes the spectral point (x, y) and, for a negative entry, the purple
// point (purple_x, purple_y) of the complementary wavelength.
#pragma once

#include "calculator/single_variables.h"

// Runs the statements of lines 26 to 110 on the program thread, each followed
// by the event check with its line number. Reads v.wavelength; leaves x, y,
// purple, purple_x, purple_y and the positive wavelength.
void compute_chromaticity(single_variables& v);

// Lines 84 to 110 alone: the purple point of the spectral point (x, y).
void compute_purple_point(single_variables& v);
