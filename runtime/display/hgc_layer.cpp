// Placeholder until the command layers land; the state is final.
#include "runtime/display/hgc_layer.h"

handle_list* hgc_list = nullptr;
std::atomic<std::int64_t> hgc_first{0};
std::int64_t hgc_last_issued = 0;
std::int64_t hgc_last_consumed = 0;
std::int64_t hgc_first_consumed = 0;
