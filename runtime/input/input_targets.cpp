#include "runtime/input/input_targets.h"

#include <cstdlib>
#include <cstring>

#include "runtime/strings/str_desc.h"

namespace {

// Index 0 is unused: the generated code counts targets from 1.
std::uint32_t* target_types = nullptr;
void** target_pointers = nullptr;
// The value each numeric target had after input_target_start (at most 10 bytes).
struct start_value {
    std::uint8_t bytes[16];
};
start_value* start_values = nullptr;
std::int32_t target_capacity = 0;   // highest usable index

bool targets_grow(std::int32_t index) {
    std::int32_t capacity = target_capacity ? target_capacity : 15;
    while (capacity < index) capacity *= 2;
    const auto slots = static_cast<std::size_t>(capacity) + 1;
    auto* types = static_cast<std::uint32_t*>(std::realloc(target_types, slots * sizeof *target_types));
    if (types) target_types = types;
    auto* pointers = static_cast<void**>(std::realloc(target_pointers, slots * sizeof *target_pointers));
    if (pointers) target_pointers = pointers;
    auto* values = static_cast<start_value*>(std::realloc(start_values, slots * sizeof *start_values));
    if (values) start_values = values;
    if (!types || !pointers || !values) return false;
    target_capacity = capacity;
    return true;
}

str_desc* string_target(std::int32_t index) { return static_cast<str_desc*>(target_pointers[index]); }

// Bytes a numeric target occupies: bits 3 to 8 of the type word as a byte
// count, except the 80-bit float, which is 10 bytes.
std::size_t numeric_size(std::uint32_t type) {
    if ((type & input_type_float) && (type & input_type_size_mask) == 256) return 10;
    const std::size_t bytes = (type & 0x1F8) >> 3;
    return bytes <= 8 ? bytes : 8;
}

}  // namespace

bool input_target_set(std::int32_t index, std::uint32_t type, void* pointer) {
    if (index < 1 || (index > target_capacity && !targets_grow(index))) return false;
    target_types[index] = type;
    target_pointers[index] = pointer;
    return true;
}

std::int32_t input_target_capacity() { return target_capacity; }
std::uint32_t input_target_type(std::int32_t index) { return target_types[index]; }
void* input_target_pointer(std::int32_t index) { return target_pointers[index]; }

void input_target_start(std::int32_t index) {
    const std::uint32_t type = target_types[index];
    if (type & input_type_string) {
        str_assign(string_target(index), str_from_literal("", 0));   // a fixed-length string fills with spaces
        return;
    }
    const std::size_t size = numeric_size(type);
    if (!(type & input_type_keep)) std::memset(target_pointers[index], 0, size);
    std::memcpy(start_values[index].bytes, target_pointers[index], size);
}

void input_target_reset(std::int32_t index) {
    const std::uint32_t type = target_types[index];
    if (type & input_type_string) str_assign(string_target(index), str_from_literal("", 0));
    else std::memcpy(target_pointers[index], start_values[index].bytes, numeric_size(type));
}

bool input_piece_acceptable(std::int32_t index, const std::uint8_t* text, std::int32_t length) {
    const std::uint32_t type = target_types[index];
    if (type & input_type_string) {
        const str_desc* target = string_target(index);
        return !target->is_fixed || length <= target->len;
    }
    return input_number_acceptable(type, text, length);
}

void input_piece_store(std::int32_t index, const str_desc* line, std::int32_t start, std::int32_t length) {
    const std::uint32_t type = target_types[index];
    if (!(type & input_type_string)) {
        input_number_store(type, line->text + start, length, target_pointers[index]);
        return;
    }
    // The piece goes through a temp heap string of its own: compaction keeps
    // that valid (a view into the line would not be), and the target takes
    // its text over without a second copy.
    str_desc* piece = str_new(static_cast<std::uint32_t>(length), 1);
    std::memcpy(piece->text, line->text + start, static_cast<std::size_t>(length));   // after str_new: the line may have moved
    str_assign(string_target(index), piece);
}
