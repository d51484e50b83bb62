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

// The same rules read one byte at a time, in constant time a byte, for a
// piece that grows at its end: add() takes the next byte, and is false (and
// changes nothing) when no byte after it could make the piece acceptable
// again; acceptable() judges the piece read so far as
// input_number_acceptable judges it whole.
struct number_scan {
    enum class part : std::uint8_t { start, mantissa, exponent_start, exponent, base_letter, based_digits, none };
    std::uint32_t type;
    part at;   // none: the type has no numeric rules
    // Integers: the value of the digits, their base (10, or 16, 8 or 2 after
    // "&H", "&O", "&B"), and the largest value allowed.
    bool negative = false;
    std::uint32_t base = 10;
    std::uint64_t value = 0, limit = 0;
    // Floating point: the mantissa's digits, the first significant ones and
    // where the first stands, and the exponent (kept below 10^7).
    bool in_fraction = false, first_in_fraction = false, exponent_negative = false;
    std::int32_t mantissa_digits = 0, integer_digits = 0, significant = 0;
    std::int32_t fraction_position = 0, first_fraction_position = 0;
    std::int64_t exponent = 0;
    char leading[24] = {};

    explicit number_scan(std::uint32_t type = 0);
    bool add(std::uint8_t c);
    bool acceptable() const;
    // The bit pattern an integer piece stores.
    std::uint64_t pattern() const { return negative ? 0 - value : value; }

private:
    bool add_to_integer(std::uint8_t c);
    bool add_to_float(std::uint8_t c);
};
