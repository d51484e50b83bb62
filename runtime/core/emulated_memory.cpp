#include "runtime/core/emulated_memory.h"

#include <cstring>

namespace {
// Static storage is zero-initialised before any dynamic initialiser runs.
alignas(64) std::uint8_t memory_block[emulated_memory_size];
}

std::uint8_t* const emulated_memory = memory_block;

void emulated_memory_clear() { std::memset(memory_block, 0, sizeof memory_block); }
