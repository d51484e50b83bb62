// The per-statement event check and the unhandled-error dialogue.
#pragma once
#include <atomic>
#include <cstdint>

#include "runtime/errors/errors.h"

// Set and cleared by the window thread (the pause key); the program thread's event check waits while it is set.
extern std::atomic<std::uint8_t> pause_flag;   // bit 0: held by the pause key
extern std::uint32_t error_line;
extern std::uint32_t error_include_line;
extern const char* error_include_file;

void event_check(std::uint32_t line, std::uint32_t include_line, const char* include_file);
void dispatch_event_traps();

// What generated code runs after every statement.
inline void statement_done(std::uint32_t line) {
    if (pending_event.load(std::memory_order_relaxed)) event_check(line, 0, nullptr);
}
