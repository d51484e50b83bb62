// The calculator's arithmetic, BASIC lines 26 to 110, statement by statement.
// The comment above each block is the BASIC statement; the number passed to
// statement_done is its line, which an error dialogue reports.
//
// The spectral point is Bessel's four-point interpolation in the spectral
// table, read with RESTORE and READ: the FOR loop skips `row` rows, so that
// x_prev, y_prev, z_prev hold row - 1 and the next three rows are row,
// row + 1 and row + 2 (row k is 360 + k nm).
//
// The row before the table: when row is 0 or less the loop reads nothing, so
// x_prev and y_prev would keep their start value 0, and with a fraction
// (360.5, or 100.5) that 0 would count: 360.5 would give x .1864992, outside
// both neighbours. Lines 59 to 61 extrapolate that row linearly instead, in
// SINGLE arithmetic: c_prev = (c0 + c0) - c1. So 360.25 gives x .175541 and
// y 5.291961E-03, 360.5 x .1755219 and y 5.289937E-03, 360.75 x .1755026 and
// y 5.287945E-03. Whole entries up to 360 (p = 0, where that row does not
// count) and every entry from 361 nm on give what they gave before.
//
// Precision decides the seventh printed digit. Everything is SINGLE arithmetic,
// rounded to single after each operation, except:
// - INT((delta - row) * 10000) / 10000: the floor of the single product,
//   divided by 10000 in double;
// - the second and fourth terms of the interpolation and its sum, in double;
// - lines 84 and 85, in extended precision (the x87 unit at 64-bit precision,
//   which the program thread's prologue sets).
#include "calculator/chromaticity.h"

#include <cmath>
#include <cstdint>

#include "calculator/spectral_table.h"
#include "runtime/events/event_check.h"
#include "runtime/input/read_data.h"

namespace {

// READ of one table item into a SINGLE variable (0 when READ failed).
void read_into(float& variable, std::uint32_t line) {
    variable = static_cast<float>(
        read_data_number(spectral_table_text, &data_read_offset, spectral_table_length, type_code_single));
    statement_done(line);
}

// One line of four statements: the differences of a coordinate whose values
// in rows row - 1 to row + 2 are c_prev, c0, c1, c2. 2·c is c + c.
void differences(single_variables& v, const float& c_prev, const float& c0, const float& c1, const float& c2,
                 std::uint32_t line) {
    v.d1 = c1 - c0;
    statement_done(line);
    v.d2a = (c1 - (c0 + c0)) + c_prev;
    statement_done(line);
    v.d2b = (c2 - (c1 + c1)) + c0;
    statement_done(line);
    v.d3 = ((c2 - 3.0f * c1) + 3.0f * c0) - c_prev;
    statement_done(line);
}

// Bessel's formula with p = fraction and the differences in d1 to d3:
//   (c0 + c1)/2 + (p - .5)·d1 + p(p - 1)·(d2a + d2b)/4 + p(p - 1)(p - .5)·d3/6
// The first and third terms are single, the second and fourth double; the
// sum is formed in double from left to right and rounded to single once.
float bessel_interpolation(const single_variables& v, const float& c0, const float& c1) {
    const float p = v.fraction;
    const float p_times_p_minus_1 = (p - 1.0f) * p;
    const float first = (c0 + c1) / 2.0f;
    const double second = (static_cast<double>(p) - 0.5) * v.d1;
    const float third = p_times_p_minus_1 * (v.d2a + v.d2b) / 4.0f;
    const double fourth = static_cast<double>(p_times_p_minus_1) * (static_cast<double>(p) - 0.5) * v.d3 / 6.0;
    return static_cast<float>(((first + second) + third) + fourth);
}

// The white point E = (1/3, 1/3), as the extended-precision number nearest to a third.
constexpr long double one_third = 1.0L / 3.0L;

}  // namespace

void compute_chromaticity(single_variables& v) {
    compute_table_position(v);   // lines 26 to 33
    read_table_rows(v);          // lines 35 to 57
    compute_from_rows(v);        // lines 59 to 110
}

void compute_table_position(single_variables& v) {
    // 26  purple = 0
    v.purple = 0;
    statement_done(26);

    // 28  IF wavelength < 0 THEN
    const bool purple_entry = v.wavelength < 0;
    statement_done(28);
    if (purple_entry) {
        // 29  purple = 1
        v.purple = 1;
        statement_done(29);
        // 30  wavelength = -wavelength
        v.wavelength = -v.wavelength;
        statement_done(30);
    }

    // 33  delta = wavelength - 360 : row = INT(delta) : fraction = INT((delta - row) * 10000) / 10000
    v.delta = v.wavelength - 360.0f;
    statement_done(33);
    v.row = std::floor(v.delta);
    statement_done(33);
    v.fraction = static_cast<float>(std::floor(static_cast<double>((v.delta - v.row) * 10000.0f)) / 10000.0);
    statement_done(33);
}

