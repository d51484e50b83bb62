// VAL over arbitrary text. Property: the text of a plain decimal number
// (optional sign, digits with an optional point, optional E exponent; at most
// 256 significant digits and 18 exponent digits) gives exactly strtold's value.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/input/text_to_number.h"

namespace {

bool plain_decimal(const std::string& text) {
    std::size_t at = 0;
    const auto skip_sign = [&] {
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    };
    const auto take_digits = [&] {
        std::string digits;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) digits += text[at++];
        return digits;
    };
    const auto significant = [](const std::string& digits) {
        const std::size_t first = digits.find_first_not_of('0');
        return first == std::string::npos ? 0 : digits.size() - first;
    };
    skip_sign();
    std::string mantissa = take_digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += take_digits();
    }
    std::string exponent = "0";
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        skip_sign();
        exponent = take_digits();
    }
    return at == text.size() && !mantissa.empty() && !exponent.empty() && significant(mantissa) <= 256 &&
           significant(exponent) <= 18;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    strings_startup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pending_error = 0;
    str_desc* text = str_from_literal(data, static_cast<std::int32_t>(size));
    const long double value = text_to_number(text);
    str_free(text);
    const std::int32_t error = pending_error.exchange(0);
    if (error != 0 && (error != 6 || value != 0)) std::abort();   // only an over-long &H, &O, &B: Overflow and 0
    const std::string typed(reinterpret_cast<const char*>(data), size);
    if (plain_decimal(typed) && value != std::strtold(typed.c_str(), nullptr)) std::abort();
    return 0;
}
