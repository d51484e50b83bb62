// READ over arbitrary DATA text into a target whose type the first byte picks,
// item after item until the text ends or an item fails. Properties: a read
// that succeeds moves the offset forward, not past the text, and gives a
// value its target holds; a read that fails gives 0 and leaves the offset.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

constexpr std::uint32_t types[] = {type_code_single, 0x20000040, 0x20000100, 8, 16, 32, 64,
                                   8 | type_code_unsigned, 32 | type_code_unsigned, 64 | type_code_unsigned};

bool fits(long double value, std::uint32_t type) {
    if (type & type_code_floating) return type != type_code_single || value <= 3.402823466E+38L;
    const int bits = static_cast<int>(type & type_code_width_mask);
    const long double low = (type & type_code_unsigned) ? 0 : -std::ldexp(1.0L, bits - 1);
    const long double high = (type & type_code_unsigned) ? std::ldexp(1.0L, bits) - 1 : -low - 1;
    return value == std::nearbyint(value) && value >= low && value <= high;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t type = types[data[0] % (sizeof types / sizeof *types)];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<std::int64_t>(size - 1);
    for (std::int64_t offset = 0;;) {
        pending_error = 0;
        const std::int64_t before = offset;
        const long double value = read_data_number(text, &offset, length, type);
        const std::int32_t error = pending_error.exchange(0);
        if (error != 0) {
            if (offset != before || value != 0 || (error != 2 && error != 4 && error != 6)) std::abort();
            return 0;
        }
        if (offset <= before || offset > length || !fits(value, type)) std::abort();
    }
}
