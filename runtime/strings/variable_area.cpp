#include "runtime/strings/variable_area.h"

#include <cstdlib>
#include <iterator>

#include "runtime/strings/grow_table.h"
#include "runtime/strings/str_desc.h"

namespace {

constexpr std::size_t first_block_size = 1048576;

// Every block is at least twice as large as the one before, so the address
// space runs out long before this table does.
std::uint8_t* blocks[64];
std::size_t block_count = 0;

std::uint8_t* block_start = nullptr;
std::size_t block_size = 0;
std::uint8_t* cursor = nullptr;

// Old blocks are kept: the variables in them stay valid.
void new_block(std::size_t size) {
    auto* block = block_count < std::size(blocks) ? static_cast<std::uint8_t*>(std::malloc(size)) : nullptr;
    if (!block) strings_out_of_memory(504);
    blocks[block_count++] = block;
    block_start = block;
    block_size = size;
    cursor = block;
}

}  // namespace

void variable_area_start() { new_block(first_block_size); }

void* var_alloc(std::uint32_t size) {
    if (!block_start) variable_area_start();
    const std::size_t rounded = (std::size_t{size} + 7) & ~std::size_t{7};
    if (rounded >= block_size - static_cast<std::size_t>(cursor - block_start))
        new_block(rounded + 2 * block_size);
    void* storage = cursor;
    cursor += rounded;
    return storage;
}

void var_area_reset(void* saved) {
    auto* p = static_cast<std::uint8_t*>(saved);
    cursor = p >= block_start && p < block_start + block_size ? p : block_start;
}
