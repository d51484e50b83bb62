// The data segment: 65,536 bytes of the emulated memory at linear address
// 0x500 that hold the segment strings.
//
// Texts grow upward from offset 256; 4-byte records (16-bit length, 16-bit
// text offset, little-endian) grow downward from the top. The top 8 bytes are
// reserved at start-up.
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/core/emulated_memory.h"
#include "runtime/strings/string_list.h"

inline constexpr std::size_t segment_text_start = 256;
inline constexpr std::size_t segment_reserved_top = 8;

inline std::uint8_t* segment_base() { return emulated_address(data_segment_address); }
extern std::size_t seg_used;   // new text goes to segment_base + seg_used
extern std::size_t seg_top;    // the lowest record
extern string_list segment_list;

inline bool lies_in_segment(const void* p) {
    auto* byte = static_cast<const std::uint8_t*>(p);
    return byte >= segment_base() && byte < segment_base() + data_segment_size;
}

// Packs every segment string's text upward from offset 256. Critical error
// 513 when need more bytes still do not fit.
void segment_compact(std::size_t need);

// Gives d a 4-byte record below the lowest one and fills it. Critical error
// `overlap_error` when the record would reach string text.
void segment_record_new(str_desc* d, std::int32_t overlap_error);
// Writes d's length and text offset into its record, if it has one.
inline void segment_record_write(const str_desc* d) {
    if (!d->seg_record) return;
    const auto length = static_cast<std::uint32_t>(d->len);
    const auto offset = static_cast<std::size_t>(d->text - segment_base());
    d->seg_record[0] = static_cast<std::uint8_t>(length);
    d->seg_record[1] = static_cast<std::uint8_t>(length >> 8);
    d->seg_record[2] = static_cast<std::uint8_t>(offset);
    d->seg_record[3] = static_cast<std::uint8_t>(offset >> 8);
}

// Gives up d's segment text (reclaimed by the next compaction).
void segment_release(str_desc* d);
