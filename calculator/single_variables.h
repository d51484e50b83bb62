// The SINGLE variables of the calculator program. Each lives in 4 bytes of
// the variable area and starts at 0; the record binds the program's names
// to them.
#pragma once

struct single_variables {
    float& wavelength;        // the entry; made positive for a purple colour
    float& purple;            // 1 when the entry was negative
    float& delta;             // wavelength - 360
    float& row;               // INT(delta): table rows before the interpolation row
    float& fraction;          // position between row and row + 1, four decimals, truncated
    float& counter;           // FOR counter of the skipping loop
    float& table_wavelength;  // the wavelength column of each row read (never used)
    float& x_prev;            // row - 1, the last row skipped
    float& y_prev;
    float& z_prev;
    float& x0;                // row (wavelength 360 + row)
    float& y0;
    float& z0;
    float& x1;                // row + 1
    float& y1;
    float& z1;
    float& x2;                // row + 2
    float& y2;
    float& z2;
    float& d1;                // differences of the coordinate being interpolated
    float& d2a;
    float& d2b;
    float& d3;
    float& xi;                // interpolated x and y
    float& yi;
    float& x;                 // the spectral point printed
    float& y;
    float& m;                 // the line through E and (x, y)
    float& b;
    float& mp;                // the purple line
    float& bp;
    float& xp;                // intersection of the two lines
    float& yp;
    float& purple_x;          // the purple point printed
    float& purple_y;
};

// Allocates every variable with var_alloc and sets it to 0. The program
// calls it once, before its first statement.
single_variables create_single_variables();
