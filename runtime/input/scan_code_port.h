// The keyboard's scan-code port: make codes on press, break codes (make code
// + 128) on release, as the keyboard controller would deliver them. Holds
// the last 256 bytes; the oldest goes first when it is full.
#pragma once
#include <cstdint>

inline constexpr std::int32_t scan_code_port_size = 256;

// Appends a make or break code, unless the last stored byte is the same
// (auto-repeat gives one make code).
void scan_code_port_push(std::uint8_t code);
// Copies up to size bytes, oldest first; returns the number held.
std::int32_t scan_code_port_read(std::uint8_t* out, std::int32_t size);
void scan_code_port_clear();
