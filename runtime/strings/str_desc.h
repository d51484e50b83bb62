// The run-time string: a length and a pointer to bytes with ownership flags.
//
// Text lives in the string heap (bump-allocated, compacted), in the data
// segment of the emulated memory, or in foreign memory (literals, fixed
// views). Expression results are temp strings, freed by temp_cleanup at the
// end of each statement.
#pragma once
#include <cstdint>

struct str_desc {
    std::uint8_t* text;             // first byte; points into the owning area even when empty
    std::int32_t len;               // length in bytes
    std::uint8_t in_segment;        // 1: text lives in the data segment
    std::uint8_t* seg_record;       // 4-byte record in the data segment, or null
    std::uint16_t seg_record_offset;
    std::uint32_t list_index;       // slot in the heap list or the segment list
    std::uint8_t is_temp;
    std::uint32_t temp_index;       // slot in the temp list; 0 = not listed
    std::uint8_t is_fixed;          // fixed-length view over memory it does not own
    std::uint8_t is_readonly;       // points at constant text (a literal)
    void* field_link;               // FIELD binding record, or null
};

str_desc* str_new(std::uint32_t size, std::int32_t make_temp);
str_desc* str_new_in_segment(std::uint32_t size, std::int32_t make_temp);
str_desc* str_from_literal(const void* text, std::int32_t length);
str_desc* str_from_cstring(const char* text);
str_desc* str_fixed_view(void* text, std::int32_t length, std::int32_t make_temp);
void str_make_temp(str_desc* d);
str_desc* str_assign(str_desc* dst, str_desc* src);
str_desc* str_concat(str_desc* a, str_desc* b);
void str_free(str_desc* d);

// Frees temp-list entries from the top until the count equals mark; returns value.
std::int32_t temp_cleanup(std::uint32_t mark, std::int32_t value);
// The current temp-list count (the mark generated code takes on entry).
std::uint32_t temp_mark();

// Derived strings (consume a temp argument).
str_desc* str_ucase(str_desc* s);
str_desc* str_lcase(str_desc* s);
str_desc* str_left(str_desc* s, std::int32_t count);
str_desc* str_right(str_desc* s, std::int32_t count);
str_desc* str_chr(std::int32_t code);

// Storage for program variables.
void* var_alloc(std::uint32_t size);
void var_area_reset(void* saved);

// Block guards.
struct block_guard {
    std::uint64_t id;
    std::uint32_t kind;
    void* owned;
};
block_guard* block_guard_new();
void block_guard_release(block_guard* guard);

// Start-up: the variable area, the reserved top of the data segment and the
// permanent strings (empty and one-space segment strings, empty heap string).
void strings_startup();
extern str_desc* permanent_empty_string;   // PRINT's line terminator
extern str_desc* permanent_space_string;   // one space, PRINT's zone filler
extern str_desc* permanent_heap_string;    // becomes startup_directory
