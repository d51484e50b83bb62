// Releasing a string: its temp-list entry, its text, its descriptor.
#include <cstdlib>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/descriptor_pool.h"
#include "runtime/strings/string_heap.h"
#include "runtime/strings/temp_list.h"

void str_free(str_desc* d) {
    // A string bound to a file buffer carries its link record; no file
    // statement keeps a list of bound strings here, so the record just goes.
    if (d->field_link) {
        std::free(d->field_link);
        d->field_link = nullptr;
    }
    if (d->temp_index != 0) temp_list_remove(d);
    if (!d->is_fixed && !d->is_readonly) {
        if (d->in_segment)
            segment_release(d);
        else
            heap_release(d);
    }
    descriptor_release(d);
}
