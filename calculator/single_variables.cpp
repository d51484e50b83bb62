#include "calculator/single_variables.h"

#include <new>

#include "runtime/strings/str_desc.h"

namespace {

float& new_single() { return *new (var_alloc(4)) float(0); }

}  // namespace

single_variables create_single_variables() {
    // Braced initialisation runs in order: the variables lie in the area as listed.
    return single_variables{
        .wavelength = new_single(), .purple = new_single(), .delta = new_single(),
        .row = new_single(), .fraction = new_single(), .counter = new_single(),
        .table_wavelength = new_single(),
        .x_prev = new_single(), .y_prev = new_single(), .z_prev = new_single(),
        .x0 = new_single(), .y0 = new_single(), .z0 = new_single(),
        .x1 = new_single(), .y1 = new_single(), .z1 = new_single(),
        .x2 = new_single(), .y2 = new_single(), .z2 = new_single(),
        .d1 = new_single(), .d2a = new_single(), .d2b = new_single(), .d3 = new_single(),
        .xi = new_single(), .yi = new_single(), .x = new_single(), .y = new_single(),
        .m = new_single(), .b = new_single(), .mp = new_single(), .bp = new_single(),
        .xp = new_single(), .yp = new_single(), .purple_x = new_single(), .purple_y = new_single(),
    };
}
