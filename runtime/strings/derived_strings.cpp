// Strings derived from others: concatenation, case conversion, LEFT$, RIGHT$
// and CHR$. A temp argument that owns heap text is reused as the result;
// any other argument is copied into a new temp and consumed.
#include <cstring>

#include "runtime/errors/errors.h"
#include "runtime/strings/str_desc.h"

namespace {

bool owns_writable_heap_text(const str_desc* s) {
    return s->is_temp && !s->is_fixed && !s->is_readonly && !s->in_segment;
}

void consume(str_desc* s) {
    if (s->is_temp) str_free(s);
}

// A new temp heap string with count bytes of s from offset start; consumes s.
str_desc* temp_copy(str_desc* s, std::int32_t start, std::int32_t count) {
    str_desc* copy = str_new(static_cast<std::uint32_t>(count), 1);
    std::memcpy(copy->text, s->text + start, count);  // s's text may have moved: read it now
    consume(s);
    return copy;
}

// Flips bit 5 of the bytes from `first` to `last` (a letter's case).
str_desc* change_case(str_desc* s, std::uint8_t first, std::uint8_t last) {
    if (s->len == 0) return s;
    str_desc* result = owns_writable_heap_text(s) ? s : temp_copy(s, 0, s->len);
    for (std::int32_t i = 0; i < result->len; ++i) {
        const std::uint8_t c = result->text[i];
        if (c >= first && c <= last) result->text[i] = c ^ 0x20;
    }
    return result;
}

std::int32_t clamp_count(const str_desc* s, std::int32_t count) {
    if (count < 0) return 0;
    return count > s->len ? s->len : count;
}

}  // namespace

str_desc* str_concat(str_desc* a, str_desc* b) {
    if (b->len == 0) return a;
    if (a->len == 0) return b;
    const std::uint32_t total = static_cast<std::uint32_t>(a->len) + static_cast<std::uint32_t>(b->len);
    str_desc* joined = str_new(total, 1);  // may move a's and b's text: read them after
    std::memcpy(joined->text, a->text, a->len);
    std::memcpy(joined->text + a->len, b->text, b->len);
    if (b != a) consume(b);
    consume(a);
    return joined;
}

str_desc* str_ucase(str_desc* s) { return change_case(s, 'a', 'z'); }
str_desc* str_lcase(str_desc* s) { return change_case(s, 'A', 'Z'); }

str_desc* str_left(str_desc* s, std::int32_t count) {
    count = clamp_count(s, count);
    if (count == s->len) return s;
    if (!owns_writable_heap_text(s)) return temp_copy(s, 0, count);
    s->len = count;
    return s;
}

str_desc* str_right(str_desc* s, std::int32_t count) {
    count = clamp_count(s, count);
    if (count == s->len) return s;
    const std::int32_t dropped = s->len - count;
    if (!owns_writable_heap_text(s)) return temp_copy(s, dropped, count);
    s->text += dropped;
    s->len = count;
    return s;
}

str_desc* str_chr(std::int32_t code) {
    if (code < 0 || code > 255) {
        raise_error(5);
        return str_new(0, 1);
    }
    str_desc* s = str_new(1, 1);
    s->text[0] = static_cast<std::uint8_t>(code);
    return s;
}
