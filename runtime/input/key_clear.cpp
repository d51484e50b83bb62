// Emptying the keyboard stores.
#include "runtime/errors/errors.h"
#include "runtime/input/key_hit_queue.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/input/scan_code_port.h"

void key_clear(std::int32_t which, std::int32_t present) {
    if (pending_error.load() != 0) return;
    if (present && (which < 1 || which > 3)) {
        raise_error(5);
        return;
    }
    if (!present || which == 1) keyboard_buffer_clear();
    if (!present || which == 2) key_hit_queue_clear();
    if (!present || which == 3) scan_code_port_clear();
}