void read_table_rows(single_variables& v) {
    // 35  RESTORE
    data_restore();
    statement_done(35);

    // 37  FOR counter = 1 TO row
    // The loop's own counter is a double; the end is taken once. NEXT sets it
    // to the SINGLE counter + 1 and stores it back into the variable.
    double loop_counter = 1.0;
    const double loop_end = v.row;
    v.counter = static_cast<float>(loop_counter);
    while (loop_counter <= loop_end) {
        statement_done(37);
        // 38  READ table_wavelength   39  READ x_prev   40  READ y_prev   41  READ z_prev
        read_into(v.table_wavelength, 38);
        read_into(v.x_prev, 39);
        read_into(v.y_prev, 40);
        read_into(v.z_prev, 41);
        // NEXT counter
        loop_counter = static_cast<double>(v.counter) + 1.0;
        v.counter = static_cast<float>(loop_counter);
    }

    // 44  READ table_wavelength   45  READ x0   46  READ y0   47  READ z0
    read_into(v.table_wavelength, 44);
    read_into(v.x0, 45);
    read_into(v.y0, 46);
    read_into(v.z0, 47);
    // 49  READ table_wavelength   50  READ x1   51  READ y1   52  READ z1
    read_into(v.table_wavelength, 49);
    read_into(v.x1, 50);
    read_into(v.y1, 51);
    read_into(v.z1, 52);
    // 54  READ table_wavelength   55  READ x2   56  READ y2   57  READ z2
    read_into(v.table_wavelength, 54);
    read_into(v.x2, 55);
    read_into(v.y2, 56);
    read_into(v.z2, 57);
}

void compute_from_rows(single_variables& v) {
    // 59  IF row < 1 THEN: the row before the table, extrapolated
    const bool before_table = v.row < 1;
    statement_done(59);
    if (before_table) {
        // 60  x_prev = x0 + x0 - x1
        v.x_prev = (v.x0 + v.x0) - v.x1;
        statement_done(60);
        // 61  y_prev = y0 + y0 - y1
        v.y_prev = (v.y0 + v.y0) - v.y1;
        statement_done(61);
    }

    // 63  d1 = x1 - x0 : d2a = x1 - 2 * x0 + x_prev : d2b = x2 - 2 * x1 + x0 : d3 = x2 - 3 * x1 + 3 * x0 - x_prev
    differences(v, v.x_prev, v.x0, v.x1, v.x2, 63);
    // 65  xi = the interpolation of x
    v.xi = bessel_interpolation(v, v.x0, v.x1);
    statement_done(65);
    // 66  the differences of y
    differences(v, v.y_prev, v.y0, v.y1, v.y2, 66);
    // 67  yi = the interpolation of y
    v.yi = bessel_interpolation(v, v.y0, v.y1);
    statement_done(67);

    // 73  x = xi
    v.x = v.xi;
    statement_done(73);
    // 74  y = yi
    v.y = v.yi;
    statement_done(74);

    // 82  IF purple = 1 THEN
    const bool purple_colour = v.purple == 1;
    statement_done(82);
    if (purple_colour) compute_purple_point(v);
}

void compute_purple_point(single_variables& v) {
    // 84  m = (y - 1/3) / (x - 1/3): the slope of the line through E and (x, y)
    v.m = static_cast<float>((static_cast<long double>(v.y) - one_third) /
                             (static_cast<long double>(v.x) - one_third));
    statement_done(84);
    // 85  b = 1/3 - m / 3
    v.b = static_cast<float>(one_third - v.m / 3.0f);
    statement_done(85);

    // 90  mp = .46503675: the purple line through the 360 and 700 nm points
    v.mp = 0.46503675f;
    statement_done(90);
    // 92  bp = -.07634785
    v.bp = -0.07634785f;
    statement_done(92);

    // 98  xp = (bp - b) / (m - mp): where the two lines meet. Parallel lines
    // divide by zero, which gives an infinity or NaN: the exceptions are masked.
    v.xp = (v.bp - v.b) / (v.m - v.mp);
    statement_done(98);
    // 99  yp = bp + mp * xp
    v.yp = v.bp + v.mp * v.xp;
    statement_done(99);

    // 109  purple_x = xp
    v.purple_x = v.xp;
    statement_done(109);
    // 110  purple_y = yp
    v.purple_y = v.yp;
    statement_done(110);
}
