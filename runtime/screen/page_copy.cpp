#include "runtime/screen/page_copy.h"

#include <cstring>

#include "runtime/core/wake_signal.h"
#include "runtime/screen/screen_image.h"

namespace {

std::size_t cells_size(const screen_image& image) {
    return static_cast<std::size_t>(image.width) * image.height * image.bytes_per_cell;
}

}  // namespace

std::int32_t page_copy_new(const screen_image& page) {
    const std::int32_t slot = image_new(page.width, page.height, page.compat_mode);
    screen_image* copy = image_get(slot);
    if (!copy) return 0;
    // Everything but the memory the copy owns.
    std::uint8_t* const cells = copy->cells;
    std::uint32_t* const palette = copy->palette;
    const std::uint32_t flags = copy->flags;
    *copy = page;
    copy->cells = cells;
    copy->palette = palette;
    copy->flags = flags;
    page_copy_cells(page, *copy);
    return slot;
}

void page_copy_cells(const screen_image& from, screen_image& to) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (from.width == to.width && from.height == to.height && from.bytes_per_cell == to.bytes_per_cell)
        std::memcpy(to.cells, from.cells, cells_size(from));
}
