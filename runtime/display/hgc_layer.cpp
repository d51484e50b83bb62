#include "runtime/display/hgc_layer.h"

std::int64_t hgc_first = 0;
std::int64_t hgc_last_issued = 0;
std::int64_t hgc_last_consumed = 0;
std::int64_t hgc_first_consumed = 0;
