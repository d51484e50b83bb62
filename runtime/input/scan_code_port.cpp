#include "runtime/input/scan_code_port.h"

#include <atomic>
#include <cstring>

#include "runtime/input/short_lock.h"

namespace {

// Under port_lock: the window thread pushes, the program thread reads and clears.
std::uint8_t port_bytes[scan_code_port_size];
std::int32_t port_count = 0;
std::atomic_flag port_lock = ATOMIC_FLAG_INIT;

}  // namespace

void scan_code_port_push(std::uint8_t code) {
    short_lock_take(port_lock);
    if (port_count == 0 || port_bytes[port_count - 1] != code) {
        if (port_count == scan_code_port_size) {
            std::memmove(port_bytes, port_bytes + 1, scan_code_port_size - 1);
            --port_count;
        }
        port_bytes[port_count++] = code;
    }
    short_lock_release(port_lock);
}

std::int32_t scan_code_port_read(std::uint8_t* out, std::int32_t size) {
    short_lock_take(port_lock);
    const std::int32_t held = port_count;
    if (size > held) size = held;
    if (size > 0) std::memcpy(out, port_bytes, static_cast<std::size_t>(size));
    short_lock_release(port_lock);
    return held;
}

void scan_code_port_clear() {
    short_lock_take(port_lock);
    port_count = 0;
    short_lock_release(port_lock);
}
