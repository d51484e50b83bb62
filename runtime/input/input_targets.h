// The variables an INPUT statement reads into: two arrays indexed from 1,
// filled by the generated code before it calls input_line, and the rules for
// what a typed piece may hold for each kind of variable.
#pragma once
#include <cstdint>

// Type word bits.
inline constexpr std::uint32_t input_type_size_mask = 0x1FF;        // bits 0-8: size in bits (256 = 80-bit float)
inline constexpr std::uint32_t input_type_line_input = 1u << 9;     // string: the LINE INPUT form
inline constexpr std::uint32_t input_type_keep = 1u << 24;          // not cleared at the start
inline constexpr std::uint32_t input_type_unsigned = 1u << 28;
inline constexpr std::uint32_t input_type_float = 1u << 29;
inline constexpr std::uint32_t input_type_string = 1u << 30;

// Sets target index (1-based): its type word and the address of the variable
// (for a string, its str_desc). Returns false when the arrays cannot grow.
bool input_target_set(std::int32_t index, std::uint32_t type, void* pointer);
// Number of entries the arrays hold (the highest index that can be used).
std::int32_t input_target_capacity();
std::uint32_t input_target_type(std::int32_t index);
void* input_target_pointer(std::int32_t index);

// Gives the target its start value: empty (spaces for a fixed-length
// string) or zero; a numeric target marked keep is left alone.
void input_target_start(std::int32_t index);
// Gives the target its start value again (its piece was taken back).
void input_target_reset(std::int32_t index);

// Whether a piece of the typed line is acceptable for the target: it can
// still become a valid value of the target's type.
bool input_piece_acceptable(std::int32_t index, const std::uint8_t* text, std::int32_t length);
// Stores an acceptable piece, length bytes of the line from start, into the
// target. Storing a string can compact the heap and move the line's text, so
// the piece is given by its place in the line, not by a pointer.
struct str_desc;
void input_piece_store(std::int32_t index, const str_desc* line, std::int32_t start, std::int32_t length);

// The numeric rules, by type word.
bool input_number_acceptable(std::uint32_t type, const std::uint8_t* text, std::int32_t length);
void input_number_store(std::uint32_t type, const std::uint8_t* text, std::int32_t length, void* target);
