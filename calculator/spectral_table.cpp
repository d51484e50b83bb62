#include "calculator/spectral_table.h"

std::int64_t data_read_offset = 0;

void data_restore() { data_read_offset = 0; }
