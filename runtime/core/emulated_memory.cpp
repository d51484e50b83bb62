#include "runtime/core/emulated_memory.h"

#include <cstring>
#include <sys/mman.h>

#include "runtime/core/timing.h"

namespace {

constexpr std::size_t page_size = 4096;

// Static storage is zero-initialised before any dynamic initialiser runs.
// Page-aligned, so that clearing can hand whole pages back to the system.
alignas(page_size) std::uint8_t memory_block[emulated_memory_size];

}  // namespace

std::uint8_t* const emulated_memory = memory_block;

// The whole pages are given back (they read as zero again, and cost nothing
// until they are touched, so a fresh process's clear is free); only the
// part after the last whole page is written.
void emulated_memory_clear() {
    const std::size_t whole_pages = sizeof memory_block / page_size * page_size;
    if (madvise(memory_block, whole_pages, MADV_DONTNEED) != 0) std::memset(memory_block, 0, whole_pages);
    std::memset(memory_block + whole_pages, 0, sizeof memory_block - whole_pages);
}

std::uint8_t emulated_peek(std::uint32_t linear) {
    if (linear >= bios_tick_count && linear < bios_tick_count + 3) bios_tick_update();
    return *emulated_address(linear);
}
