// The calculator's arithmetic, BASIC lines 26 to 110: the entered wavelength
// becomes the spectral point (x, y) and, for a negative entry, the purple
// point (purple_x, purple_y) of the complementary wavelength.
#pragma once

#include "calculator/single_variables.h"

// Runs the statements of lines 26 to 110 on the program thread, each followed
// by the event check with its line number. Reads v.wavelength; leaves x, y,
// purple, purple_x, purple_y and the positive wavelength.
void compute_chromaticity(single_variables& v);

// The three parts of it, each run statement by statement as above.
// Lines 26 to 33: purple, the positive wavelength, delta, row and fraction.
void compute_table_position(single_variables& v);
// Lines 35 to 57: RESTORE, the loop that READs the rows before row (the last
// into x_prev, y_prev, z_prev), and the READs of rows row to row + 2.
void read_table_rows(single_variables& v);
// Lines 59 to 110: the interpolation and, for a purple entry, the purple point.
void compute_from_rows(single_variables& v);

// Lines 84 to 110 alone: the purple point of the spectral point (x, y).
void compute_purple_point(single_variables& v);
