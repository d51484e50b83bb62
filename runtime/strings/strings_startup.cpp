// Start-up of the strings: the variable area, the reserved top of the data
// segment and the permanent strings.
#include <cstring>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/variable_area.h"

str_desc* permanent_empty_string = nullptr;
str_desc* permanent_space_string = nullptr;
str_desc* permanent_heap_string = nullptr;

void strings_startup() {
    if (permanent_empty_string) return;  // once per process
    variable_area_start();
    std::memset(segment_base() + data_segment_size - segment_reserved_top, 0, segment_reserved_top);
    seg_top = data_segment_size - segment_reserved_top;
    permanent_empty_string = str_new_in_segment(0, 0);
    permanent_space_string = str_new_in_segment(1, 0);
    permanent_space_string->text[0] = ' ';
    permanent_heap_string = str_new(0, 0);
}
