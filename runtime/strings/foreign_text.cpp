// Strings over text they do not own: literals and fixed-length views.
#include <cstring>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/descriptor_pool.h"
#include "runtime/strings/temp_list.h"

namespace {
std::uint8_t no_text[1];  // where an absent C string's empty text points
}

str_desc* str_from_literal(const void* text, std::int32_t length) {
    str_desc* d = descriptor_take();
    // Read-only: no operation ever writes through this pointer.
    d->text = static_cast<std::uint8_t*>(const_cast<void*>(text));
    d->len = length;
    d->is_readonly = 1;
    temp_list_add(d);
    return d;
}

str_desc* str_from_cstring(const char* text) {
    if (!text) return str_from_literal(no_text, 0);
    return str_from_literal(text, static_cast<std::int32_t>(std::strlen(text)));
}

str_desc* str_fixed_view(void* text, std::int32_t length, std::int32_t make_temp) {
    str_desc* d = descriptor_take();
    d->text = static_cast<std::uint8_t*>(text);
    d->len = length;
    d->is_fixed = 1;
    if (make_temp)
        temp_list_add(d);
    else if (lies_in_segment(text))
        segment_record_new(d, 515);
    return d;
}
